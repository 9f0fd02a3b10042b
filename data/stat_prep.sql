-- Writes stat_tables.sql in the current folder: one statistics call per table
-- of the connected schema. Run by "Générer les statistiques" / "Generate
-- statistics" (sqlplus, or korvo sql on the embedded engine); stat_exec.sql
-- then runs what it wrote.
SET HEADING OFF
SET FEEDBACK OFF
SET PAGESIZE 0
SET LINESIZE 250
SET TRIMSPOOL ON
SET TERMOUT OFF
SPOOL stat_tables.sql
select 'execute dbms_stats.gather_table_stats(user, ''' || table_name || ''');' from user_tables order by table_name;
SPOOL OFF
EXIT

-- Gathers the optimizer statistics of every table of the schema with the
-- calls stat_prep.sql wrote into stat_tables.sql.
@stat_tables.sql
EXIT

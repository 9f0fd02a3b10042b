begin
dbms_stats.gather_table_stats('SCOTT');
end;
select /*+ first_rows */ ename -- the name
from emp e where e."ENAME" like 'S%' escape '\'
select JOB, count(*) EMPLOYES, sum(SAL) SALAIRES
from KORVO_EMP
group by JOB
order by 3 desc

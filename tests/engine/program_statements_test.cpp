// Every statement text the program sends at connection, plan table preparation
// and universe import runs here exactly as the program writes it.
#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

class ProgramStatements : public EngineTest {};

TEST_F(ProgramStatements, ConnectionSetUpAndPlanTable) {
  run("ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'");
  run("ALTER SESSION SET NLS_DATE_FORMAT='DD/MM/YYYY hh24:mi:ss'");
  run("ALTER SESSION SET NLS_TIMESTAMP_FORMAT='YYYY/MM/DD HH24:MI:SS.FF'");
  run("ALTER SESSION SET NLS_TIMESTAMP_TZ_FORMAT='YYYY/MM/DD HH24:MI:SS.FF TZR'");
  run("ALTER SESSION SET OPTIMIZER_MODE = FIRST_ROWS_100");
  run(planTableStatement());
  EXPECT_EQ(errorOf(planTableStatement()), 955);  // the next connection's attempt
  EXPECT_EQ(column("select table_name from user_tables where table_name = 'PLAN_TABLE'"),
            "PLAN_TABLE");
  EXPECT_EQ(single("select count(*) from user_tab_columns where table_name = 'PLAN_TABLE'"), "20");
  EXPECT_EQ(single("select data_type from user_tab_columns where column_name = 'OTHER'"), "LONG");
  EXPECT_FALSE(column("select banner from v$version").empty());
  run("BEGIN DBMS_APPLICATION_INFO.SET_MODULE('KORVO-BO6 1.1.0','');end;");
  EXPECT_EQ(db().module(), "KORVO-BO6 1.1.0");
  // the cost estimate's housekeeping around EXPLAIN PLAN
  run("delete from PLAN_TABLE where STATEMENT_ID='P.0A1B2C3D4E5F'");
  run("commit");
  EXPECT_EQ(rows("select  COST  from plan_table  where id = 0 and statement_id = 'P.0A1B2C3D4E5F'"),
            Rows{});
}

// Staging and repository tables as the import creates them.
const char* kStaging[] = {
    "Create table TMP_CLASS (CLASS_ID NUMBER(10) NOT NULL, UNIVERSE_ID NUMBER(10) NOT NULL, "
    "CLS_NAME VARCHAR2(35) NOT NULL, CLS_BASECLASSID NUMBER(10) NULL, CLS_HIDDEN CHAR(2) NOT NULL, "
    "CLS_POSITION NUMBER(10) NULL)",
    "Create table TMP_CLASS_DATA (CLASS_ID NUMBER(10) NOT NULL, UNIVERSE_ID NUMBER(10) NOT NULL, "
    "CLS_DATATYPE CHAR(2) NOT NULL, CLS_SLICE NUMBER(6) NOT NULL, CLS_DATAVALUE VARCHAR2(240) NOT "
    "NULL)",
    "Create table TMP_JOIN_DATA (JOIN_ID NUMBER(10) NOT NULL, UNIVERSE_ID NUMBER(10) NOT NULL, "
    "JN_DATATYPE CHAR(2) NOT NULL, JN_SLICE NUMBER(6) NOT NULL, JN_DATAVALUE VARCHAR2(240) NOT "
    "NULL)",
    "Create table TMP_JOINCONTENT (JOIN_ID NUMBER(10) NOT NULL, UNIVERSE_ID NUMBER(10) NOT NULL, "
    "JN_TABLE1_ID NUMBER(10) NOT NULL, JN_TABLE2_ID NUMBER(10) NOT NULL, JN_PROP VARCHAR2(35) NOT "
    "NULL)",
    "Create table TMP_OBJ_TAB (OBJECT_ID NUMBER(10) NOT NULL, TABLE_ID NUMBER(10) NOT NULL, "
    "UNIVERSE_ID NUMBER(10) NOT NULL)",
    "Create table TMP_OBJECT_DATA (OBJECT_ID NUMBER(10) NOT NULL, UNIVERSE_ID NUMBER(10) NOT NULL, "
    "OBJ_DATATYPE CHAR(2) NOT NULL, OBJ_SLICE NUMBER(6) NOT NULL, OBJ_DATAVALUE VARCHAR2(240) NOT "
    "NULL)",
    "Create table TMP_OBJCONTENT (OBJECT_ID NUMBER(10) NOT NULL, UNIVERSE_ID NUMBER(10) NOT NULL, "
    "OBJ_PROP VARCHAR2(35) NOT NULL, OBJ_BASICDATE_ID NUMBER(10) NULL)",
    "Create table TMP_OBJECT (OBJECT_ID NUMBER(10) NOT NULL, UNIVERSE_ID NUMBER(10) NOT NULL, "
    "CLASS_ID NUMBER(10) NOT NULL, OBJ_NAME VARCHAR2(35) NOT NULL, OBJ_HIDDEN CHAR(2) NOT NULL, "
    "OBJ_POSITION NUMBER(10) NULL)",
    "Create table TMP_TABLE (TABLE_ID NUMBER(10) NOT NULL, UNIVERSE_ID NUMBER(10) NOT NULL, "
    "TAB_NAME VARCHAR2(110) NOT NULL, ALIAS_TABLE NUMBER(10) NULL)",
    "Create table TMP_UNIVERSE (UNIVERSE_ID NUMBER(10) NOT NULL, UNI_LONGNAME VARCHAR2(35) NOT "
    "NULL, "
    "UNI_VERSION NUMBER(10) NOT NULL, UNI_CREATEDATE CHAR(12) NULL, UNI_MODIFYDATE CHAR(12) NULL, "
    "UNI_CRYPTAGE CHAR(1) NULL)",
};

const char* kRepository[] = {
    "Create table KORVO_UNIVERS (UN_IDUNIV NUMBER(10) NOT NULL, UN_NAME VARCHAR2(35) NOT NULL, "
    "UN_VERSION NUMBER(10) NOT NULL, UN_CREATEDATE DATE NULL, UN_MODIFYDATE DATE NULL, "
    "UN_CRYPTAGE CHAR(1) NULL)",
    "create unique index PK_KORVO_UNIVERS on KORVO_UNIVERS(UN_IDUNIV)",
    "Create table KORVO_CLASS (CL_IDCLASS NUMBER(10) NOT NULL, CL_IDUNIV NUMBER(10) NOT NULL, "
    "CL_NAME VARCHAR2(35) NOT NULL, CL_IDPERE NUMBER(10) NULL, CL_HIDDEN VARCHAR2(1) NOT NULL, "
    "CL_POSITION NUMBER(10) NULL, CL_COMMENT VARCHAR2(250) NULL, CL_NIVEAU NUMBER(10) NULL)",
    "create unique index PK_KORVO_CLASS on KORVO_CLASS(CL_IDCLASS, CL_IDUNIV)",
    "Create table KORVO_OBJECT (OB_IDOBJ NUMBER(10) NOT NULL, OB_IDUNIV NUMBER(10) NOT NULL, "
    "OB_IDCLASS NUMBER(10) NOT NULL, OB_NAME VARCHAR2(35) NOT NULL, OB_PROP VARCHAR2(35) NOT NULL, "
    "OB_HIDDEN VARCHAR2(1) NOT NULL, OB_POSITION NUMBER(10) NULL, OB_COMMENT VARCHAR2(255) NULL, "
    "OB_SELECT VARCHAR2(4000) NULL, OB_WHERE VARCHAR2(4000) NULL, OB_BASICDATE_ID NUMBER(10) NULL)",
    "create unique index PK_KORVO_OBJECT on KORVO_OBJECT(OB_IDOBJ, OB_IDUNIV)",
    "Create table KORVO_TABLE (TB_IDTAB NUMBER(10) NOT NULL, TB_IDUNIV NUMBER(10) NOT NULL, "
    "TB_NAME VARCHAR2(30) NOT NULL, TB_ALIAS NUMBER(10) NULL)",
    "create unique index PK_KORVO_TABLE on KORVO_TABLE(TB_IDTAB, TB_IDUNIV)",
    "Create table KORVO_JOIN (JN_IDJOIN NUMBER(10) NOT NULL, JN_IDUNIV NUMBER(10) NOT NULL, "
    "JN_IDTAB1 NUMBER(10) NOT NULL, JN_IDTAB2 NUMBER(10) NOT NULL, JN_PROP VARCHAR2(35) NOT NULL, "
    "JN_DATAVALUE VARCHAR2(4000) NOT NULL)",
    "create unique index PK_KORVO_JOIN on KORVO_JOIN(JN_IDJOIN, JN_IDUNIV)",
    "Create table KORVO_OBJ_TAB (OT_IDOBJ NUMBER(10) NOT NULL, OT_IDTAB NUMBER(10) NOT NULL, "
    "OT_IDUNIV NUMBER(10) NOT NULL)",
    "create unique index PK_KORVO_OBJ_TAB on KORVO_OBJ_TAB(OT_IDOBJ, OT_IDTAB, OT_IDUNIV)",
    "Create table KORVO_TAB_TREE (T_ID NUMBER(22) NULL, T_PARENT NUMBER(22) NULL, "
    "T_NIV NUMBER(22) NULL, T_TREE NUMBER(22) NULL)",
};

const char* kObjectInsert =
    "insert into KORVO_OBJECT select o.OBJECT_ID, o.UNIVERSE_ID, o.CLASS_ID, o.OBJ_NAME, "
    "c.OBJ_PROP, "
    "substr(o.OBJ_HIDDEN,1,1), o.OBJ_POSITION, (select obj_datavalue from TMP_OBJECT_DATA d where  "
    "d.OBJECT_ID = o.OBJECT_ID and d.UNIVERSE_ID = o.UNIVERSE_ID and d.OBJ_DATATYPE='H' and "
    "d.OBJ_SLICE = 1 ) as OB_COMMENT, (select obj_datavalue from TMP_OBJECT_DATA d where  "
    "d.OBJECT_ID = o.OBJECT_ID and d.UNIVERSE_ID = o.UNIVERSE_ID and d.OBJ_DATATYPE='S' and "
    "d.OBJ_SLICE = 1 ) || (select obj_datavalue from TMP_OBJECT_DATA d where  d.OBJECT_ID = "
    "o.OBJECT_ID and d.UNIVERSE_ID = o.UNIVERSE_ID and d.OBJ_DATATYPE='S' and d.OBJ_SLICE = 2 )|| "
    "(select obj_datavalue from TMP_OBJECT_DATA d where  d.OBJECT_ID = o.OBJECT_ID and "
    "d.UNIVERSE_ID = o.UNIVERSE_ID and d.OBJ_DATATYPE='S' and d.OBJ_SLICE = 3 )|| (select "
    "obj_datavalue from TMP_OBJECT_DATA d where  d.OBJECT_ID = o.OBJECT_ID and d.UNIVERSE_ID = "
    "o.UNIVERSE_ID and d.OBJ_DATATYPE='S' and d.OBJ_SLICE = 4 )|| (select obj_datavalue from "
    "TMP_OBJECT_DATA d where  d.OBJECT_ID = o.OBJECT_ID and d.UNIVERSE_ID = o.UNIVERSE_ID and "
    "d.OBJ_DATATYPE='S' and d.OBJ_SLICE = 5 ) as OB_SELECT,  (select obj_datavalue from "
    "TMP_OBJECT_DATA d where  d.OBJECT_ID = o.OBJECT_ID and d.UNIVERSE_ID = o.UNIVERSE_ID and "
    "d.OBJ_DATATYPE='W' and d.OBJ_SLICE = 1 ) || (select obj_datavalue from TMP_OBJECT_DATA d "
    "where "
    "d.OBJECT_ID = o.OBJECT_ID and d.UNIVERSE_ID = o.UNIVERSE_ID and d.OBJ_DATATYPE='W' and "
    "d.OBJ_SLICE = 2 )|| (select obj_datavalue from TMP_OBJECT_DATA d where d.OBJECT_ID = "
    "o.OBJECT_ID and d.UNIVERSE_ID = o.UNIVERSE_ID and d.OBJ_DATATYPE='W' and d.OBJ_SLICE = 3 )|| "
    "(select obj_datavalue from TMP_OBJECT_DATA d where  d.OBJECT_ID = o.OBJECT_ID and "
    "d.UNIVERSE_ID = o.UNIVERSE_ID and d.OBJ_DATATYPE='W' and d.OBJ_SLICE = 4 )|| (select "
    "obj_datavalue from TMP_OBJECT_DATA d where  d.OBJECT_ID = o.OBJECT_ID and d.UNIVERSE_ID = "
    "o.UNIVERSE_ID and d.OBJ_DATATYPE='W' and d.OBJ_SLICE = 5 ) as OB_WHERE, c.OBJ_BASICDATE_ID "
    "from  TMP_OBJCONTENT c, TMP_OBJECT o where  o.OBJECT_ID = c.OBJECT_ID and o.UNIVERSE_ID = "
    "c.UNIVERSE_ID";

std::string joinInsert() {
  std::string s =
      "insert into korvo_join select j.JOIN_ID,  j.UNIVERSE_ID, c.JN_TABLE1_ID, c.JN_TABLE2_ID, "
      "c.JN_PROP, ";
  for (int slice = 1; slice <= 5; ++slice) {
    if (slice > 1) s += " || ";
    s += "(select s1.JN_DATAVALUE  from  TMP_JOIN_DATA s1   where s1.JOIN_ID = j.JOIN_ID and "
         "s1.UNIVERSE_ID = j.UNIVERSE_ID and s1.JN_SLICE = " +
         std::to_string(slice) + " )";
  }
  return s +
         " from TMP_JOIN_DATA j, TMP_JOINCONTENT c where  j.jn_slice = 1 and j.JOIN_ID = "
         "c.JOIN_ID and j.UNIVERSE_ID = c.UNIVERSE_ID";
}

std::string dateUpdate(const char* format, const char* code) {
  return std::string(
             "update KORVO_OBJECT o1 set o1.OB_SELECT = 'to_number(to_char('||(select "
             "o2.OB_SELECT from KORVO_OBJECT o2 where o2.OB_IDOBJ = o1.OB_BASICDATE_ID )"
             "||',''") +
         format +
         "''))', o1.OB_POSITION = (select o2.OB_POSITION from KORVO_OBJECT o2 where o2.OB_IDOBJ = "
         "o1.OB_BASICDATE_ID ) where o1.OB_BASICDATE_ID <> 0 and  o1.OB_PROP like '%," +
         code + ",'";
}

TEST_F(ProgramStatements, UniverseImport) {
  run("ALTER SESSION SET NLS_DATE_FORMAT='DD/MM/YYYY hh24:mi:ss'");
  for (const char* s : kStaging) run(s);
  for (const char* s : kRepository) run(s);
  // staging rows (the program applies them as plain inserts)
  run("insert into TMP_UNIVERSE values (7, 'Demo', 3, '2004/05/06  ', '2005/06/07  ', 'N')");
  run("insert into TMP_CLASS values (1, 7, 'Employees', null, 'N ', 2)");
  run("insert into TMP_CLASS values (2, 7, 'Sub', 1, 'N ', null)");
  run("insert into TMP_CLASS values (3, 7, 'Deeper', 2, 'Y ', 1)");
  run("insert into TMP_CLASS_DATA values (1, 7, 'H ', 1, 'About employees')");
  run("insert into TMP_JOIN_DATA values (100, 7, 'J ', 1, 'KORVO_EMP.DEPTNO=')");
  run("insert into TMP_JOIN_DATA values (100, 7, 'J ', 2, 'KORVO_DEPT.DEPTNO')");
  run("insert into TMP_JOINCONTENT values (100, 7, 10, 11, '0,FALSE,0')");
  run("insert into TMP_OBJ_TAB values (50, 10, 7)");
  run("insert into TMP_OBJCONTENT values (50, 7, 'D,N,D,', null)");
  run("insert into TMP_OBJCONTENT values (51, 7, 'N,N,D,M,', 50)");
  run("insert into TMP_OBJECT values (50, 7, 1, 'Hire date', 'N ', 4)");
  run("insert into TMP_OBJECT values (51, 7, 1, 'Hire month', 'N ', null)");
  run("insert into TMP_OBJECT_DATA values (50, 7, 'S ', 1, 'KORVO_EMP.')");
  run("insert into TMP_OBJECT_DATA values (50, 7, 'S ', 2, 'HIREDATE')");
  run("insert into TMP_OBJECT_DATA values (50, 7, 'H ', 1, 'When hired')");
  run("insert into TMP_OBJECT_DATA values (50, 7, 'W ', 3, 'KORVO_EMP.SAL > 0')");
  run("insert into TMP_TABLE values (10, 7, 'KORVO_EMP', null)");
  run("insert into TMP_TABLE values (11, 7, 'KORVO_DEPT', null)");
  db().commit();

  run("Create table KORVO_CLASS_TMP as select c.CLASS_ID CL_IDCLASS, c.UNIVERSE_ID CL_IDUNIV, "
      "CLS_NAME CL_NAME,  CLS_BASECLASSID CL_IDPERE, substr(CLS_HIDDEN,1,1) CL_HIDDEN, "
      "CLS_POSITION CL_POSITION, CLS_DATAVALUE CL_COMMENT, 0 CL_NIVEAU from TMP_CLASS c, "
      "TMP_CLASS_DATA d where c.CLASS_ID = d.CLASS_ID(+) and c.UNIVERSE_ID = d.UNIVERSE_ID(+) and "
      "d.CLS_SLICE(+) = 1");
  EXPECT_EQ(column("select nvl(CL_COMMENT, '-') from KORVO_CLASS_TMP order by CL_IDCLASS"),
            "About employees,-,-");
  run("update KORVO_CLASS_TMP set CL_IDPERE = 0 where CL_IDPERE is null");
  run("update KORVO_CLASS_TMP set CL_POSITION = 0 where CL_POSITION is null");
  run("update KORVO_CLASS_TMP set CL_NIVEAU = 1 where CL_IDPERE = 0");
  for (int level = 2; level <= 6; ++level)
    run("update KORVO_CLASS_TMP set CL_NIVEAU = " + std::to_string(level) +
        " where CL_IDPERE  in (select CL_IDCLASS from KORVO_CLASS_TMP where CL_NIVEAU = " +
        std::to_string(level - 1) + ")");
  run("insert into KORVO_CLASS select * from KORVO_CLASS_TMP order by CL_NIVEAU, CL_POSITION");
  EXPECT_EQ(column("select CL_NAME || ':' || CL_NIVEAU || ':' || CL_HIDDEN || ':' || CL_POSITION "
                   "from KORVO_CLASS order by CL_IDCLASS"),
            "Employees:1:N:2,Sub:2:N:0,Deeper:3:Y:1");
  run("drop table KORVO_CLASS_TMP");

  run(joinInsert());
  EXPECT_EQ(single("select JN_DATAVALUE from KORVO_JOIN"), "KORVO_EMP.DEPTNO=KORVO_DEPT.DEPTNO");

  run("insert into KORVO_OBJ_TAB select * from TMP_OBJ_TAB");
  run(kObjectInsert);
  run("update KORVO_OBJECT set OB_POSITION = 0 where OB_POSITION is null");
  run("update KORVO_OBJECT set OB_BASICDATE_ID = 0 where OB_BASICDATE_ID is null");
  run(dateUpdate("SYYYY", "Y"));
  run(dateUpdate("MM", "M"));
  run(dateUpdate("Q", "Q"));
  EXPECT_EQ(column("select OB_SELECT || '|' || OB_WHERE || '|' || OB_COMMENT || '|' || OB_POSITION "
                   "from KORVO_OBJECT order by OB_IDOBJ"),
            "KORVO_EMP.HIREDATE|KORVO_EMP.SAL > 0|When hired|4,"
            "to_number(to_char(KORVO_EMP.HIREDATE,'MM'))|||4");

  run("insert into KORVO_TABLE select TABLE_ID, UNIVERSE_ID, TAB_NAME, ALIAS_TABLE from TMP_TABLE");
  run("insert into KORVO_UNIVERS select UNIVERSE_ID, UNI_LONGNAME, UNI_VERSION, "
      "to_date(UNI_CREATEDATE,'yyyy/mm/dd'), to_date(UNI_MODIFYDATE,'yyyy/mm/dd'), UNI_CRYPTAGE  "
      "from TMP_UNIVERSE");
  EXPECT_EQ(single("select UN_CREATEDATE from KORVO_UNIVERS"), "06/05/2004 00:00:00");
  for (const char* t :
       {"TMP_CLASS", "TMP_CLASS_DATA", "TMP_JOIN_DATA", "TMP_JOINCONTENT", "TMP_OBJ_TAB",
        "TMP_OBJCONTENT", "TMP_OBJECT_DATA", "TMP_OBJECT", "TMP_TABLE", "TMP_UNIVERSE"})
    run(std::string("drop table ") + t);
  EXPECT_EQ(errorOf("drop table KORVO_CLASS_TMP"), 942);  // "ignoring errors" in the program

  // demonstration tables
  run("Create table KORVO_EMP (EMPNO NUMBER(4) NOT NULL, ENAME VARCHAR2(10), JOB VARCHAR2(9), "
      "MGR NUMBER(4), HIREDATE DATE, SAL NUMBER(7,2), COMM NUMBER(7,2), DEPTNO NUMBER(2))");
  run("INSERT INTO KORVO_EMP VALUES (7369,'SMITH','CLERK',7902,to_date('17/12/1980','dd/mm/yyyy'),"
      "800,NULL,20)");
  run("INSERT INTO KORVO_EMP VALUES "
      "(7839,'KING','PRESIDENT',NULL,to_date('17/11/1981','dd/mm/yyyy'),"
      "5000,NULL,10)");
  run("Create table KORVO_DEPT (DEPTNO NUMBER(2), DNAME VARCHAR2(14), LOC VARCHAR2(13))");
  run("INSERT INTO KORVO_DEPT VALUES (10,'ACCOUNTING','NEW YORK')");
  run("Create table KORVO_SALGRADE (GRADE NUMBER, LOSAL NUMBER, HISAL NUMBER)");
  run("INSERT INTO KORVO_SALGRADE VALUES (1,700,1200)");
  EXPECT_EQ(single("select to_number(to_char(HIREDATE,'MM')) from KORVO_EMP where EMPNO = 7369"),
            "12");
  EXPECT_EQ(
      single("select to_number(to_char(HIREDATE,'SYYYY')) from KORVO_EMP where ENAME = 'KING'"),
      "1981");
  // the catalogue, scrambling flag and distinct-values queries of the query builder
  EXPECT_EQ(column("select OB_IDOBJ, OB_NAME, OB_IDCLASS, decode( instr( replace( replace( "
                   "replace( replace(    replace(translate(lower(OB_SELECT),'A ','A'), 'sum(','#') "
                   ",'max(','#') ,'min(','#') ,'count(','#') ,'avg(','#') ,'#'),0,0,1) OB_PROP, "
                   "OB_SELECT, OB_WHERE, OB_COMMENT, OB_POSITION, replace(substr(OB_PROP,1,4),',') "
                   "OB_TYPE from KORVO_OBJECT where OB_HIDDEN = 'N' order by OB_IDCLASS, "
                   "OB_POSITION, OB_BASICDATE_ID, substr(OB_PROP, length(OB_PROP) -1, 1)"),
            "50,51");
  EXPECT_EQ(single("select UN_CRYPTAGE FROM KORVO_UNIVERS"), "N");
  run("insert into KORVO_OBJ_TAB values (51, 11, 7)");
  run("insert into KORVO_OBJ_TAB values (51, 10, 7)");
  EXPECT_EQ(single("select  (SELECT TB_NAME FROM KORVO_TABLE T2 where T2.TB_IDTAB = T1.TB_ALIAS ) "
                   "||' '|| TB_NAME from KORVO_TABLE T1 where TB_IDTAB in (select OT_IDTAB  from "
                   "KORVO_OBJ_TAB where OT_IDOBJ = 50and  rownum = 1)"),
            " KORVO_EMP");
  EXPECT_EQ(single("select count(*) from KORVO_TABLE T1 where TB_IDTAB in (select OT_IDTAB  from "
                   "KORVO_OBJ_TAB where OT_IDOBJ = 51 and  rownum = 1)"),
            "1");
  EXPECT_EQ(column("select distinct KORVO_EMP.JOB from  KORVO_EMP order By 1"), "CLERK,PRESIDENT");
  EXPECT_EQ(column("select table_name from user_tables where table_name like 'KORVO%' order by 1"),
            "KORVO_CLASS,KORVO_DEPT,KORVO_EMP,KORVO_JOIN,KORVO_OBJECT,KORVO_OBJ_TAB,KORVO_SALGRADE,"
            "KORVO_TABLE,KORVO_TAB_TREE,KORVO_UNIVERS");
}

TEST_F(ProgramStatements, GeneratedQueriesOnTheDemonstrationTables) {
  loadDemo();
  run("create table KORVO_EMP as select * from EMP");
  run("create table KORVO_DEPT as select * from DEPT");
  const std::string generated =
      "Select distinct \n"
      "    KORVO_DEPT.DNAME \"Department\",\n"
      "    sum(KORVO_EMP.SAL) \"Total salary\"\n"
      " From \n"
      "    KORVO_DEPT,\n"
      "    KORVO_EMP\n"
      " where  1=1\n"
      "    AND KORVO_EMP.DEPTNO=KORVO_DEPT.DEPTNO\n"
      "     AND  KORVO_EMP.JOB = 'CLERK'\n"
      " GROUP BY KORVO_DEPT.DNAME";
  EXPECT_EQ(headings(generated), (std::vector<std::string>{"Department", "Total salary"}));
  EXPECT_EQ(rows(generated + " ORDER BY \"Department\""),
            (Rows{{"ACCOUNTING", "1300"}, {"RESEARCH", "1900"}, {"SALES", "950"}}));
  EXPECT_EQ(rows(generated + "\nHaving 1=1\n    AND sum(KORVO_EMP.SAL) > 1000 ORDER BY 2 DESC"),
            (Rows{{"RESEARCH", "1900"}, {"ACCOUNTING", "1300"}}));
  // the result grid sorts by appending the clicked column's expression
  EXPECT_EQ(column(generated + " order by sum(KORVO_EMP.SAL) DESC"), "RESEARCH,ACCOUNTING,SALES");
  EXPECT_EQ(column(generated + " order by KORVO_DEPT.DNAME ASC"), "ACCOUNTING,RESEARCH,SALES");
  EXPECT_EQ(errorOf(generated + " order by  ASC"), 936);
  EXPECT_EQ(errorOf(generated + " order by 1 order by KORVO_DEPT.DNAME ASC"), 933);
  EXPECT_EQ(errorOf(generated + " order by KORVO_EMP.ENAME ASC"), 1791);
  // measures only: no GROUP BY, HAVING still allowed
  EXPECT_EQ(single("Select distinct \n    sum(KORVO_EMP.SAL) \"Total salary\"\n From \n"
                   "    KORVO_EMP\n where  1=1\nHaving 1=1\n    AND sum(KORVO_EMP.SAL) > 1000"),
            "29025");
  EXPECT_EQ(errorOf("Select distinct KORVO_EMP.ENAME \"Name\" From KORVO_EMP where 1=1 Having 1=1"),
            937);
  // dates typed by the user in the session format, without a time
  run("ALTER SESSION SET NLS_DATE_FORMAT='DD/MM/YYYY hh24:mi:ss'");
  EXPECT_EQ(single("Select distinct count(*) \"N\" From KORVO_EMP where  1=1 AND "
                   "KORVO_EMP.HIREDATE >= '01/01/1982'"),
            "3");
  EXPECT_EQ(single("select  trim((SELECT DNAME FROM KORVO_DEPT T2 where T2.DEPTNO = T1.DEPTNO ) "
                   "||' '|| ENAME)  from KORVO_EMP T1 where EMPNO in (7839)"),
            "ACCOUNTING KING");
  EXPECT_EQ(
      single("select count( distinct DEPTNO) from KORVO_EMP where EMPNO in (7839, 7369, 7782)"),
      "2");
}

}  // namespace
}  // namespace korvo::engine::test

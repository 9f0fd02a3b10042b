#include "repository/repository_schema.h"

#include <stdexcept>

namespace korvo::repository {
namespace {

ColumnDefinition req(const char* name, const char* type) { return {name, type, true}; }
ColumnDefinition opt(const char* name, const char* type) { return {name, type, false}; }

const QList<TableDefinition>& repositoryDefinitions() {
  static const QList<TableDefinition> tables = {
      {"KORVO_UNIVERS",
       {req("UN_IDUNIV", "NUMBER(10)"), req("UN_NAME", "VARCHAR2(35)"),
        req("UN_VERSION", "NUMBER(10)"), opt("UN_CREATEDATE", "DATE"), opt("UN_MODIFYDATE", "DATE"),
        opt("UN_CRYPTAGE", "CHAR(1)")},
       {"UN_IDUNIV"}},
      {"KORVO_CLASS",
       {req("CL_IDCLASS", "NUMBER(10)"), req("CL_IDUNIV", "NUMBER(10)"),
        req("CL_NAME", "VARCHAR2(35)"), opt("CL_IDPERE", "NUMBER(10)"),
        req("CL_HIDDEN", "VARCHAR2(1)"), opt("CL_POSITION", "NUMBER(10)"),
        opt("CL_COMMENT", "VARCHAR2(250)"), opt("CL_NIVEAU", "NUMBER(10)")},
       {"CL_IDCLASS", "CL_IDUNIV"}},
      {"KORVO_OBJECT",
       {req("OB_IDOBJ", "NUMBER(10)"), req("OB_IDUNIV", "NUMBER(10)"),
        req("OB_IDCLASS", "NUMBER(10)"), req("OB_NAME", "VARCHAR2(35)"),
        req("OB_PROP", "VARCHAR2(35)"), req("OB_HIDDEN", "VARCHAR2(1)"),
        opt("OB_POSITION", "NUMBER(10)"), opt("OB_COMMENT", "VARCHAR2(255)"),
        opt("OB_SELECT", "VARCHAR2(4000)"), opt("OB_WHERE", "VARCHAR2(4000)"),
        opt("OB_BASICDATE_ID", "NUMBER(10)")},
       {"OB_IDOBJ", "OB_IDUNIV"}},
      {"KORVO_TABLE",
       {req("TB_IDTAB", "NUMBER(10)"), req("TB_IDUNIV", "NUMBER(10)"),
        req("TB_NAME", "VARCHAR2(30)"), opt("TB_ALIAS", "NUMBER(10)")},
       {"TB_IDTAB", "TB_IDUNIV"}},
      {"KORVO_JOIN",
       {req("JN_IDJOIN", "NUMBER(10)"), req("JN_IDUNIV", "NUMBER(10)"),
        req("JN_IDTAB1", "NUMBER(10)"), req("JN_IDTAB2", "NUMBER(10)"),
        req("JN_PROP", "VARCHAR2(35)"), req("JN_DATAVALUE", "VARCHAR2(4000)")},
       {"JN_IDJOIN", "JN_IDUNIV"}},
      {"KORVO_OBJ_TAB",
       {req("OT_IDOBJ", "NUMBER(10)"), req("OT_IDTAB", "NUMBER(10)"),
        req("OT_IDUNIV", "NUMBER(10)")},
       {"OT_IDOBJ", "OT_IDTAB", "OT_IDUNIV"}},
      {"KORVO_TAB_TREE",
       {opt("T_ID", "NUMBER(22)"), opt("T_PARENT", "NUMBER(22)"), opt("T_NIV", "NUMBER(22)"),
        opt("T_TREE", "NUMBER(22)")},
       {}},
  };
  return tables;
}

}  // namespace

QString TableDefinition::createStatement() const {
  QStringList parts;
  for (const ColumnDefinition& c : columns) {
    parts << c.name + ' ' + c.type + (c.notNull ? QStringLiteral(" NOT NULL") : QString());
  }
  return QStringLiteral("Create table %1 (%2)").arg(name, parts.join(QStringLiteral(", ")));
}

QString TableDefinition::uniqueIndexStatement() const {
  if (uniqueKey.isEmpty()) return QString();
  return QStringLiteral("create unique index PK_%1 on %1(%2)")
      .arg(name, uniqueKey.join(QStringLiteral(", ")));
}

const ColumnDefinition* TableDefinition::column(const QString& columnName) const {
  for (const ColumnDefinition& c : columns) {
    if (c.name == columnName) return &c;
  }
  return nullptr;
}

const TableDefinition& repositoryTable(const QString& name) {
  for (const TableDefinition& t : repositoryDefinitions()) {
    if (t.name == name) return t;
  }
  throw std::out_of_range("no repository table " + name.toStdString());
}

QStringList repositoryTableNames() {
  return {"KORVO_CLASS",    "KORVO_JOIN",  "KORVO_OBJ_TAB", "KORVO_OBJECT",
          "KORVO_TAB_TREE", "KORVO_TABLE", "KORVO_UNIVERS"};
}

const QList<StagingTable>& stagingTables() {
  static const QList<StagingTable> tables = {
      {{"TMP_CLASS",
        {req("CLASS_ID", "NUMBER(10)"), req("UNIVERSE_ID", "NUMBER(10)"),
         req("CLS_NAME", "VARCHAR2(35)"), opt("CLS_BASECLASSID", "NUMBER(10)"),
         req("CLS_HIDDEN", "CHAR(2)"), opt("CLS_POSITION", "NUMBER(10)")},
        {}},
       "UNV_CLASS.xml"},
      {{"TMP_CLASS_DATA",
        {req("CLASS_ID", "NUMBER(10)"), req("UNIVERSE_ID", "NUMBER(10)"),
         req("CLS_DATATYPE", "CHAR(2)"), req("CLS_SLICE", "NUMBER(6)"),
         req("CLS_DATAVALUE", "VARCHAR2(240)")},
        {}},
       "UNV_CLASS_DATA.xml"},
      {{"TMP_JOIN_DATA",
        {req("JOIN_ID", "NUMBER(10)"), req("UNIVERSE_ID", "NUMBER(10)"),
         req("JN_DATATYPE", "CHAR(2)"), req("JN_SLICE", "NUMBER(6)"),
         req("JN_DATAVALUE", "VARCHAR2(240)")},
        {}},
       "UNV_JOIN_DATA.xml"},
      {{"TMP_JOINCONTENT",
        {req("JOIN_ID", "NUMBER(10)"), req("UNIVERSE_ID", "NUMBER(10)"),
         req("JN_TABLE1_ID", "NUMBER(10)"), req("JN_TABLE2_ID", "NUMBER(10)"),
         req("JN_PROP", "VARCHAR2(35)")},
        {}},
       "UNV_JOINCONTENT.xml"},
      {{"TMP_OBJ_TAB",
        {req("OBJECT_ID", "NUMBER(10)"), req("TABLE_ID", "NUMBER(10)"),
         req("UNIVERSE_ID", "NUMBER(10)")},
        {}},
       "UNV_OBJ_TAB.xml"},
      {{"TMP_OBJECT_DATA",
        {req("OBJECT_ID", "NUMBER(10)"), req("UNIVERSE_ID", "NUMBER(10)"),
         req("OBJ_DATATYPE", "CHAR(2)"), req("OBJ_SLICE", "NUMBER(6)"),
         req("OBJ_DATAVALUE", "VARCHAR2(240)")},
        {}},
       "UNV_OBJECT_DATA.xml"},
      {{"TMP_OBJCONTENT",
        {req("OBJECT_ID", "NUMBER(10)"), req("UNIVERSE_ID", "NUMBER(10)"),
         req("OBJ_PROP", "VARCHAR2(35)"), opt("OBJ_BASICDATE_ID", "NUMBER(10)")},
        {}},
       "UNV_OBJCONTENT.xml"},
      {{"TMP_OBJECT",
        {req("OBJECT_ID", "NUMBER(10)"), req("UNIVERSE_ID", "NUMBER(10)"),
         req("CLASS_ID", "NUMBER(10)"), req("OBJ_NAME", "VARCHAR2(35)"),
         req("OBJ_HIDDEN", "CHAR(2)"), opt("OBJ_POSITION", "NUMBER(10)")},
        {}},
       "UNV_OBJECT.xml"},
      {{"TMP_TABLE",
        {req("TABLE_ID", "NUMBER(10)"), req("UNIVERSE_ID", "NUMBER(10)"),
         req("TAB_NAME", "VARCHAR2(110)"), opt("ALIAS_TABLE", "NUMBER(10)")},
        {}},
       "UNV_TABLE.xml"},
      {{"TMP_UNIVERSE",
        {req("UNIVERSE_ID", "NUMBER(10)"), req("UNI_LONGNAME", "VARCHAR2(35)"),
         req("UNI_VERSION", "NUMBER(10)"), opt("UNI_CREATEDATE", "CHAR(12)"),
         opt("UNI_MODIFYDATE", "CHAR(12)"), opt("UNI_CRYPTAGE", "CHAR(1)")},
        {}},
       "UNV_UNIVERSE.xml"},
  };
  return tables;
}

const QList<TableDefinition>& demonstrationTables() {
  static const QList<TableDefinition> tables = {
      {"KORVO_EMP",
       {req("EMPNO", "NUMBER(4)"), opt("ENAME", "VARCHAR2(10)"), opt("JOB", "VARCHAR2(9)"),
        opt("MGR", "NUMBER(4)"), opt("HIREDATE", "DATE"), opt("SAL", "NUMBER(7,2)"),
        opt("COMM", "NUMBER(7,2)"), opt("DEPTNO", "NUMBER(2)")},
       {}},
      {"KORVO_DEPT",
       {opt("DEPTNO", "NUMBER(2)"), opt("DNAME", "VARCHAR2(14)"), opt("LOC", "VARCHAR2(13)")},
       {}},
      {"KORVO_SALGRADE",
       {opt("GRADE", "NUMBER"), opt("LOSAL", "NUMBER"), opt("HISAL", "NUMBER")},
       {}},
  };
  return tables;
}

QStringList demonstrationInserts(const QString& tableName) {
  // Values exactly as they go into the VALUES list: NULL, numbers, quoted texts.
  static const QStringList emp = {
      "7369,'SMITH','CLERK',7902,to_date('17/12/1980','dd/mm/yyyy'),800,NULL,20",
      "7499,'ALLEN','SALESMAN',7698,to_date('20/02/1981','dd/mm/yyyy'),1600,300,30",
      "7521,'WARD','SALESMAN',7698,to_date('22/02/1981','dd/mm/yyyy'),1250,500,30",
      "7566,'JONES','MANAGER',7839,to_date('02/04/1981','dd/mm/yyyy'),2975,NULL,20",
      "7654,'MARTIN','SALESMAN',7698,to_date('28/09/1981','dd/mm/yyyy'),1250,1400,30",
      "7698,'BLAKE','MANAGER',7839,to_date('01/05/1981','dd/mm/yyyy'),2850,NULL,30",
      "7782,'CLARK','MANAGER',7839,to_date('09/06/1981','dd/mm/yyyy'),2450,NULL,10",
      "7788,'SCOTT','ANALYST',7566,to_date('09/12/1982','dd/mm/yyyy'),3000,NULL,20",
      "7839,'KING','PRESIDENT',NULL,to_date('17/11/1981','dd/mm/yyyy'),5000,NULL,10",
      "7844,'TURNER','SALESMAN',7698,to_date('08/09/1981','dd/mm/yyyy'),1500,0,30",
      "7876,'ADAMS','CLERK',7788,to_date('12/01/1983','dd/mm/yyyy'),1100,NULL,20",
      "7900,'JAMES','CLERK',7698,to_date('03/12/1981','dd/mm/yyyy'),950,NULL,30",
      "7902,'FORD','ANALYST',7566,to_date('03/12/1981','dd/mm/yyyy'),3000,NULL,20",
      "7934,'MILLER','CLERK',7782,to_date('23/01/1982','dd/mm/yyyy'),1300,NULL,10",
  };
  static const QStringList dept = {"10,'ACCOUNTING','NEW YORK'", "20,'RESEARCH','DALLAS'",
                                   "30,'SALES','CHICAGO'", "40,'OPERATIONS','BOSTON'"};
  static const QStringList salgrade = {"1,700,1200", "2,1201,1400", "3,1401,2000", "4,2001,3000",
                                       "5,3001,9999"};
  const QStringList* rows = tableName == "KORVO_EMP"        ? &emp
                            : tableName == "KORVO_DEPT"     ? &dept
                            : tableName == "KORVO_SALGRADE" ? &salgrade
                                                            : nullptr;
  QStringList statements;
  if (!rows) return statements;
  for (const QString& values : *rows) {
    statements << QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(tableName, values);
  }
  return statements;
}

QStringList businessObjectsTableNames() {
  return {"UNV_CLASS",       "UNV_CLASS_DATA", "UNV_JOIN_DATA", "UNV_JOINCONTENT", "UNV_OBJ_TAB",
          "UNV_OBJECT_DATA", "UNV_OBJCONTENT", "UNV_OBJECT",    "UNV_TABLE",       "UNV_UNIVERSE"};
}

}  // namespace korvo::repository

// generer_requete against a connection that answers the repository questions
// from prepared rows: every line and every auxiliary query as exact text.
#include <gtest/gtest.h>

#include "builder/query_grids.h"
#include "qt_print.h"
#include "repository/recording_connection.h"
#include "sqlgen/sql_generation.h"

using namespace korvo;
using korvo::repository::fakes::column;
using korvo::repository::fakes::PreparedAnswer;
using korvo::repository::fakes::RecordingConnection;

namespace {

PreparedAnswer rows(const QString& part, const QList<QVariant>& values) {
  PreparedAnswer answer{part, {column("V")}, {}, QString()};
  for (const QVariant& v : values) answer.rows << db::Row{v};
  return answer;
}

struct Generator : ::testing::Test {
  RecordingConnection db;
  builder::Catalogue catalogue;
  const kernel::TextTables& fr = kernel::frenchTexts();
  kernel::Grid objects = kernel::Grid::withHeaders({"Id", "M", "Name", "Type"}, 0);
  kernel::Grid conditions =
      kernel::Grid::withHeaders({"Id", ")", "Op", "(", "Obj", "Opr", "?", "Opd", "Type", "M"}, 0);

  void object(const QString& id, const QString& select, const QString& where = {}) {
    builder::CatalogueRow row;
    row.OB_IDOBJ = id;
    row.OB_SELECT = select;
    row.OB_WHERE = where;
    catalogue.append(row);
  }
  void result(const QString& id, bool measure, const QString& name) {
    objects.appendRow({id, measure ? "1" : "0", name, "Char"});
  }
  void condition(const QString& id, const QString& close, const QString& op, const QString& open,
                 const QString& oper, const QString& operand, const QString& type,
                 const QString& kind) {
    conditions.appendRow({id, close, op, open, "", oper, "", operand, type, kind});
  }
  // Two tables of one tree, found again by the path query, with one join.
  void twoJoinedTables() {
    db.answers << rows("from KORVO_OBJ_TAB", {1LL, 2LL})
               << rows("count( distinct T_TREE)", {1LL})
               << rows("select t_id from (select", {1LL, 2LL})
               << rows("trim((SELECT TB_NAME", {"KORVO_DEPT", "KORVO_EMP"})
               << rows("JN_DATAVALUE", {"KORVO_EMP.DEPTNO=KORVO_DEPT.DEPTNO"});
  }
  sqlgen::Generation run(const kernel::TextTables& texts) {
    return sqlgen::generer_requete(objects, conditions, catalogue, db, texts);
  }
  sqlgen::Generation run() { return run(fr); }
};

}  // namespace

TEST_F(Generator, DepartmentSalariesOfClerks) {
  object("2", "KORVO_DEPT.DNAME");
  object("20", "sum(KORVO_EMP.SAL)");
  object("6", "KORVO_EMP.JOB");
  result("2", false, "Department");
  result("20", true, "Total salary");
  condition("6", "", "ET", "", "Egal à", "clerk", "Char", "0");
  twoJoinedTables();

  const sqlgen::Generation g = run();
  ASSERT_TRUE(g.ok()) << g.error.toStdString();
  EXPECT_FALSE(g.cartesian);
  EXPECT_EQ(g.lines, QStringList({"Select distinct ",
                                  "    KORVO_DEPT.DNAME \"Department\",",
                                  "    sum(KORVO_EMP.SAL) \"Total salary\"",
                                  " From ",
                                  "    KORVO_DEPT,",
                                  "    KORVO_EMP",
                                  " where  1=1",
                                  "    AND KORVO_EMP.DEPTNO=KORVO_DEPT.DEPTNO",
                                  "     AND  KORVO_EMP.JOB = 'CLERK'",
                                  " GROUP BY KORVO_DEPT.DNAME"}));
  const QString tables = "select distinct OT_IDTAB IDTAB  from KORVO_OBJ_TAB where OT_IDOBJ in (2, 20,6)";
  EXPECT_EQ(db.log,
            QStringList(
                {tables, "select count( distinct T_TREE) from KORVO_TAB_TREE where T_ID in (1,2)",
                 tables,
                 "select t_id from (select t_id  from ( select * from (select  t_id from  "
                 "korvo_tab_tree start with t_id = 1 connect by prior t_parent = t_id UNION "
                 "select  t_id from  korvo_tab_tree start with t_id = 2 connect by prior t_parent "
                 "= t_id) minus select * from  (select  t_id from  korvo_tab_tree start with t_id "
                 "= 1 connect by prior t_parent = t_id INTERSECT select  t_id from  korvo_tab_tree "
                 "start with t_id = 2 connect by prior t_parent = t_id)) union select t_id  from  "
                 "(select t_niv, t_id from  korvo_tab_tree start with t_id = 1 connect by prior "
                 "t_parent = t_id INTERSECT select t_niv, t_id from  korvo_tab_tree start with "
                 "t_id = 2 connect by prior t_parent = t_id order by t_niv desc ) where rownum = "
                 "1)",
                 "select  trim((SELECT TB_NAME FROM KORVO_TABLE T2 where T2.TB_IDTAB = "
                 "T1.TB_ALIAS ) ||' '|| TB_NAME)  from KORVO_TABLE T1 where TB_IDTAB in(1,2)",
                 "select distinct JN_DATAVALUE from KORVO_JOIN where  JN_IDTAB1 in (1,2) and "
                 "JN_IDTAB2 in (1,2) and JN_PROP like '%,FALSE,%'"}));
}

TEST_F(Generator, SelectListAliasesAndGroupBy) {
  object("1", "A.X");
  object("2", "B.Y");
  object("3", "sum(A.Z)");
  db.answers << rows("from KORVO_OBJ_TAB", {}) ;
  // A name of 33 characters keeps its first 30 in the alias.
  result("1", false, "Numéro de département completXYZ");
  result("2", false, "Ville");
  sqlgen::Generation g = run();
  EXPECT_EQ(g.lines.mid(0, 3), QStringList({"Select distinct ",
                                            "    A.X \"Numéro de département completX\",",
                                            "    B.Y \"Ville\""}));
  EXPECT_FALSE(g.lines.last().startsWith(" GROUP BY")) << "no measure, no GROUP BY";

  result("3", true, "Somme");
  g = run();
  EXPECT_EQ(g.lines.last(), " GROUP BY A.X, B.Y");

  objects = kernel::Grid::withHeaders({"Id", "M", "Name", "Type"}, 0);
  result("3", true, "Somme");
  g = run();
  EXPECT_EQ(g.lines.last(), " where  1=1") << "measures only, no GROUP BY";
}

TEST_F(Generator, ObjectsWithoutTablesReadFromDual) {
  object("1", "sysdate");
  result("1", false, "Today");
  db.answers << rows("from KORVO_OBJ_TAB", {});
  const sqlgen::Generation g = run();
  ASSERT_TRUE(g.ok());
  EXPECT_FALSE(g.cartesian);
  EXPECT_EQ(g.lines, QStringList({"Select distinct ", "    sysdate \"Today\"", " From ", "    DUAL",
                                  " where  1=1"}));
  EXPECT_EQ(db.log.size(), 1) << "no tree test, no path, no join for an empty table list";
}

TEST_F(Generator, TablesOutsideOneTreeSetTheCartesianFlag) {
  object("1", "A.X");
  result("1", false, "X");
  for (const long long trees : {2LL, 0LL}) {
    db.answers.clear();
    db.answers << rows("from KORVO_OBJ_TAB", {7LL, 9LL})
               << rows("count( distinct T_TREE)", {trees})
               << rows("select t_id from (select", {})
               << rows("trim((SELECT TB_NAME", {"A", "B"}) << rows("JN_DATAVALUE", {});
    db.log.clear();
    const sqlgen::Generation g = run();
    EXPECT_TRUE(g.cartesian) << trees;
    // No path found: the table list stands for it.
    EXPECT_TRUE(db.log.at(4).endsWith("where TB_IDTAB in(7,9)")) << db.log.at(4).toStdString();
    EXPECT_TRUE(db.log.at(5).contains("JN_IDTAB1 in (7,9) and JN_IDTAB2 in (7,9)"));
  }
}

TEST_F(Generator, ConditionLinesRestrictionsAndHaving) {
  object("2", "KORVO_DEPT.DNAME", "KORVO_DEPT.DEPTNO < 40");
  object("20", "sum(KORVO_EMP.SAL)");
  object("8", "KORVO_EMP.COMM");
  object("10", "KORVO_EMP.ENAME", "KORVO_EMP.COMM > 0");
  result("2", false, "Department");
  result("20", true, "Total salary");
  condition("2", "", "", "((", "Egal à", "sales", "Char", "0");
  condition("8", "", "ou", "", "Non renseigné", "", "Num", "0");
  condition("", ")", "", "", "", "", "", "0");
  condition("10", "", "ET", "", "Différent de", "o'neil", "Char", "0");
  condition("10", "", "ET", "", "Egal à", "ignored", "Char", "2");
  condition("20", "", "ET", "(", "Supérieur à", " 1000,5 ", "Num", "1");
  twoJoinedTables();

  const sqlgen::Generation g = run();
  ASSERT_TRUE(g.ok()) << g.error.toStdString();
  EXPECT_EQ(g.lines.mid(7),
            QStringList({"    AND KORVO_EMP.DEPTNO=KORVO_DEPT.DEPTNO",
                         // A result object and a condition object: its restriction twice.
                         "    AND KORVO_DEPT.DEPTNO < 40", "    AND KORVO_DEPT.DEPTNO < 40",
                         "    AND KORVO_EMP.COMM > 0", "    AND KORVO_EMP.COMM > 0",
                         "      (( KORVO_DEPT.DNAME = 'SALES'",
                         "     OR  KORVO_EMP.COMM IS NULL ",
                         "    )     ",
                         "     AND  KORVO_EMP.ENAME <> 'O''NEIL'",
                         " GROUP BY KORVO_DEPT.DNAME",
                         "Having 1=1",
                         "    AND sum(KORVO_EMP.SAL) >  1000,5 "}));
  const QString ids = db.log.first().mid(db.log.first().indexOf('('));
  EXPECT_EQ(ids, "(2, 20,2,8,10,10,20)");
}

TEST_F(Generator, EnglishWordsAndContinuationRows) {
  object("7", "KORVO_EMP.SAL");
  object("19", "KORVO_SALGRADE.HISAL");
  result("7", false, "Salary");
  condition("7", "", "and", "", "Greater than or equal to", "", "Num", "0");
  condition("19", "", "", "", "", "", "Num", "0");
  condition("7", "", "or", "", "Not in list", "1,2", "Num", "0");
  twoJoinedTables();
  const sqlgen::Generation g = run(kernel::englishTexts());
  ASSERT_TRUE(g.ok());
  EXPECT_EQ(g.lines.mid(7), QStringList({"     AND  KORVO_EMP.SAL >= ",
                                         "       KORVO_SALGRADE.HISAL  ",
                                         "     OR  KORVO_EMP.SAL NOT IN (1,2)"}));
}

TEST(GeneratorPieces, OperandRules) {
  struct Case {
    const char* operand;
    const char* op;
    const char* type;
    const char* expected;
  };
  const Case cases[] = {
      {"paris", "=", "Char", "'PARIS'"},
      {" \tO'Neil\r\n", "=", "Char", "'O''NEIL'"},
      {"'12,5'", "=", "Num", "12.5"},
      {"12,5", "IN", "Num", "(12,5)"},
      {"12,5", "=", "Num", "12.5"},
      {"'A','B'", "IN", "Char", "('A','B')"},
      {"('A','B')", "NOT IN", "Char", "('A','B')"},
      {"(select deptno from korvo_dept)", "IN", "Num", "(SELECT DEPTNO FROM KORVO_DEPT)"},
      {"select max(sal) from korvo_emp", ">", "Char", "SELECT MAX(SAL) FROM KORVO_EMP"},
      {"sysdate", "<", "Date", "SYSDATE"},
      {"sysdate - 30", "<", "Date", "SYSDATE - 30"},
      {"sysdate-30", "<", "Date", "'SYSDATE-30'"},
      {"'already'", "=", "Char", "'ALREADY'"},
      {"''", "=", "Num", "''"},
      {"'a' and 'b'", "BETWEEN", "Char", "'A' AND 'B'"},
      {"10 AND 20", "BETWEEN", "Num", "10 AND 20"},
      {"", "IS NULL", "Char", ""},
      {"", "IN", "Char", ""},
      {"héron", "LIKE", "Char", "'HéRON'"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(sqlgen::whereOperand(c.operand, c.op, c.type), QString(c.expected))
        << c.operand << " " << c.op << " " << c.type;
  }
}

TEST(GeneratorPieces, ConnectorsAndOperatorsOfBothLanguages) {
  const kernel::TextTables& fr = kernel::frenchTexts();
  const kernel::TextTables& en = kernel::englishTexts();
  EXPECT_EQ(sqlgen::sqlConnector("et", fr), "AND");
  EXPECT_EQ(sqlgen::sqlConnector("OU", fr), "OR");
  EXPECT_EQ(sqlgen::sqlConnector("And", en), "AND");
  EXPECT_EQ(sqlgen::sqlConnector("", en), "");
  const QStringList sql = {"=",           "<>", ">",      ">=",      "<",
                           "<=",          "BETWEEN", "NOT BETWEEN", "IN", "NOT IN",
                           "IS NULL",     "IS NOT NULL", "LIKE", "NOT LIKE"};
  for (int i = 0; i < sql.size(); ++i) {
    EXPECT_EQ(sqlgen::sqlOperator(fr.operatorLabels[i + 1], fr), sql[i]);
    EXPECT_EQ(sqlgen::sqlOperator(en.operatorLabels[i + 1], en), sql[i]);
    EXPECT_EQ(sqlgen::sqlOperator(fr.operatorLabels[i + 1], en), "") << "other language";
  }
  EXPECT_EQ(sqlgen::sqlOperator(fr.operatorLabels[0], fr), "");
  EXPECT_EQ(sqlgen::sqlOperator("", fr), "");
}

TEST_F(Generator, EmptyResultGridIsRefusedWithoutAQuery) {
  object("6", "KORVO_EMP.JOB");
  condition("6", "", "", "", "Egal à", "clerk", "Char", "0");
  sqlgen::Generation g = run();
  EXPECT_TRUE(g.refusedEmpty);
  EXPECT_FALSE(g.ok());
  EXPECT_TRUE(g.lines.isEmpty());
  objects.appendRow({});  // the fresh grid's empty row 1
  g = run();
  EXPECT_TRUE(g.refusedEmpty);
  EXPECT_TRUE(db.log.isEmpty());
}

TEST_F(Generator, DatabaseErrorStopsWithTheLinesWritten) {
  object("2", "KORVO_DEPT.DNAME");
  result("2", false, "Department");
  db.answers << rows("from KORVO_OBJ_TAB", {1LL}) << rows("count( distinct T_TREE)", {1LL})
             << rows("select t_id from (select", {1LL})
             << PreparedAnswer{"trim((SELECT TB_NAME", {}, {}, "ORA-00942: table or view does not exist"};
  const sqlgen::Generation g = run();
  EXPECT_EQ(g.error, "ORA-00942: table or view does not exist");
  EXPECT_FALSE(g.refusedEmpty);
  EXPECT_EQ(g.lines, QStringList({"Select distinct ", "    KORVO_DEPT.DNAME \"Department\"", " From "}));
  EXPECT_FALSE(db.log.last().contains("JN_DATAVALUE"));
}

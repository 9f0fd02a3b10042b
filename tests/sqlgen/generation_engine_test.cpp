// Generated statements run on the embedded engine over the imported
// demonstration universe (the scott tables): the real repository answers,
// the real join tree, and the rows the statements give.
#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>

#include "builder/workspace.h"
#include "repository/universe_import.h"
#include "repository/universe_list.h"
#include "support/demo_universe.h"
#include "qt_print.h"
#include "sqlgen/sql_generation.h"
#include "support/test_paths.h"

using namespace korvo;

namespace {

class DemoGeneration : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    demo_ = new korvo::testing::DemoUniverse;
    connection_ = demo_->connection.get();
    interaction_ = &demo_->interaction;
    workspace_ = demo_->workspace.get();
    imported_ = demo_->imported;
  }
  static void TearDownTestSuite() { delete demo_; }
  void SetUp() override { ASSERT_TRUE(imported_) << interaction_->errors.join(" | ").toStdString(); }

  void result(int id, bool measure, const QString& name) {
    objects.appendRow({QString::number(id), measure ? "1" : "0", name, ""});
  }
  void condition(int id, const QString& connector, const QString& oper, const QString& operand,
                 const QString& type, const QString& kind = "0") {
    conditions.appendRow(
        {QString::number(id), "", connector, "", "", oper, "", operand, type, kind});
  }
  sqlgen::Generation generate() {
    return sqlgen::generer_requete(objects, conditions, workspace_->catalogue(), *connection_,
                                   kernel::frenchTexts());
  }
  // The statement's rows, fields joined by "|", sorted.
  static QStringList run(const sqlgen::Generation& g) {
    std::unique_ptr<db::Cursor> cursor = connection_->query(g.lines.join('\n'));
    QList<db::Row> rows;
    cursor->fetch(rows, 0);
    QStringList out;
    for (const db::Row& row : rows) {
      QStringList fields;
      for (const QVariant& v : row) fields << connection_->display(v);
      out << fields.join('|');
    }
    std::sort(out.begin(), out.end());
    return out;
  }
  static QStringList fromList(const sqlgen::Generation& g) {
    const qsizetype from = g.lines.indexOf(" From ");
    const qsizetype where = g.lines.indexOf(" where  1=1");
    QStringList tables;
    for (qsizetype i = from + 1; i < where; ++i) {
      QString t = g.lines[i].trimmed();
      if (t.endsWith(',')) t.chop(1);
      tables << t;
    }
    std::sort(tables.begin(), tables.end());
    return tables;
  }

  kernel::Grid objects = kernel::Grid::withHeaders({"Id", "M", "Name", "Type"}, 0);
  kernel::Grid conditions =
      kernel::Grid::withHeaders({"Id", ")", "Op", "(", "Obj", "Opr", "?", "Opd", "Type", "M"}, 0);

  static inline korvo::testing::DemoUniverse* demo_ = nullptr;
  static inline db::Connection* connection_ = nullptr;
  static inline kernel::RecordingInteraction* interaction_ = nullptr;
  static inline builder::Workspace* workspace_ = nullptr;
  static inline bool imported_ = false;
};

}  // namespace

TEST_F(DemoGeneration, DepartmentSalariesOfClerks) {
  result(2, false, "Department");
  result(20, true, "Total salary");
  condition(6, "ET", "Egal à", "clerk", "Char");
  const sqlgen::Generation g = generate();
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
  EXPECT_EQ(run(g), QStringList({"ACCOUNTING|1300", "RESEARCH|1900", "SALES|950"}));
}

TEST_F(DemoGeneration, TwoLeavesMeetThroughTheirCommonAncestor) {
  result(2, false, "Département");
  result(17, false, "Grade");
  const sqlgen::Generation g = generate();
  ASSERT_TRUE(g.ok()) << g.error.toStdString();
  EXPECT_FALSE(g.cartesian);
  EXPECT_EQ(fromList(g), QStringList({"KORVO_DEPT", "KORVO_EMP", "KORVO_SALGRADE"}));
  QStringList joins = g.lines.filter(QRegularExpression("^    AND "));
  std::sort(joins.begin(), joins.end());
  EXPECT_EQ(joins,
            QStringList({"    AND KORVO_EMP.DEPTNO=KORVO_DEPT.DEPTNO",
                         "    AND KORVO_EMP.SAL between KORVO_SALGRADE.LOSAL and KORVO_SALGRADE.HISAL"}));
  EXPECT_EQ(run(g), QStringList({"ACCOUNTING|2", "ACCOUNTING|4", "ACCOUNTING|5", "RESEARCH|1",
                                 "RESEARCH|4", "SALES|1", "SALES|2", "SALES|3", "SALES|4"}));
}

TEST_F(DemoGeneration, AliasTableNamesTheRealTable) {
  result(5, false, "Employé");
  result(11, false, "Responsable");
  condition(12, "ET", "Egal à", "manager", "Char");
  const sqlgen::Generation g = generate();
  ASSERT_TRUE(g.ok()) << g.error.toStdString();
  EXPECT_EQ(fromList(g), QStringList({"KORVO_EMP", "KORVO_EMP KORVO_MGR"}));
  EXPECT_TRUE(g.lines.contains("    AND KORVO_EMP.MGR=KORVO_MGR.EMPNO"));
  EXPECT_EQ(run(g), QStringList({"ALLEN|BLAKE", "FORD|JONES", "JAMES|BLAKE", "MARTIN|BLAKE",
                                 "MILLER|CLARK", "SCOTT|JONES", "TURNER|BLAKE", "WARD|BLAKE"}));
}

TEST_F(DemoGeneration, HavingAndOperandsRun) {
  result(2, false, "Département");
  result(20, true, "Masse salariale");
  condition(20, "ET", "Supérieur à", "9000", "Num", "1");
  sqlgen::Generation g = generate();
  ASSERT_TRUE(g.ok()) << g.error.toStdString();
  EXPECT_EQ(g.lines.mid(g.lines.size() - 3),
            QStringList({" GROUP BY KORVO_DEPT.DNAME", "Having 1=1",
                         "    AND sum(KORVO_EMP.SAL) > 9000"}));
  EXPECT_EQ(run(g), QStringList({"RESEARCH|10875", "SALES|9400"}));

  objects = kernel::Grid::withHeaders({"Id", "M", "Name", "Type"}, 0);
  conditions = kernel::Grid::withHeaders(conditions.headers(), 0);
  result(5, false, "Employé");
  condition(7, "ET", "Supérieur ou égal à", "'2975,0'", "Num");
  condition(6, "ET", "Dans liste", "'analyst','president','manager'", "Char");
  condition(8, "ET", "Non renseigné", "", "Num");
  g = generate();
  ASSERT_TRUE(g.ok()) << g.error.toStdString();
  EXPECT_EQ(g.lines.mid(g.lines.size() - 3),
            QStringList({"     AND  KORVO_EMP.SAL >= 2975.0",
                         "     AND  KORVO_EMP.JOB IN ('ANALYST','PRESIDENT','MANAGER')",
                         "     AND  KORVO_EMP.COMM IS NULL "}));
  EXPECT_EQ(run(g), QStringList({"FORD", "JONES", "KING", "SCOTT"}));
}

TEST_F(DemoGeneration, MeasuresOnlyAndRestrictions) {
  result(25, true, "Effectif");
  sqlgen::Generation g = generate();
  ASSERT_TRUE(g.ok()) << g.error.toStdString();
  EXPECT_EQ(g.lines.last(), " where  1=1");
  EXPECT_EQ(run(g), QStringList({"14"}));

  objects = kernel::Grid::withHeaders({"Id", "M", "Name", "Type"}, 0);
  result(10, false, "Employés commissionnés");
  g = generate();
  ASSERT_TRUE(g.ok()) << g.error.toStdString();
  EXPECT_EQ(g.lines.mid(2), QStringList({" From ", "    KORVO_EMP", " where  1=1",
                                         "    AND KORVO_EMP.COMM > 0"}));
  EXPECT_EQ(run(g), QStringList({"ALLEN", "MARTIN", "WARD"}));
}

TEST_F(DemoGeneration, TablesOfAnotherTreeOrOfNoneAreCartesian) {
  // KORVO_BONUS forms a tree of its own; KORVO_EXTRA was never put in a tree.
  for (const char* sql :
       {"insert into KORVO_TABLE (TB_IDTAB, TB_IDUNIV, TB_NAME) values (5, 1, 'KORVO_BONUS')",
        "insert into KORVO_TABLE (TB_IDTAB, TB_IDUNIV, TB_NAME) values (6, 1, 'KORVO_EXTRA')",
        "insert into KORVO_OBJ_TAB (OT_IDOBJ, OT_IDTAB, OT_IDUNIV) values (99, 5, 1)",
        "insert into KORVO_OBJ_TAB (OT_IDOBJ, OT_IDTAB, OT_IDUNIV) values (98, 6, 1)",
        "insert into KORVO_TAB_TREE (T_ID, T_PARENT, T_NIV, T_TREE) values (5, 0, 0, 99)"})
    connection_->exec(sql);
  builder::Catalogue catalogue = workspace_->catalogue();
  for (const auto& [id, select] : {std::pair{"99", "KORVO_BONUS.AMOUNT"},
                                   std::pair{"98", "KORVO_EXTRA.CODE"}}) {
    builder::CatalogueRow row;
    row.OB_IDOBJ = id;
    row.OB_SELECT = select;
    catalogue.append(row);
  }
  const auto generateWith = [&] {
    return sqlgen::generer_requete(objects, conditions, catalogue, *connection_,
                                   kernel::frenchTexts());
  };
  result(17, false, "Grade");
  result(99, false, "Prime");
  sqlgen::Generation g = generateWith();
  ASSERT_TRUE(g.ok()) << g.error.toStdString();
  EXPECT_TRUE(g.cartesian);
  const QStringList twoTrees = fromList(g);
  // Nothing in common: each table brings its whole way up to its root.
  EXPECT_EQ(twoTrees, QStringList({"KORVO_BONUS", "KORVO_EMP", "KORVO_SALGRADE"}));

  objects = kernel::Grid::withHeaders({"Id", "M", "Name", "Type"}, 0);
  result(98, false, "Code");
  g = generateWith();
  ASSERT_TRUE(g.ok()) << g.error.toStdString();
  EXPECT_TRUE(g.cartesian);
  // No path through the tree: the table list is the FROM list.
  EXPECT_EQ(fromList(g), QStringList({"KORVO_EXTRA"}));

  for (const char* sql : {"delete from KORVO_TABLE where TB_IDTAB in (5, 6)",
                          "delete from KORVO_OBJ_TAB where OT_IDOBJ in (98, 99)",
                          "delete from KORVO_TAB_TREE where T_ID = 5"})
    connection_->exec(sql);
}

// Sorting the result by a column title: the alternating direction, the
// object expression found from the alias, and the statement the server runs.
#include "builder/catalogue.h"
#include "builder/query_grids.h"
#include "kernel/language.h"
#include "qt_print.h"
#include "result_fixture.h"
#include "sqlgen/result_sort.h"

using namespace korvo;
using namespace korvo::sqlgen;

namespace {

TEST(ResultSortDirection, AlternatesPerColumnAndRestartsOnAnother) {
  kernel::AppState state;
  EXPECT_EQ(nextSortDirection(state, "Department"), "ASC");
  EXPECT_EQ(nextSortDirection(state, "Department"), "DESC");
  EXPECT_EQ(nextSortDirection(state, "Department"), "ASC");
  EXPECT_EQ(nextSortDirection(state, "Department"), "DESC");
  EXPECT_EQ(nextSortDirection(state, "Salary"), "ASC");
  EXPECT_EQ(state.lastSortedTitle, "Salary");
  EXPECT_EQ(state.sortDirection, "ASC");
  // Back to the first column: it starts again from ASC.
  EXPECT_EQ(nextSortDirection(state, "Department"), "ASC");
  EXPECT_EQ(nextSortDirection(state, "Department"), "DESC");
}

class ResultSortExpression : public ::testing::Test {
 protected:
  void SetUp() override {
    add("2", "KORVO_DEPT.DNAME");
    add("7", "KORVO_EMP.ENAME");
    add("9", "sum(KORVO_EMP.SAL)");
  }
  void add(const QString& id, const QString& select) {
    builder::CatalogueRow row;
    row.OB_IDOBJ = id;
    row.OB_SELECT = select;
    catalogue.append(row);
  }
  void object(const QString& id, const QString& name) { objects.appendRow({id, "0", name, "Char"}); }

  builder::Catalogue catalogue;
  kernel::Grid objects = kernel::Grid::withHeaders({"Id", "M", "Name", "Type"}, 0);
};

TEST_F(ResultSortExpression, FindsTheObjectByItsAlias) {
  object("2", "Department");
  object("7", "Employee");
  EXPECT_EQ(sortExpression(objects, catalogue, "Employee"), "KORVO_EMP.ENAME");
  EXPECT_EQ(sortExpression(objects, catalogue, "Department"), "KORVO_DEPT.DNAME");
  EXPECT_EQ(sortExpression(objects, catalogue, "department"), "");
  EXPECT_EQ(sortExpression(objects, catalogue, "Nobody"), "");
}

TEST_F(ResultSortExpression, ComparesNamesCutToThirtyCharacters) {
  const QString longName = "Total salary of the department in euros";  // 39 characters
  object("9", longName);
  EXPECT_EQ(sortExpression(objects, catalogue, longName.left(30)), "sum(KORVO_EMP.SAL)");
  EXPECT_EQ(sortExpression(objects, catalogue, longName), "");
}

TEST_F(ResultSortExpression, TheLastMatchingRowCounts) {
  object("2", "Name of the department or team A");
  object("7", "Name of the department or team B");
  EXPECT_EQ(sortExpression(objects, catalogue, "Name of the department or team"), "KORVO_EMP.ENAME");
  // A matching row whose object the catalogue does not know gives nothing.
  object("404", "Name of the department or team C");
  EXPECT_EQ(sortExpression(objects, catalogue, "Name of the department or team"), "");
}

TEST(ResultSortTexts, StatementAndStatusBar) {
  EXPECT_EQ(sortedStatement("Select X \"A\"\n From T", "T.X", "DESC"),
            "Select X \"A\"\n From T order by T.X DESC");
  EXPECT_EQ(sortedStatement("Select 1 from dual", "", "ASC"), "Select 1 from dual order by  ASC");
  EXPECT_EQ(sortStatusText(kernel::frenchTexts(), "Department", "DESC"), "TRI: Department DESC");
  EXPECT_EQ(sortStatusText(kernel::englishTexts(), "Salary", "ASC"), "SORT: Salary ASC");
}

class ResultSortOnServer : public korvo::testing::ResultEngineTest {};

TEST_F(ResultSortOnServer, TheSortedStatementOrdersTheFirstPacket) {
  korvo::testing::createNumberedTable(*connection, "NUMS", 800);
  const QString memo = "Select distinct \n    NUMS.ID \"Number\"\n From \n    NUMS";
  sqlgen::ResultModel model;
  model.open(*connection, sortedStatement(memo, "NUMS.ID", "DESC"));
  EXPECT_EQ(model.fetchedRows(), 500);
  EXPECT_EQ(model.displayText(0, 0), "800");
  EXPECT_EQ(model.displayText(499, 0), "301");
  // No expression, or a second order by: the server refuses the statement.
  EXPECT_THROW(model.open(*connection, sortedStatement(memo, "", "ASC")), db::DbError);
  EXPECT_THROW(model.open(*connection, sortedStatement(memo + " order by 1", "NUMS.ID", "ASC")),
               db::DbError);
  EXPECT_EQ(model.columnCount(), 0);
}

}  // namespace

#include "session/profile_grid.h"

#include <gtest/gtest.h>

#include "kernel/app_state.h"

namespace korvo::session {
namespace {

Grid gridOf(const QList<QStringList>& rows) {
  Grid grid(static_cast<int>(rows.first().size()), static_cast<int>(rows.size()));
  for (int r = 0; r < rows.size(); ++r)
    for (int c = 0; c < rows[r].size(); ++c) grid.setCell(r, c, rows[r][c]);
  return grid;
}

QStringList column(const Grid& grid, int c) {
  QStringList cells;
  for (int r = 0; r < grid.rowCount(); ++r) cells << grid.cell(r, c);
  return cells;
}

TEST(ProfileGridTest, CountsNeverFallBelowOneAndKeepCells) {
  Grid grid(2, 2);
  grid.setCell(1, 1, "x");
  grid.setRowCount(0);
  EXPECT_EQ(grid.rowCount(), 1);
  grid.setRowCount(3);
  EXPECT_EQ(grid.cell(1, 1), "");
  grid.setCell(0, 1, "title");
  grid.setColumnCount(4);
  EXPECT_EQ(grid.cell(0, 1), "title");
  EXPECT_EQ(grid.cell(0, 3), "");
  grid.setColumnCount(1);
  EXPECT_EQ(grid.cell(0, 1), "");
  EXPECT_THROW(grid.setCell(0, 1, "x"), std::out_of_range);
  EXPECT_THROW(grid.setCell(3, 0, "x"), std::out_of_range);
}

TEST(ProfileGridTest, RemoveLine) {
  struct Case {
    int row;
    QStringList expected;
  };
  const QList<Case> cases = {
      {1, {"T", "b", "c"}},  // a middle row: the following rows move up
      {3, {"T", "a", "b"}},  // the last row
      {2, {"T", "a", "c"}},
      {7, {"T", "a", "b"}},  // past the end: the count still shrinks
  };
  for (const Case& c : cases) {
    Grid grid = gridOf({{"T", "t2"}, {"a", "a2"}, {"b", "b2"}, {"c", "c2"}});
    RemoveLine(grid, c.row);
    EXPECT_EQ(column(grid, 0), c.expected) << "row " << c.row;
    EXPECT_EQ(grid.rowCount(), 3);
  }
  Grid grid = gridOf({{"T", "t2"}, {"a", "a2"}, {"b", "b2"}});
  RemoveLine(grid, 1);
  EXPECT_EQ(grid.row(1), (QStringList{"b", "b2"}));  // whole rows move
}

TEST(ProfileGridTest, RemovingTheLastProfileKeepsTheTitleRow) {
  Grid grid = gridOf({{"Base", "User"}, {"ORCL", "scott"}});
  RemoveLine(grid, 1);
  EXPECT_EQ(grid.rowCount(), 1);
  EXPECT_EQ(grid.row(0), (QStringList{"Base", "User"}));
  RemoveLine(grid, 1);
  EXPECT_EQ(grid.rowCount(), 1);
  EXPECT_EQ(grid.row(0), (QStringList{"Base", "User"}));
}

TEST(ProfileGridTest, SortingTheSameTitleTwiceGivesAscendingThenDescending) {
  kernel::AppState state;
  Grid grid = gridOf({{"Base", "User"}, {"b", "1"}, {"c", "2"}, {"a", "3"}});
  TrierStringGrid(grid, 0, state);
  EXPECT_EQ(state.sortDirection, "ASC");
  EXPECT_EQ(state.lastSortedTitle, "Base");
  EXPECT_EQ(column(grid, 0), (QStringList{"Base", "a", "b", "c"}));
  EXPECT_EQ(column(grid, 1), (QStringList{"User", "3", "1", "2"}));  // rows move whole

  TrierStringGrid(grid, 0, state);
  EXPECT_EQ(state.sortDirection, "DESC");
  EXPECT_EQ(column(grid, 0), (QStringList{"Base", "c", "b", "a"}));

  TrierStringGrid(grid, 0, state);  // a third click: ascending again
  EXPECT_EQ(state.sortDirection, "ASC");

  TrierStringGrid(grid, 0, state);
  TrierStringGrid(grid, 1, state);  // another title: ascending
  EXPECT_EQ(state.sortDirection, "ASC");
  EXPECT_EQ(state.lastSortedTitle, "User");
  EXPECT_EQ(column(grid, 1), (QStringList{"User", "1", "2", "3"}));
}

TEST(ProfileGridTest, SortStateIsSharedWithWhateverSortedLast) {
  kernel::AppState state;
  state.lastSortedTitle = "Base";  // the result grid sorted a column of that title
  state.sortDirection = "ASC";
  Grid grid = gridOf({{"Base"}, {"a"}, {"b"}});
  TrierStringGrid(grid, 0, state);
  EXPECT_EQ(state.sortDirection, "DESC");
  EXPECT_EQ(column(grid, 0), (QStringList{"Base", "b", "a"}));
}

TEST(ProfileGridTest, SortComparesWindowsBytesCaseSensitively) {
  kernel::AppState state;
  // Windows-1252: "B" 0x42 < "a" 0x61 < euro 0x80 < "é" 0xE9 (in Unicode the
  // euro sign U+20AC would come after "é").
  Grid grid =
      gridOf({{"T"}, {QString::fromUtf8("é")}, {QString::fromUtf8("€")}, {"a"}, {"B"}});
  TrierStringGrid(grid, 0, state);
  EXPECT_EQ(column(grid, 0),
            (QStringList{"T", "B", "a", QString::fromUtf8("€"), QString::fromUtf8("é")}));
}

TEST(ProfileGridTest, FewerThanThreeRowsOnlyTurnsTheDirection) {
  kernel::AppState state;
  Grid grid = gridOf({{"T"}, {"z"}});
  TrierStringGrid(grid, 0, state);
  TrierStringGrid(grid, 0, state);
  EXPECT_EQ(state.sortDirection, "DESC");
  EXPECT_EQ(column(grid, 0), (QStringList{"T", "z"}));
}

}  // namespace
}  // namespace korvo::session

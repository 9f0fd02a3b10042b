// ora_listagg and ora_keep over moving windows: rows leave the window again, and
// the list or the kept value follows.
#include <string>

#include "functions_test_db.h"

namespace korvo::engine::testing {
namespace {

class OrderedAggregateWindows : public OracleFunctionsTest {
 protected:
  void SetUp() override {
    exec("CREATE TABLE t (id INTEGER, v TEXT, k REAL)");
    exec("INSERT INTO t VALUES (1,'a',3),(2,'b',1),(3,'c',2),(4,'d',1),(5,NULL,5)");
  }
  // Every row's value of the window expression, in id order, joined by '|'.
  std::string column(const std::string& windowExpr) {
    sqlite3_stmt* st = nullptr;
    const std::string sql = "SELECT " + windowExpr + " FROM t ORDER BY id";
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
      return std::string("prepare failed: ") + sqlite3_errmsg(db_);
    std::string out;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) out += (out.empty() ? "" : "|") + render(st);
    if (rc != SQLITE_DONE) out += std::string(" error: ") + sqlite3_errmsg(db_);
    sqlite3_finalize(st);
    return out;
  }
};

TEST_F(OrderedAggregateWindows, ListFollowsTheWindow) {
  // two rows at a time, listed by k: (a3), (a3 b1), (b1 c2), (c2 d1), (d1 NULL)
  EXPECT_EQ(column("ora_listagg(v, ',', 'A', k) OVER (ORDER BY id ROWS 1 PRECEDING)"),
            "'a'|'b,a'|'b,c'|'d,c'|'d'");
  EXPECT_EQ(column("ora_listagg(v, ',', '!A', v) OVER (ORDER BY id ROWS BETWEEN CURRENT ROW AND "
                   "1 FOLLOWING)"),
            "'a,b'|'b,c'|'c,d'|'d'|NULL");
}

TEST_F(OrderedAggregateWindows, KeptValueFollowsTheWindow) {
  // the v of the lowest k among the current and previous row
  EXPECT_EQ(column("ora_keep('MIN', v, 'FIRST', 'A', k) OVER (ORDER BY id ROWS 1 PRECEDING)"),
            "'a'|'b'|'b'|'d'|'d'");
  // the count of rows sharing the highest k: NULL k ranks last
  EXPECT_EQ(column("ora_keep('COUNT', id, 'LAST', 'A', k) OVER (ORDER BY id ROWS 2 PRECEDING)"),
            "1|1|1|1|1");
  EXPECT_EQ(column("ora_keep('SUM', id, 'FIRST', 'A', k) OVER (ORDER BY id ROWS 2 PRECEDING)"),
            "1|2|2|6|4");
}

}  // namespace
}  // namespace korvo::engine::testing

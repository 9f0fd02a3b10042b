// Flat chains as long as a statement allows: sums, products, concatenations, AND,
// OR, joins and set operators are read and translated without recursion in their
// length and in time linear in it. The sizes would exhaust the stack of a
// recursive walk and take minutes with a quadratic step; here they take moments.
#include <string>

#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

class LongChains : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    loadDemo();
  }
};

// first op x op x ... with count operands after first
std::string chain(const std::string& first, const std::string& op, const std::string& x,
                  int count) {
  std::string s = first;
  s.reserve(first.size() + (op.size() + x.size()) * size_t(count));
  for (int i = 0; i < count; ++i) s += op + x;
  return s;
}

constexpr int kTerms = 200000;

TEST_F(LongChains, ArithmeticOfTwoHundredThousandTerms) {
  EXPECT_EQ(single("select (" + chain("1", "+", "1", kTerms - 1) + ") from dual"), "200000");
  // around the sizes where one call becomes lists of operands, and lists of lists
  for (int n : {62, 63, 64, 125, 126, 127, 7874, 7875, 7876})
    EXPECT_EQ(single("select " + chain("0", " - ", "1", n) + " from dual"), std::to_string(-n));
  std::string mixed = "select 5";
  for (int i = 0; i < kTerms / 2; ++i) mixed += " + 3 - 2";
  EXPECT_EQ(single(mixed + " from dual"), "100005");
  EXPECT_EQ(single("select " + chain("sal", " + ", "1", kTerms) + " from emp where empno = 7369"),
            "200800");
  // decimal steps rounded as Oracle's NUMBER keeps them: no binary drift
  EXPECT_EQ(single("select " + chain("0", " + ", "0.1", kTerms) + " from dual"), "20000");
  std::string products = "select 7";
  for (int i = 0; i < kTerms / 2; ++i) products += " * 3 / 3";
  EXPECT_EQ(single(products + " from dual"), "7");
  EXPECT_EQ(single("select " + chain("1", " / ", "2", 3) + " * 8 from dual"), "1");
  EXPECT_EQ(errorOf("select " + chain("1", " + ", "1", 1000) + " / 0 from dual"), 1476);
  EXPECT_EQ(single("select nvl(to_char(" + chain("1", " + ", "1", 1000) + " + null), 'none') "
                   "from dual"),
            "none");
}

TEST_F(LongChains, ConcatenationsAndConditions) {
  EXPECT_EQ(single("select length(" + chain("'a'", " || ", "''", kTerms) + " || 'b') from dual"),
            "2");
  EXPECT_EQ(single("select length(" + chain("'a'", " || ", "'b'", 3999) + ") from dual"), "4000");
  EXPECT_EQ(single("select max(ename) || '-' || min(ename) || count(*) from emp"), "WARD-ADAMS14");
  EXPECT_EQ(single("select max(sal) - min(sal) / 2 + count(*) from emp"), "4614");
  EXPECT_EQ(errorOf("select " + chain("'a'", " || ", "'b'", 4000) + " from dual"), 1489);
  EXPECT_EQ(single(chain("select count(*) from emp where 1 = 1", " and ", "sal > 0", kTerms / 2)),
            "14");
  EXPECT_EQ(
      single(chain("select ename from emp where ename = 'KING'", " or ", "1 = 0", kTerms / 2)),
      "KING");
  EXPECT_EQ(single(chain("select count(*) from emp where deptno = 10", " and ",
                         "(sal > 0 or 1 = 0)", kTerms / 8)),
            "3");
  // a type change at every step nests the SQL: SQLite refuses it, quickly and cleanly
  std::string alternating = "select 0";
  for (int i = 0; i < kTerms / 4; ++i) alternating += " || 0 + 0";
  EXPECT_EQ(errorOf(alternating + " from dual"), 3001);
  EXPECT_EQ(single("select 0 || 0 + 1 || 2 + 3 from dual"), "15");
  EXPECT_EQ(errorOf("select " + chain("sysdate", " + ", "1", kTerms / 2) + " from dual"), 3001);
}

TEST_F(LongChains, JoinsAndSetOperators) {
  std::string joins = "select count(*) from emp e0";
  for (int i = 1; i < kTerms / 2; ++i)
    joins += " join emp e" + std::to_string(i) + " on 1 = 1";
  EXPECT_EQ(errorOf(joins), 3001);
  EXPECT_NE(lastError_.find("more than 64 tables"), std::string::npos) << lastError_;
  EXPECT_EQ(errorOf(chain("select count(*) from emp", ", ", "dept", kTerms)), 3001);
  EXPECT_EQ(single("select count(*) from emp e join dept d on d.deptno = e.deptno left join emp m "
                   "on m.empno = e.mgr join dept x on x.deptno = m.deptno"),
            "13");
  // beyond SQLite's 500 members a compound is regrouped (SQLite's own work per member
  // then dominates, and grows faster than the count for UNION)
  EXPECT_EQ(single("select count(*) from (" +
                   chain("select 1 from dual", " union all ", "select 1 from dual", 20000) + ")"),
            "20001");
  EXPECT_EQ(single("select count(*) from (" +
                   chain("select deptno from dept", " union ", "select deptno from emp", 2000) +
                   ")"),
            "4");
  // operators that do not regroup: the members keep their order, from left to right
  std::string mixed = "select deptno from dept";
  for (int i = 0; i < 700; ++i)
    mixed += " union all select deptno from dept minus select 40 from dual";
  EXPECT_EQ(column(mixed + " order by 1"), "10,20,30");
  EXPECT_EQ(column("select deptno from dept minus select 10 from dual union all select 10 from "
                   "dual order by 1"),
            "10,20,30,40");
}

TEST_F(LongChains, BlockOfFortyThousandCallsKnowsItsLines) {
  std::string block = "begin\n";
  for (int i = 0; i < 40000; ++i) block += "  dbms_application_info.set_action('step');\n";
  EXPECT_EQ(errorOf(block + "end;"), 0) << lastError_;
  EXPECT_EQ(errorOf(block + "  no_such_procedure;\nend;"), 6550);
  EXPECT_NE(lastError_.find("line 40002, column 3:\nPLS-00201: identifier 'NO_SUCH_PROCEDURE'"),
            std::string::npos)
      << lastError_.substr(0, 200);
  EXPECT_EQ(errorOf(block + "  x := 1;\nend;"), 3001);
}

}  // namespace
}  // namespace korvo::engine::test

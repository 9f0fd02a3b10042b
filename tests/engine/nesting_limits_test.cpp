// Nesting deep enough to exhaust an 8 MB stack is refused with ORA-03001 naming
// what nests, by the parser and by every walk over a tree built some other way;
// nesting within the limit still works.
#include <string>

#include "engine/ast_print.h"
#include "engine/nesting.h"
#include "engine/parser.h"
#include "engine/translator.h"
#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

std::string repeat(const std::string& s, int n) {
  std::string out;
  out.reserve(s.size() * size_t(n));
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

class Nesting : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    loadDemo();
  }
  // The error text of a statement that must fail with ORA-03001.
  std::string refusal(const std::string& sql) {
    EXPECT_EQ(errorOf(sql), 3001) << sql.substr(0, 120);
    return lastError_;
  }
};

TEST_F(Nesting, DeepStatementsAreRefusedNamingTheNesting) {
  const int deep = 100000;
  EXPECT_EQ(refusal("select " + repeat("(", deep) + "1" + repeat(")", deep) + " from dual"),
            "ORA-03001: unimplemented feature: expression nesting deeper than 200");
  EXPECT_NE(refusal("select ename from emp connect by " + repeat("prior ", deep) +
                    "empno = mgr")
                .find("PRIOR operator nesting deeper than 200"),
            std::string::npos);
  EXPECT_NE(refusal("select " + repeat("connect_by_root ", deep) +
                    "ename from emp connect by prior empno = mgr")
                .find("CONNECT_BY_ROOT operator nesting deeper than 200"),
            std::string::npos);
  EXPECT_NE(refusal(repeat("with w as (", deep) + "select 1 x from dual").find(
                "query nesting deeper than 200"),
            std::string::npos);
  EXPECT_NE(refusal(repeat("select * from (with w as (", deep / 10) + "select 1 x from dual")
                .find(" nesting deeper than 200"),
            std::string::npos);
  EXPECT_NE(refusal("select * from " + repeat("(", deep) + "emp").find("nesting deeper than 200"),
            std::string::npos);
  refusal("select " + repeat("not ", deep) + "1 = 1 from dual");
  refusal("select " + repeat("nvl(", deep) + "1" + repeat(", 2)", deep) + " from dual");
  refusal("select " + repeat("case when 1 = 1 then ", deep) + "1" + repeat(" end", deep) +
          " from dual");
  refusal("select * from emp where empno in " + repeat("(select empno from emp where empno in ",
                                                       deep / 10) +
          "(1)");
  // "((select ...) + 1)" is first tried as a query: nested, it is tried once per level,
  // not twice per level below it
  std::string tried = "1";
  for (int i = 0; i < 36; ++i) tried = "((SELECT " + tried + " FROM DUAL) + 1)";
  std::string statement = "SELECT " + tried + " FROM DUAL";
  EXPECT_EQ(ast::toSql(parseStatement(statement)), statement);
}

TEST_F(Nesting, NestingWithinTheLimitIsAnswered) {
  EXPECT_EQ(single("select " + repeat("(", 190) + "7" + repeat(")", 190) + " from dual"), "7");
  // SQLite's parser takes about thirty levels: the parser more, printed back unchanged
  EXPECT_EQ(single("select " + repeat("nvl(", 25) + "3" + repeat(", 0)", 25) + " from dual"),
            "3");
  std::string calls = "SELECT " + repeat("NVL(", 190) + "3" + repeat(", 0)", 190) + " FROM DUAL";
  EXPECT_EQ(ast::toSql(parseStatement(calls)), calls);
  EXPECT_EQ(single("select count(prior ename) from emp start with mgr is null "
                   "connect by prior empno = mgr"),
            "13");
  EXPECT_EQ(single("with a as (with b as (with c as (select 7 x from dual) select x from c) "
                   "select x from b) select x from a"),
            "7");
  EXPECT_EQ(errorOf("select ename from emp connect by prior prior empno = mgr"), 3001);
  std::string sub = "select count(*) from emp";
  for (int i = 0; i < 5; ++i) sub = "select (" + sub + ") from dual";
  EXPECT_EQ(single(sub), "14");
}

TEST_F(Nesting, WithNamesReadingEachOtherDoNotDoubleWithoutEnd) {
  // each name reads the one before twice: 2^40 copies of the first query
  std::string q = "with a0 as (select 1 x from dual)";
  for (int i = 1; i <= 40; ++i)
    q += ", a" + std::to_string(i) + " as (select p.x from a" + std::to_string(i - 1) + " p, a" +
         std::to_string(i - 1) + " q)";
  EXPECT_NE(refusal(q + " select count(*) from a40").find("WITH query names read more than 1000"),
            std::string::npos);
  EXPECT_EQ(single("with a0 as (select 1 x from dual), a1 as (select p.x from a0 p, a0 q), "
                   "a2 as (select p.x from a1 p, a1 q, a1 r) select count(*) from a2, a2 b"),
            "1");
}

// A tree deeper than any parsed statement, as a rewrite could build it.
ast::ExprPtr deepNegation(int depth) {
  auto e = std::make_unique<ast::Expr>();
  e->kind = ast::ExprKind::Number;
  e->text = "1";
  for (int i = 0; i < depth; ++i) {
    auto u = std::make_unique<ast::Expr>();
    u->kind = ast::ExprKind::Unary;
    u->text = "-";
    u->args.push_back(std::move(e));
    e = std::move(u);
  }
  return e;
}

TEST_F(Nesting, WalksOverAHandBuiltTreeRefuseInsteadOfRecursing) {
  // deep enough to overflow the stack in any recursive walk, and destroyed without one
  ast::ExprPtr tree = deepNegation(300000);
  try {
    ast::toSql(*tree);
    ADD_FAILURE() << "printed";
  } catch (const OraError& e) {
    EXPECT_EQ(std::string(e.what()), "ORA-03001: unimplemented feature: expression nesting deeper "
                                     "than " + std::to_string(kMaxTreeDepth));
  }
  EXPECT_THROW(containsAggregate(*tree), OraError);
  TranslationEnv env;
  Translator t(env);
  Scope scope;
  try {
    t.expr(*tree, scope);
    ADD_FAILURE() << "translated";
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 3001);
  }
  // the parser never builds a tree the walks refuse
  ast::ExprPtr parsed =
      parseExpression(repeat("(a or b and c = d + e * ", 199) + "f" + repeat(")", 199));
  EXPECT_NO_THROW(ast::toSql(*parsed));
  EXPECT_NO_THROW(t.expr(*deepNegation(kMaxTreeDepth - 1), scope));
}

}  // namespace
}  // namespace korvo::engine::test

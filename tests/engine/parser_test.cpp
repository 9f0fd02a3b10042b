// The front end: tokens, statements, printing back, and Oracle's syntax errors.
#include "engine/parser.h"

#include <gtest/gtest.h>

#include "engine/ast_print.h"
#include "engine/lexer.h"
#include "engine/ora_error.h"

namespace korvo::engine {
namespace {

int parseError(const std::string& sql) {
  try {
    parseStatement(sql);
  } catch (const OraError& e) {
    return e.code();
  }
  return 0;
}

TEST(Lexer, SkipsCommentsAndHintsAndReadsOracleQuoting) {
  auto t = tokenize("select /*+ FIRST_ROWS */ q'[it's]', \"Mixed\" -- trailing\n, 1.5e3, .5 x");
  ASSERT_GE(t.size(), 9u);
  EXPECT_TRUE(t[0].isWord("SELECT"));
  EXPECT_EQ(t[1].kind, TokenKind::String);
  EXPECT_EQ(t[1].text, "it's");
  EXPECT_EQ(t[3].kind, TokenKind::QuotedIdentifier);
  EXPECT_EQ(t[3].text, "Mixed");
  EXPECT_EQ(t[5].text, "1.5e3");
  EXPECT_EQ(t[7].text, ".5");
  EXPECT_TRUE(t[8].isWord("X"));
}

TEST(Lexer, NotEqualSpellingsAreOneOperator) {
  for (const char* op : {"<>", "!=", "^="}) {
    auto t = tokenize(std::string("a ") + op + " b");
    EXPECT_TRUE(t[1].isOp("<>")) << op;
  }
}

TEST(Lexer, RejectsUnterminatedAndForeignCharacters) {
  EXPECT_THROW(tokenize("select 'abc from dual"), OraError);
  EXPECT_THROW(tokenize("select \"abc from dual"), OraError);
  try {
    tokenize("select a ? b from dual");
    FAIL();
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 911);
  }
}

// parse -> print -> parse -> print must be stable, and the first print must
// differ from nothing the parser dropped.
class RoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, PrintParsesToTheSameTree) {
  ast::Statement first = parseStatement(GetParam());
  std::string printed = ast::toSql(first);
  ast::Statement second = parseStatement(printed);
  EXPECT_EQ(ast::toSql(second), printed) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(
    Statements, RoundTrip,
    ::testing::Values(
        "select distinct e.ename, e.sal * 12 annual, \"Quoted Alias\".x \"Quoted Alias\" from emp "
        "e",
        "select t.* , 'it''s' from emp t where not (a = 1 or b <> 2) and c is not null",
        "select a from t1, (select b from t2) v, (select c from t3) where a = v.b",
        "select a from x inner join y on x.id = y.id left outer join z on z.id = y.id cross join w",
        "select a from x right join y on x.i = y.i full outer join z on z.i = x.i",
        "select deptno, count(*), count(distinct job), sum(sal) from emp group by deptno "
        "having count(*) > 1 order by 2 desc nulls last, deptno asc nulls first",
        "select (select max(sal) from emp) m from dual where exists (select 1 from dept) "
        "and x in (select y from z) and w not in (1, 2, 3)",
        "select case when a > 1 then 'x' when a < 0 then 'y' else 'z' end, case b when 1 then 2 "
        "end "
        "from t",
        "select a from t where b between 1 and 10 and c not between 2 and 3 "
        "and d like 'A\\_%' escape '\\' and e not like '%x'",
        "select a || b || 'c', -a, - -1, +b, extract(year from hiredate) from t",
        "select q'[text]' from dual",
        "select e.ename from emp e, dept d where d.deptno = e.deptno(+) and e.job(+) = 'CLERK'",
        "select level, lpad(' ', level) || ename, sys_connect_by_path(ename, '/'), "
        "connect_by_root ename, connect_by_isleaf from emp start with mgr is null "
        "connect by nocycle prior empno = mgr order siblings by ename",
        "select * from emp where rownum <= 3",
        "select a from t union select b from u minus (select c from v intersect select d from w) "
        "order by 1",
        "select * from (select a from t order by a) where rownum = 1 union all select 1 from dual",
        "insert into t values (1, 'a', null)",
        "insert into t (a, b) select x, y from u where x > 0",
        "update KORVO_OBJECT o1 set o1.OB_SELECT = 'x' || (select o2.OB_SELECT from KORVO_OBJECT "
        "o2 "
        "where o2.OB_IDOBJ = o1.OB_BASICDATE_ID), o1.OB_POSITION = 0 where o1.OB_PROP like '%,Y,'",
        "delete from t where a = 1", "delete t x where x.a = 1",
        "create table t (a varchar2(10) not null, b char(2), c number, d number(4), e number(7,2), "
        "f date null, g long, h integer, i float, j clob, k varchar(5), l number(7,-2))",
        "create table t2 as select a, b from t", "create unique index PK_T on T(A, B)",
        "create index ix on t (a)", "drop table t", "commit", "rollback",
        "alter session set NLS_NUMERIC_CHARACTERS='.,'",
        "alter session set nls_date_format = 'DD/MM/YYYY hh24:mi:ss'",
        "ALTER SESSION SET OPTIMIZER_MODE = FIRST_ROWS_100",
        "explain plan set statement_id='P.1' into plan_table for select * from dual",
        "select date '2024-01-31', sysdate, user from dual",
        "select a from t where (a, b) in (select c, d from u)",
        "select count(*) from t where x = any_function(1, 2)",
        "with a as (select 1 x from dual), b (y) as (select x from a) select * from b union "
        "select 2 from dual",
        "select a from t where a > all (select b from u) and c = any (1, 2) and d <> some (3)",
        "select trim(leading 'x' from a), trim(b) from t"));

TEST(Parser, HeadingsAreTheExpressionTextUpperCasedWithoutBlanks) {
  auto s = parseStatement("select sum( sal ), count( * ), count(distinct x), nvl(a,'x') from t");
  const auto& items = s.query->core.items;
  EXPECT_EQ(items[0].heading, "SUM(SAL)");
  EXPECT_EQ(items[1].heading, "COUNT(*)");
  EXPECT_EQ(items[2].heading, "COUNT(DISTINCTX)");
  EXPECT_EQ(items[3].heading, "NVL(A,'X')");
}

TEST(Parser, BlocksAndProceduresKeepTheirSemicolons) {
  auto b = parseStatement("BEGIN DBMS_APPLICATION_INFO.SET_MODULE('KORVO-BO6 1.1.0','');end;");
  EXPECT_EQ(b.kind, ast::StatementKind::Block);
  ASSERT_EQ(b.calls.size(), 1u);
  EXPECT_EQ(b.calls[0].package.text, "DBMS_APPLICATION_INFO");
  EXPECT_EQ(b.calls[0].args.size(), 2u);

  auto c = parseStatement("begin\nGEN_TAB_TREE;\nend;");
  ASSERT_EQ(c.calls.size(), 1u);
  EXPECT_EQ(c.calls[0].name.text, "GEN_TAB_TREE");
  EXPECT_EQ(c.calls[0].position, "line 2, column 1");

  auto p =
      parseStatement("Create or replace procedure GEN_TAB_NODE(p number) is\nbegin\n  null;\nend;");
  EXPECT_EQ(p.kind, ast::StatementKind::CreateProcedure);
  EXPECT_EQ(p.table.text, "GEN_TAB_NODE");
  EXPECT_EQ(p.text.substr(0, 9), "procedure");
}

TEST(Parser, StatementErrorsAreOracles) {
  struct Case {
    const char* sql;
    int code;
  } cases[] = {
      {"select * from dual;", 911},
      {"select 1 from dual; drop table emp", 911},
      {"insert into t values (1);", 911},
      {"select from dual", 936},
      {"select 1 + from dual", 936},
      {"select 1 dual", 923},
      {"select 1 from dual where", 936},
      {"select 1 from dual x y", 933},
      {"select 1 from emp as e", 933},
      {"select (1 from dual", 907},
      {"frobnicate the table", 900},
      {"", 900},
      {"create table t (a varchar2)", 906},
      {"create table t (a blob)", 902},
      {"create table t (a varchar2(5000))", 910},
      {"create view v as select 1 from dual", 901},
      {"insert into t select", 936},
      {"insert into t (a) (1)", 926},
      {"update t set a 1", 927},
      {"drop sequence s", 950},
      {"alter system set x = 1", 940},
      {"select a from t where a in (select b from u", 907},
      {"begin foo; ", 6550},
      {"select case end from dual", 936},
  };
  for (const auto& c : cases) EXPECT_EQ(parseError(c.sql), c.code) << "[" << c.sql << "]";
}

TEST(Parser, PathologicalNestingIsRefusedNotOverflowingTheStack) {
  std::string deep =
      "select " + std::string(100000, '(') + "1" + std::string(100000, ')') + " from dual";
  EXPECT_EQ(parseError(deep), 3001);
  std::string minus = "select ";
  for (int i = 0; i < 50000; ++i) minus += "- ";
  minus += "1 from dual";
  EXPECT_EQ(parseError(minus), 3001);
  // a chain is one node however long, not a nesting
  std::string chain = "select 1";
  for (int i = 0; i < 20000; ++i) chain += "+1";
  auto flat = parseStatement(chain + " from dual");
  EXPECT_EQ(flat.query->core.items[0].expr->args.size(), 20001u);
  EXPECT_EQ(parseError("select a23456789012345678901234567890x from dual"), 972);
  EXPECT_EQ(parseError("select \"a23456789012345678901234567890x\" from dual"), 972);
}

TEST(Parser, OuterJoinMarkAndPseudoColumnsAreKept) {
  auto s = parseStatement("select rownum, level from a, b where a.x = b.x(+) and sysdate > a.d");
  const auto& w = *s.query->core.where;
  const auto& eq = *w.args[0];
  EXPECT_TRUE(eq.args[1]->outerJoin);
  EXPECT_EQ(s.query->core.items[0].expr->kind, ast::ExprKind::Pseudo);
  EXPECT_EQ(s.query->core.items[1].expr->text, "LEVEL");
}

TEST(Parser, SetOperatorsAreLeftAssociativeWithEqualPrecedence) {
  auto s = parseStatement(
      "select 1 from dual union all select 2 from dual intersect select 2 from dual");
  ASSERT_EQ(s.query->kind, ast::Query::Kind::Compound);
  ASSERT_EQ(s.query->members.size(), 3u);
  EXPECT_EQ(s.query->ops, (std::vector<ast::SetOp>{ast::SetOp::UnionAll, ast::SetOp::Intersect}));
  // parentheses make a member of their own
  auto p = parseStatement(
      "select 1 from dual union all (select 2 from dual intersect select 2 from dual)");
  ASSERT_EQ(p.query->members.size(), 2u);
  EXPECT_EQ(p.query->members[1]->kind, ast::Query::Kind::Compound);
}

}  // namespace
}  // namespace korvo::engine

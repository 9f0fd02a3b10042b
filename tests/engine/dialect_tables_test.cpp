// The dialect's tables as a whole: every function of the table reaches a SQLite
// function that exists, every type name is kept under its stored name, and the
// keyword lists say which words may name a column.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/dialect_keywords.h"
#include "engine/dialect_types.h"
#include "engine/function_table.h"
#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

// Arguments a function of this entry accepts: numbers where it reads numbers, a
// text first where it reads one.
std::string argumentsFor(const FunctionInfo& f) {
  std::string s;
  for (int i = 0; i < f.minArgs; ++i) {
    std::string a = f.args == ArgRule::TextFirst && i == 0 ? "'abc'" : "2";
    s += (i ? ", " : "") + a;
  }
  return s;
}

TEST(FunctionTable, EntriesAreUniqueUpperCaseAndConsistent) {
  std::set<std::string> names;
  for (const FunctionInfo& f : allFunctions()) {
    const std::string name = f.name;
    EXPECT_TRUE(names.insert(name).second) << name << " twice";
    for (char ch : name) EXPECT_FALSE(ch >= 'a' && ch <= 'z') << name;
    EXPECT_TRUE(f.maxArgs < 0 || f.minArgs <= f.maxArgs) << name;
    EXPECT_EQ(findFunction(name), &f) << name;
    // only a function with clauses of its own is written by the translator itself
    EXPECT_TRUE(f.translate != nullptr || name == "LISTAGG") << name;
    EXPECT_TRUE(!f.ranking || f.kind == FunctionKind::AnalyticOnly) << name;
  }
  EXPECT_EQ(findFunction("NO_SUCH_FUNCTION"), nullptr);
  EXPECT_EQ(findFunction("nvl"), nullptr);  // names are looked up in upper case
}

class FunctionTableCalls : public EngineTest {};

// A table entry whose translation calls a SQLite function nobody registered fails
// as "no such function", reported as ORA-00904 naming it, or as an internal error.
TEST_F(FunctionTableCalls, EveryEntryTranslatesToSomethingSqliteRuns) {
  for (const FunctionInfo& f : allFunctions()) {
    if (!f.translate) continue;
    const std::string name = f.name;
    std::string call = name + "(" + argumentsFor(f) + ")";
    if (f.kind == FunctionKind::AnalyticOnly)
      call += name == "RATIO_TO_REPORT" ? " OVER ()" : " OVER (ORDER BY dummy)";
    const std::string sql = "select " + call + " from dual";
    const int code = errorOf(sql);
    EXPECT_NE(code, 600) << sql << ": " << lastError_;
    if (code == 904) ADD_FAILURE() << sql << ": " << lastError_;
  }
}

TEST_F(FunctionTableCalls, ArityAndKindAreCheckedFromTheTable) {
  EXPECT_EQ(errorOf("select nvl(1) from dual"), 909);
  EXPECT_EQ(errorOf("select substr('a', 1, 2, 3) from dual"), 909);
  EXPECT_EQ(single("select coalesce(null, null, null, 4) from dual"), "4");
  // an analytic-only function without OVER, a group function where none may be
  EXPECT_EQ(errorOf("select row_number() from dual"), 30484);
  EXPECT_EQ(errorOf("select dummy from dual where sum(1) = 1"), 934);
  // DISTINCT belongs to group functions
  EXPECT_EQ(errorOf("select upper(distinct dummy) from dual"), 30482);
  // a scalar function over a window is no analytic
  EXPECT_EQ(errorOf("select upper(dummy) over () from dual"), 30484);
}

class DataTypeNames : public EngineTest {};

TEST_F(DataTypeNames, EachWrittenNameIsKeptUnderItsStoredName) {
  run("create table typed (a varchar2(5), b varchar(5), c nvarchar2(5), d char(2), e nchar(2), "
      "f number(5,1), g integer, h int, i float, j date, k long, l clob)");
  // the dictionary shows INTEGER as the NUMBER(38) it is, as Oracle's does
  const std::string expected =
      "A VARCHAR2;B VARCHAR2;C VARCHAR2;D CHAR;E CHAR;F NUMBER;G NUMBER;H NUMBER;I FLOAT;"
      "J DATE;K LONG;L CLOB";
  EXPECT_EQ(table("select column_name, data_type from user_tab_columns where table_name = "
                  "'TYPED' order by column_id"),
            expected);
  for (const char* written : {"VARCHAR", "NVARCHAR2", "NCHAR", "INT"})
    EXPECT_NE(std::string(findDataType(written)->stored), written);
  EXPECT_EQ(errorOf("create table untyped (a text)"), 902);
}

TEST(DataTypeTable, FamiliesAndDeclarations) {
  EXPECT_TRUE(isNumberType("INTEGER"));
  EXPECT_TRUE(isNumberType("FLOAT"));
  EXPECT_FALSE(isNumberType("DATE"));
  EXPECT_EQ(typeFamily("CLOB"), TypeFamily::Long);
  EXPECT_EQ(typeFamily("BLOB"), TypeFamily::Unknown);
  ast::ColumnType t;
  t.name = "NUMBER";
  t.precision = 7;
  t.scale = 0;
  EXPECT_EQ(typeDeclaration(t), "NUMBER(7)");
  EXPECT_EQ(typeDeclaration(t, true), "NUMBER(7,0)");
  t.scale = 2;
  EXPECT_EQ(typeDeclaration(t), "NUMBER(7,2)");
  t = {};
  t.name = "CHAR";
  t.length = 3;
  EXPECT_EQ(typeDeclaration(t), "CHAR(3)");
}

class DialectWords : public EngineTest {};

// A reserved word cannot be an alias; the other keywords can, as in Oracle.
TEST_F(DialectWords, OnlyReservedWordsAreRefusedAsColumnAliases) {
  for (const char* word : kReserved)
    EXPECT_NE(errorOf(std::string("select 1 as ") + word + " from dual"), 0) << word;
  for (const char* word : kSyntaxWords) {
    const std::string sql = std::string("select 1 as ") + word + " from dual";
    EXPECT_EQ(errorOf(sql), 0) << sql << ": " << lastError_;
  }
  EXPECT_TRUE(isDialectKeyword("SELECT"));
  EXPECT_TRUE(isDialectKeyword("ROWS"));
  EXPECT_TRUE(isDialectKeyword("SYSDATE"));
  EXPECT_FALSE(isDialectKeyword("EMP"));
}

}  // namespace
}  // namespace korvo::engine::test

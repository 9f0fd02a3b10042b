// Writes: column checks with Oracle's errors, DDL, and Oracle's transaction rules.
#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

class Dml : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    run("create table T1 (V varchar2(3) not null, C char(2), N number(7,2), I number(9), "
        "R number(7,-2), D date, F number)");
  }
};

TEST_F(Dml, ColumnChecksRaiseOracleErrors) {
  struct Case {
    const char* sql;
    int code;
    const char* text;
  } cases[] = {
      {"insert into T1 (V) values ('abcd')", 12899,
       "ORA-12899: value too large for column \"SCOTT\".\"T1\".\"V\" (actual: 4, maximum: 3)"},
      {"insert into T1 (C) values ('x')", 1400,
       "ORA-01400: cannot insert NULL into (\"SCOTT\".\"T1\".\"V\")"},
      {"insert into T1 (V) values ('')", 1400,
       "ORA-01400: cannot insert NULL into (\"SCOTT\".\"T1\".\"V\")"},
      {"insert into T1 (V, N) values ('a', 123456)", 1438,
       "ORA-01438: value larger than specified precision allowed for this column"},
      {"insert into T1 (V, I) values ('a', 'x1')", 1722, "ORA-01722: invalid number"},
      {"insert into T1 (V, D) values ('a', '2024-01-01')", 1861,
       "ORA-01861: literal does not match format string"},
      {"insert into T1 (V, D) values ('a', 5)", 932, nullptr},
      {"insert into T1 (V, X) values ('a', 5)", 904, nullptr},
      {"insert into T1 (V, V) values ('a', 'b')", 957, nullptr},
      {"insert into T1 (V, N) values ('a')", 947, nullptr},
      {"insert into T1 (V) values ('a', 1)", 913, nullptr},
      {"insert into NOPE values (1)", 942, nullptr},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(errorOf(c.sql), c.code) << c.sql;
    if (c.text) {
      EXPECT_EQ(lastError_, c.text) << c.sql;
    }
  }
  EXPECT_EQ(single("select count(*) from T1"), "0");
}

TEST_F(Dml, NumbersAreRoundedToTheColumnScale) {
  run("insert into T1 (V, N, I, R, F) values ('a', 12.345, 7456123.89, 7456123.89, 0.1)");
  run("insert into T1 (V, N, I) values ('b', -12.345, '  42 ')");
  EXPECT_EQ(column("select N from T1 order by V"), "12.35,-12.35");
  EXPECT_EQ(column("select I from T1 order by V"), "7456124,42");
  EXPECT_EQ(single("select R from T1 where V = 'a'"), "7456100");
  EXPECT_EQ(single("select F from T1 where V = 'a'"), ".1");
  EXPECT_EQ(errorOf("insert into T1 (V, I) values ('c', 1234567890)"), 1438);
}

TEST_F(Dml, CharIsPaddedAndTextsConvert) {
  run("insert into T1 (V, C, D) values (12, 'x', date '2024-02-29')");
  EXPECT_EQ(single("select '[' || C || ']' from T1"), "[x ]");
  EXPECT_EQ(single("select V from T1"), "12");
  EXPECT_EQ(single("select to_char(D, 'YYYY-MM-DD') from T1"), "2024-02-29");
  run("insert into T1 (V, D) values ('s', '01-MAR-24')");
  EXPECT_EQ(single("select to_char(D, 'YYYY-MM-DD') from T1 where V = 's'"), "2024-03-01");
}

TEST_F(Dml, UpdateAndDeleteWithAliasesAndCorrelation) {
  run("insert into T1 (V, N) values ('a', 1)");
  run("insert into T1 (V, N) values ('b', 2)");
  EXPECT_EQ(db().execute("update T1 t set t.N = (select max(N) from T1 x where x.V <> t.V) "
                         "where t.V = 'a'")
                .rowsAffected,
            1);
  EXPECT_EQ(column("select N from T1 order by V"), "2,2");
  EXPECT_EQ(errorOf("update T1 set V = null"), 1407);
  EXPECT_EQ(lastError_, "ORA-01407: cannot update (\"SCOTT\".\"T1\".\"V\") to NULL");
  EXPECT_EQ(errorOf("update T1 x set y.V = 'q'"), 904);
  EXPECT_EQ(db().execute("delete from T1 where V = 'b'").rowsAffected, 1);
  EXPECT_EQ(db().execute("delete T1 z where z.N > 100").rowsAffected, 0);
  EXPECT_EQ(column("select V from T1"), "a");
}

TEST_F(Dml, UniqueIndexViolationNamesTheIndex) {
  run("create unique index PK_T1 on T1(V, I)");
  run("insert into T1 (V, I) values ('a', 1)");
  EXPECT_EQ(errorOf("insert into T1 (V, I) values ('a', 1)"), 1);
  EXPECT_EQ(lastError_, "ORA-00001: unique constraint (SCOTT.PK_T1) violated");
  run("insert into T1 (V, I) values ('a', 2)");
  EXPECT_EQ(errorOf("create unique index PK_T1 on T1(V)"), 955);
  EXPECT_EQ(errorOf("create unique index PK_V on T1(V)"), 1452);
}

TEST_F(Dml, FailedStatementIsUndoneAloneAndTheTransactionGoesOn) {
  run("insert into T1 (V) values ('a')");
  EXPECT_TRUE(db().inTransaction());
  EXPECT_EQ(errorOf("insert into T1 (V) select 'b' from dual union all select 'toolong' from dual"),
            12899);
  EXPECT_TRUE(db().inTransaction());
  EXPECT_EQ(column("select V from T1"), "a");
  db().rollback();
  EXPECT_FALSE(db().inTransaction());
  EXPECT_EQ(single("select count(*) from T1"), "0");
}

TEST_F(Dml, AFailedFirstStatementLeavesNoTransaction) {
  EXPECT_EQ(errorOf("insert into T1 (V) values ('toolong')"), 12899);
  EXPECT_FALSE(db().inTransaction());
  run("insert into T1 (V) values ('a')");
  EXPECT_EQ(errorOf("insert into T1 (V) values ('toolong')"), 12899);
  EXPECT_TRUE(db().inTransaction());
  db().rollback();
  EXPECT_EQ(single("select count(*) from T1"), "0");
}

TEST_F(Dml, DdlCommitsBeforeAndAfterEvenWhenItFails) {
  run("insert into T1 (V) values ('a')");
  EXPECT_EQ(errorOf("create table T1 (X number)"), 955);
  EXPECT_FALSE(db().inTransaction());
  db().rollback();
  EXPECT_EQ(single("select count(*) from T1"), "1");
  run("insert into T1 (V) values ('b')");
  run("drop table T1");
  EXPECT_EQ(errorOf("select * from T1"), 942);
  EXPECT_EQ(errorOf("drop table T1"), 942);
}

TEST_F(Dml, AFinishedCursorDoesNotBlockDdl) {
  auto r = db().execute("select * from T1");
  std::vector<Value> row;
  EXPECT_FALSE(r.cursor->fetch(row));
  EXPECT_EQ(r.cursor->columns().size(), 7u);
  run("drop table T1");  // the cursor object is still alive
  EXPECT_FALSE(r.cursor->fetch(row));
}

TEST_F(Dml, ChangesAreInvisibleToOtherSessionsUntilCommit) {
  run("insert into T1 (V) values ('a')");
  auto other = Session::open(file_.string(), "scott");
  auto count = [&] {
    auto r = other->execute("select count(*) from T1");
    std::vector<Value> row;
    r.cursor->fetch(row);
    return row[0].number;
  };
  EXPECT_EQ(count(), 0);
  db().commit();
  EXPECT_EQ(count(), 1);
}

TEST_F(Dml, AnotherSessionSeesDdlAtOnce) {
  auto other = Session::open(file_.string(), "scott");
  auto tables = [&] {
    auto r = other->execute("select table_name from user_tables order by 1");
    std::string s;
    std::vector<Value> row;
    while (r.cursor->fetch(row)) s += row[0].text + ";";
    return s;
  };
  EXPECT_EQ(tables(), "T1;");
  run("create table T9 (X varchar2(2) not null)");
  EXPECT_EQ(tables(), "T1;T9;");
  // the other session writes with the new table's checks
  try {
    other->execute("insert into T9 values ('abc')");
    FAIL() << "no error";
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 12899);
  }
  run("drop table T9");
  EXPECT_EQ(tables(), "T1;");
  try {
    other->execute("insert into T9 values ('a')");
    FAIL() << "no error";
  } catch (const OraError& e) {
    EXPECT_EQ(e.code(), 942);
  }
}

TEST_F(Dml, CreateTableAsSelectCopiesTypesAndNotNull) {
  run("insert into T1 (V, C, N) values ('a', 'b', 1.5)");
  run("create table T2 as select V, C, N, 0 Z, V || 'x' W from T1");
  EXPECT_EQ(
      column("select column_name || ' ' || data_type || ' ' || data_length || ' ' || nullable "
             "from user_tab_columns where table_name = 'T2' order by column_id"),
      "V VARCHAR2 3 N,C CHAR 2 Y,N NUMBER 22 Y,Z NUMBER 22 Y,W VARCHAR2 4000 Y");
  EXPECT_EQ(single("select N from T2"), "1.5");
  EXPECT_EQ(errorOf("create table T3 as select V || 'x' from T1"), 998);
  EXPECT_EQ(errorOf("insert into T2 (V) values (null)"), 1400);
  // names that differ only in case cannot live side by side in the storage
  EXPECT_EQ(errorOf("create table T4 (\"a\" number, A number)"), 957);
  EXPECT_EQ(errorOf("create table \"t1\" (a number)"), 955);
  EXPECT_EQ(column("select table_name from user_tables order by 1"), "T1,T2");
}

TEST_F(Dml, AlterSessionSettings) {
  run("ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'");
  run("ALTER SESSION SET NLS_DATE_FORMAT='DD/MM/YYYY hh24:mi:ss'");
  run("ALTER SESSION SET NLS_TIMESTAMP_FORMAT='YYYY/MM/DD HH24:MI:SS.FF'");
  run("ALTER SESSION SET NLS_TIMESTAMP_TZ_FORMAT='YYYY/MM/DD HH24:MI:SS.FF TZR'");
  run("ALTER SESSION SET OPTIMIZER_MODE = FIRST_ROWS_100");
  EXPECT_EQ(db().nls().dateFormat, "DD/MM/YYYY hh24:mi:ss");
  EXPECT_EQ(db().nls().optimizerMode, "FIRST_ROWS_100");
  EXPECT_EQ(errorOf("ALTER SESSION SET NLS_NUMERIC_CHARACTERS='..'"), 12705);
  EXPECT_EQ(errorOf("ALTER SESSION SET OPTIMIZER_MODE = FASTEST"), 96);
  EXPECT_EQ(errorOf("ALTER SESSION SET NO_SUCH_THING = 1"), 2248);
  run("ALTER SESSION SET NLS_NUMERIC_CHARACTERS=',.'");
  EXPECT_EQ(db().display(Value::ofNumber(1.5)), "1,5");
}

TEST_F(Dml, AnonymousBlocksAndProcedures) {
  run("BEGIN DBMS_APPLICATION_INFO.SET_MODULE('KORVO-BO6 1.1.0','');end;");
  EXPECT_EQ(db().module(), "KORVO-BO6 1.1.0");
  EXPECT_FALSE(db().inTransaction());
  EXPECT_EQ(single("select module from v$session"), "KORVO-BO6 1.1.0");
  EXPECT_EQ(errorOf("begin\nGEN_TAB_TREE;\nend;"), 6550);
  EXPECT_NE(lastError_.find("PLS-00201: identifier 'GEN_TAB_TREE' must be declared"),
            std::string::npos);
  run("Create or replace procedure GEN_TAB_TREE is\nbegin\n  null;\nend;");
  run("Create or replace procedure GEN_TAB_TREE is\nbegin\n  null;\nend;");
  EXPECT_EQ(single("select count(*) from user_source where name = 'GEN_TAB_TREE'"), "4");
  EXPECT_EQ(single("select text from user_source where name = 'GEN_TAB_TREE' and line = 1"),
            "procedure GEN_TAB_TREE is\n");
  EXPECT_EQ(column("select table_name from user_tables"), "T1");
  EXPECT_EQ(errorOf("create procedure GEN_TAB_TREE is begin null; end;"), 955);
}

TEST_F(Dml, TheSchemaOutlivesTheSession) {
  run("insert into T1 (V, D) values ('a', date '2001-02-03')");
  db().commit();
  session_.reset();
  session_ = Session::open(file_.string(), "SCOTT");
  EXPECT_EQ(single("select to_char(D, 'DD.MM.YYYY') from T1"), "03.02.2001");
  db().setMeta("password", "hash");
  EXPECT_EQ(db().meta("password").value_or(""), "hash");
  EXPECT_FALSE(db().meta("other").has_value());
  EXPECT_EQ(errorOf("select * from \"_korvo_tables\""), 942);
}

}  // namespace
}  // namespace korvo::engine::test

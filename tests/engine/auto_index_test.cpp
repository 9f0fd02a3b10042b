// Internal indexes for correlated sub-queries: which columns a statement asks for,
// that the index is used and changes no answer, and that it stays out of sight of
// the Oracle dictionary, of DROP TABLE, of errors and of transactions.
#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/auto_index.h"
#include "engine/catalog.h"
#include "engine/functions.h"
#include "engine/hierarchical_tables.h"
#include "engine/parser.h"
#include "engine/translator.h"
#include "engine/write_checks.h"
#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

constexpr int kDataKeys = 500;  // DATA holds two slices per key: 1,000 rows

// A second connection on the schema file, seeing what the session committed.
class RawSchema {
 public:
  explicit RawSchema(const std::string& file) {
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
      throw std::runtime_error("cannot open " + file);
    db_ = std::shared_ptr<sqlite3>(raw, [](sqlite3* d) { sqlite3_close_v2(d); });
    functions_.nls = &nls_;
    functions_.user = "SCOTT";
    registerOracleFunctions(raw, &functions_);
    registerEngineFunctions(raw);
  }
  RawSchema(const RawSchema&) = delete;  // the functions keep a pointer to nls_
  RawSchema& operator=(const RawSchema&) = delete;
  sqlite3* db() const { return db_.get(); }
  const std::shared_ptr<sqlite3>& shared() const { return db_; }

  // "name(col1,col2)" for every internal index.
  std::vector<std::string> autoIndexes() const {
    SqlStatement st(db(),
                    "SELECT m.name, group_concat(ii.name, ',') FROM sqlite_master AS m, "
                    "pragma_index_info(m.name) AS ii WHERE m.type = 'index' "
                    "GROUP BY m.name ORDER BY m.name");
    std::vector<std::string> out;
    while (st.step()) {
      std::string name = st.text(0).value_or("");
      if (isAutoIndexName(name)) out.push_back(name + "(" + st.text(1).value_or("") + ")");
    }
    return out;
  }

  // The details of SQLite's plan for the statement as the engine translates it.
  std::string queryPlan(const std::string& oracleSql) {
    Catalog catalog(db());
    TranslationEnv env;
    env.catalog = &catalog;
    env.nls = &nls_;
    env.user = "SCOTT";
    env.db = db_;
    Translator t(env);
    ast::Statement s = parseStatement(oracleSql);
    TranslatedQuery q = t.query(*s.query);
    SqlStatement st(db(), "EXPLAIN QUERY PLAN " + q.sql);
    std::string plan;
    while (st.step()) plan += st.text(3).value_or("") + "\n";
    return plan;
  }

 private:
  std::shared_ptr<sqlite3> db_;
  Nls nls_;
  FunctionContext functions_;
};

class AutoIndexTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    run("CREATE TABLE OUTR (ID NUMBER(10), NAME VARCHAR2(20), CODE CHAR(3))");
    run("CREATE TABLE DATA (ID NUMBER(10), KIND CHAR(1), SLICE NUMBER(2), VAL VARCHAR2(30), "
        "NAME VARCHAR2(20), CODE CHAR(3))");
    for (int id = 1; id <= kDataKeys; ++id) {
      std::string key = std::to_string(id);
      if (id <= 300) run("INSERT INTO OUTR VALUES (" + key + ", 'N" + key + "', 'C1')");
      for (int slice = 1; slice <= 2; ++slice)
        run("INSERT INTO DATA VALUES (" + key + ", 'H', " + std::to_string(slice) + ", 'V" + key +
            "-" + std::to_string(slice) + "', 'N" + key + "', 'C1')");
    }
    session_->commit();
  }

  RawSchema raw() { return RawSchema(file_.string()); }

  std::vector<AutoIndexRequest> requests(const std::string& sql) {
    RawSchema schema = raw();
    Catalog catalog(schema.db());
    return autoIndexRequests(parseStatement(sql), catalog, "SCOTT");
  }

  // What the correlated query below must return, computed here.
  static std::string expectedSlices(int upTo) {
    std::string s;
    for (int id = 1; id <= upTo; ++id) {
      std::string key = std::to_string(id);
      s += (s.empty() ? "" : ",") + key + ":V" + key + "-1V" + key + "-2";
    }
    return s;
  }

  std::string sliceRows(const std::string& sql) {
    std::string s;
    for (const auto& r : rows(sql)) s += (s.empty() ? "" : ",") + r.at(0) + ":" + r.at(1);
    return s;
  }
};

const char* const kSlices =
    "select o.ID, (select VAL from DATA d where d.ID = o.ID and d.KIND = 'H' and d.SLICE = 1) "
    "|| (select VAL from DATA d where d.ID = o.ID and d.KIND='H' and d.SLICE = 2) "
    "from OUTR o where o.ID <= 40 order by o.ID";

struct RequestCase {
  const char* sql;
  std::vector<AutoIndexRequest> expected;
};

TEST_F(AutoIndexTest, AsksForTheColumnsACorrelatedSubqueryProbes) {
  const std::vector<RequestCase> cases = {
      // outer references first, then constants; a scalar sub-query in the select list
      {"select (select VAL from DATA d where d.SLICE = 1 and d.KIND = 'H' and d.ID = o.ID) "
       "from OUTR o",
       {{"DATA", {"ID"}, {"SLICE", "KIND"}}}},
      // unqualified names resolve in the sub-query's own FROM first
      {"select * from OUTR o where exists (select 1 from DATA where ID = o.ID and SLICE = 2)",
       {{"DATA", {"ID"}, {"SLICE"}}}},
      {"select * from OUTR where ID in (select ID from DATA d where d.NAME = OUTR.NAME)",
       {{"DATA", {"NAME"}, {}}}},
      // an outer reference written first, a name only the outer query has
      {"select * from OUTR where exists (select 1 from DATA d where NAME = d.NAME)",
       {}},  // NAME is DATA's own column: not correlated
      {"update DATA d1 set VAL = (select d2.VAL from DATA d2 where d2.ID = d1.SLICE "
       "and d2.SLICE = 1)",
       {{"DATA", {"ID"}, {"SLICE"}}}},
      {"delete from OUTR o where not exists (select 1 from DATA d where o.ID = d.ID)",
       {{"DATA", {"ID"}, {}}}},
      {"insert into OUTR (ID, NAME) select o.ID, (select max(VAL) from DATA d where d.ID = o.ID) "
       "from OUTR o",
       {{"DATA", {"ID"}, {}}}},
      // deeper: the sub-query's outer reference is two levels up
      {"select (select (select VAL from DATA d where d.ID = o.ID and d.SLICE = x.SLICE) "
       "from DATA x where x.ID = 1 and x.SLICE = 1) from OUTR o",
       {{"DATA", {"ID", "SLICE"}, {}}}},
      // not correlated: run once, nothing to gain
      {"select * from OUTR where ID in (select ID from DATA where SLICE = 1)", {}},
      // comparisons that wrap the sub-query's column in a conversion or a trim
      {"select (select VAL from DATA d where d.NAME = o.ID) from OUTR o", {}},
      {"select (select VAL from DATA d where d.CODE = o.CODE) from OUTR o", {}},
      {"select (select VAL from DATA d where d.NAME = o.NAME and d.KIND = 1) from OUTR o",
       {{"DATA", {"NAME"}, {}}}},
      // '' is NULL and never equal: no key
      {"select (select VAL from DATA d where d.ID = o.ID and d.NAME = '') from OUTR o",
       {{"DATA", {"ID"}, {}}}},
      // a WITH query of the same name is not the table
      {"with DATA as (select 1 ID from dual) select (select ID from DATA d where d.ID = o.ID) "
       "from OUTR o",
       {}},
      // an inline view might hold an unqualified name
      {"select (select 1 from DATA d, (select 1 X from dual) v where ID = o.ID) from OUTR o", {}},
      {"select (select 1 from DATA d, (select 1 X from dual) v where d.ID = o.ID) from OUTR o",
       {{"DATA", {"ID"}, {}}}},
      // outer-joined or ORed terms are not keys
      {"select (select VAL from DATA d where d.ID = o.ID or d.SLICE = 1) from OUTR o", {}},
      // the same probe twice asks once
      {"select (select VAL from DATA d where d.ID = o.ID and d.SLICE = 1), "
       "(select VAL from DATA d where d.ID = o.ID and d.SLICE = 1) from OUTR o",
       {{"DATA", {"ID"}, {"SLICE"}}}},
  };
  for (const auto& c : cases) EXPECT_EQ(requests(c.sql), c.expected) << c.sql;
}

TEST_F(AutoIndexTest, IndexIsUsedAndChangesNoAnswer) {
  EXPECT_EQ(sliceRows(kSlices), expectedSlices(40));
  RawSchema schema = raw();
  EXPECT_EQ(schema.autoIndexes(), std::vector<std::string>{"_korvo_ai_DATA_1(ID,KIND,SLICE)"});
  // The single-row check around the scalar sub-query keeps the index search.
  std::string plan = schema.queryPlan(kSlices);
  const std::string search = "USING INDEX _korvo_ai_DATA_1 (ID=? AND KIND=? AND SLICE=?)";
  int searches = 0;
  for (size_t at = plan.find(search); at != std::string::npos; at = plan.find(search, at + 1))
    ++searches;
  EXPECT_EQ(searches, 2) << plan;  // one per sub-query
  // Run again: the same answer, no second index.
  EXPECT_EQ(sliceRows(kSlices), expectedSlices(40));
  EXPECT_EQ(raw().autoIndexes().size(), 1u);
}

TEST_F(AutoIndexTest, CorrelatedUpdateAndInsertGetTheirIndex) {
  run("update OUTR o set NAME = (select VAL from DATA d where d.ID = o.ID and d.SLICE = 2)");
  session_->commit();
  EXPECT_EQ(single("select NAME from OUTR where ID = 123"), "V123-2");
  EXPECT_EQ(single("select count(*) from OUTR where NAME = 'V' || ID || '-2'"), "300");
  run("insert into OUTR (ID, NAME) select o.ID + 1000, (select VAL from DATA d where d.ID = o.ID "
      "and d.SLICE = 1) from OUTR o");
  session_->commit();
  EXPECT_EQ(single("select NAME from OUTR where ID = 1299"), "V299-1");
  EXPECT_EQ(raw().autoIndexes(), (std::vector<std::string>{"_korvo_ai_DATA_1(ID,SLICE)"}));
}

TEST_F(AutoIndexTest, InvisibleToTheDictionaryAndGoneWithItsTable) {
  run("create index DATA_NAME on DATA (NAME)");
  rows(kSlices);
  ASSERT_EQ(raw().autoIndexes().size(), 1u);
  EXPECT_EQ(column("select INDEX_NAME from USER_INDEXES"), "DATA_NAME");
  EXPECT_EQ(column("select OBJECT_NAME from USER_OBJECTS where OBJECT_TYPE = 'INDEX'"),
            "DATA_NAME");
  run("drop table DATA");
  EXPECT_TRUE(raw().autoIndexes().empty());
  EXPECT_EQ(errorOf(kSlices), 942);
  // A new table of the same name is indexed afresh when it is big enough.
  run("create table DATA (ID NUMBER(10), KIND CHAR(1), SLICE NUMBER(2), VAL VARCHAR2(30))");
  run("insert into DATA select ID, 'H', 1, 'W' || ID from OUTR");
  EXPECT_EQ(single("select (select VAL from DATA d where d.ID = o.ID) from OUTR o where o.ID = 7"),
            "W7");
  EXPECT_EQ(raw().autoIndexes().size(), 0u);  // not committed yet: the other connection waits
  session_->commit();
  EXPECT_EQ(raw().autoIndexes(), (std::vector<std::string>{"_korvo_ai_DATA_1(ID)"}));
}

TEST_F(AutoIndexTest, RolledBackWithTheTransactionThatMadeIt) {
  run("update OUTR o set NAME = (select VAL from DATA d where d.ID = o.ID and d.SLICE = 1)");
  session_->rollback();
  EXPECT_TRUE(raw().autoIndexes().empty());
  EXPECT_EQ(single("select NAME from OUTR where ID = 5"), "N5");
}

TEST_F(AutoIndexTest, SmallOrAlreadyIndexedTablesAreLeftAlone) {
  run("create table SMALL (ID NUMBER(10), VAL VARCHAR2(30))");
  for (int id = 1; id <= int(kAutoIndexMinRows); ++id)
    run("insert into SMALL values (" + std::to_string(id) + ", 'S" + std::to_string(id) + "')");
  EXPECT_EQ(single("select count(*) from OUTR o where exists (select 1 from SMALL s where "
                   "s.ID = o.ID)"),
            "200");
  // An index of the user's that starts with the probed column serves already.
  run("create index DATA_ID_NAME on DATA (ID, NAME)");
  EXPECT_EQ(sliceRows(kSlices), expectedSlices(40));
  session_->commit();
  EXPECT_TRUE(raw().autoIndexes().empty());
}

TEST_F(AutoIndexTest, ErrorsStayWhatTheyWere) {
  // a second row for one key: the single-row check still fires
  run("insert into DATA values (7, 'H', 1, 'again', 'N7', 'C1')");
  session_->commit();
  EXPECT_EQ(errorOf(kSlices), 1427);
  EXPECT_EQ(errorOf("update OUTR o set NAME = (select VAL from DATA d where d.ID = o.ID and "
                    "d.SLICE = 1)"),
            1427);
  EXPECT_EQ(single("select NAME from OUTR where ID = 1"), "N1");
  // a unique violation names the user's index
  run("create table COPY (ID NUMBER(10), VAL VARCHAR2(30))");
  run("create unique index COPY_PK on COPY (ID)");
  EXPECT_EQ(errorOf("insert into COPY select o.ID, (select VAL from DATA d where d.ID = o.ID and "
                    "d.SLICE = 2) from OUTR o, OUTR p where p.ID <= 2"),
            1);
  EXPECT_NE(lastError_.find("SCOTT.COPY_PK"), std::string::npos) << lastError_;
  EXPECT_EQ(single("select count(*) from COPY"), "0");
}

TEST_F(AutoIndexTest, AFailedFirstStatementLeavesNoIndex) {
  EXPECT_EQ(errorOf("insert into OUTR (ID, NAME) select o.ID, (select VAL from DATA d where "
                    "d.ID = o.ID and d.SLICE = 1) || substr('x', 1, 1/0) from OUTR o"),
            1476);
  EXPECT_FALSE(db().inTransaction());
  EXPECT_TRUE(raw().autoIndexes().empty());
}

TEST_F(AutoIndexTest, OpenCursorsKeepFetchingAcrossTheNewIndex) {
  for (bool inTransaction : {false, true}) {
    if (inTransaction) run("update OUTR set NAME = NAME where ID = 1");
    auto open = db().execute("select ID, VAL from DATA where SLICE = 1 order by ID");
    std::vector<Value> row;
    ASSERT_TRUE(open.cursor->fetch(row));
    EXPECT_EQ(sliceRows(kSlices), expectedSlices(40));
    int count = 1;
    while (open.cursor->fetch(row)) ++count;
    EXPECT_EQ(count, kDataKeys);
    EXPECT_EQ(db().inTransaction(), inTransaction);
    session_->commit();
  }
  EXPECT_EQ(raw().autoIndexes().size(), 1u);
}

TEST_F(AutoIndexTest, ExplainPlanShowsWhatOracleWouldDo) {
  run("create table PLAN_TABLE (STATEMENT_ID VARCHAR2(30), TIMESTAMP DATE, OPERATION "
      "VARCHAR2(30), OPTIONS VARCHAR2(30), OBJECT_OWNER VARCHAR2(30), OBJECT_NAME VARCHAR2(30), "
      "OBJECT_TYPE VARCHAR2(30), OPTIMIZER VARCHAR2(255), ID NUMBER, PARENT_ID NUMBER, POSITION "
      "NUMBER, COST NUMBER, CARDINALITY NUMBER, BYTES NUMBER)");
  const std::string statement =
      "select o.ID, (select VAL from DATA d where d.ID = o.ID and d.SLICE = 1) from OUTR o";
  auto explain = [&](const std::string& id) {
    run("explain plan set statement_id = '" + id + "' into PLAN_TABLE for " + statement);
    return column("select OPERATION || ' ' || OPTIONS || ' ' || OBJECT_NAME || ' ' || COST "
                  "from PLAN_TABLE where STATEMENT_ID = '" + id + "' order by ID");
  };
  std::string before = explain("BEFORE");
  rows(statement);
  session_->commit();
  ASSERT_EQ(raw().autoIndexes().size(), 1u);
  EXPECT_EQ(explain("AFTER"), before);
  EXPECT_EQ(before.find("INDEX"), std::string::npos) << before;
}

}  // namespace
}  // namespace korvo::engine::test

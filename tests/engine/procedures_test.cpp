// Stored procedures through the engine: the join tree routines on the edge cases of
// the repository, the errors of unknown procedures and RAISE_APPLICATION_ERROR, and
// the built-in DBMS_ packages.
#include <string>
#include <vector>

#include "engine_fixture.h"

namespace korvo::engine::test {
namespace {

std::string crlf(const std::vector<std::string>& lines) {
  std::string s;
  for (size_t i = 0; i < lines.size(); ++i) s += (i ? "\r\n" : "") + lines[i];
  return s;
}

const std::string kUsable =
    "JN_IDTAB1 in (select distinct TB_IDTAB from KORVO_TABLE) and JN_IDTAB2 in (select distinct "
    "TB_IDTAB from KORVO_TABLE) and JN_IDTAB1 <> JN_IDTAB2 and upper(JN_PROP) like '%FALSE%'";

const std::string kGenTabNode = crlf({
    "Create or replace procedure GEN_TAB_NODE(vIdTable IN Number, vTree IN Number)  IS",
    "vniv integer;",
    "nb integer;",
    "cursor mycurs is select * from (select JN_IDTAB1 as id, JN_IDTAB2 as idpere  from KORVO_JOIN "
    "where " +
        kUsable +
        " and JN_IDTAB2 = vIdTable union select JN_IDTAB2 as id, JN_IDTAB1 as "
        "idpere   from KORVO_JOIN where " +
        kUsable +
        " and JN_IDTAB1 = vIdTable minus select  "
        "t_parent, t_id from KORVO_TAB_TREE);",
    "BEGIN",
    "  select count(*) into nb from KORVO_TAB_TREE where t_id = vIdTable;",
    "  if nb = 0 then",
    "    insert into KORVO_TAB_TREE (T_ID,T_NIV, T_TREE) values (vIdTable,0, vTree);",
    "  end if;",
    "  begin",
    "    select t_niv into vniv  from KORVO_TAB_TREE where t_id = vIdTable;",
    "  exception",
    "    when TOO_MANY_ROWS then",
    "      raise_application_error(-20001, 'Error: Loop detected in the universe');",
    "    when others then",
    "      raise_application_error(-20001, 'Unknown error');",
    "  end;",
    "  vniv := vniv + 1;",
    "  for cur in mycurs loop",
    "    insert into KORVO_TAB_TREE values(cur.id, cur.idpere, vniv, vtree);",
    "  end loop;",
    "  commit;",
    "  for cur in mycurs loop",
    "    GEN_TAB_NODE(cur.id, vtree);",
    "  end loop;",
    "END;",
});

const std::string kGenTabTree = crlf({
    "Create or replace procedure GEN_TAB_TREE  IS",
    "id integer;",
    "nb integer;",
    "cursor mycurs is select distinct TB_IDTAB from KORVO_TABLE where TB_IDTAB not in (select "
    "T_ID from KORVO_TAB_TREE);",
    "BEGIN",
    "  delete from korvo_tab_tree;",
    "  nb := 0;",
    "  loop",
    "    begin",
    "      select JN_IDTAB1 into ID from (select JN_IDTAB1, count(*) NB",
    "      from KORVO_JOIN",
    "      where JN_IDTAB1 not in (select T_ID from korvo_tab_tree )",
    "      group by JN_IDTAB1 order by count(*) desc)",
    "      where rownum = 1;",
    "    exception when no_data_found then exit;",
    "    end;",
    "    if ID is not null then",
    "      nb := nb + 1;",
    "      GEN_TAB_NODE(ID,nb);",
    "    end if;",
    "  end loop;",
    "  for cur in mycurs loop",
    "    nb := nb + 1;",
    "    insert into KORVO_TAB_TREE values(cur.TB_IDTAB, 0, 0, nb);",
    "  end loop;",
    "  commit;",
    "END;",
});

const char* kRunTree = "begin\nGEN_TAB_TREE;\nend;";

struct Join {
  int id, t1, t2;
  const char* prop;
};

class JoinTreeTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    run("CREATE TABLE KORVO_TABLE (TB_IDTAB NUMBER(10) NOT NULL, TB_IDUNIV NUMBER(10) NOT NULL, "
        "TB_NAME VARCHAR2(30) NOT NULL, TB_ALIAS NUMBER(10))");
    run("CREATE TABLE KORVO_JOIN (JN_IDJOIN NUMBER(10) NOT NULL, JN_IDUNIV NUMBER(10) NOT NULL, "
        "JN_IDTAB1 NUMBER(10) NOT NULL, JN_IDTAB2 NUMBER(10) NOT NULL, JN_PROP VARCHAR2(35) NOT "
        "NULL, JN_DATAVALUE VARCHAR2(4000) NOT NULL)");
    run("CREATE TABLE KORVO_TAB_TREE (T_ID NUMBER(22), T_PARENT NUMBER(22), T_NIV NUMBER(22), "
        "T_TREE NUMBER(22))");
    run(kGenTabNode);
    run(kGenTabTree);
  }

  void load(int tables, const std::vector<Join>& joins) {
    for (int t = 1; t <= tables; ++t)
      run("INSERT INTO KORVO_TABLE VALUES (" + std::to_string(t) + ", 1, 'T" + std::to_string(t) +
          "', NULL)");
    for (const auto& j : joins)
      run("INSERT INTO KORVO_JOIN VALUES (" + std::to_string(j.id) + ", 1, " +
          std::to_string(j.t1) + ", " + std::to_string(j.t2) + ", '" + j.prop + "', 'T" +
          std::to_string(j.t1) + ".K=T" + std::to_string(j.t2) + ".K')");
    db().commit();
  }

  // "id:parent:level:tree" rows ordered by id; parent NULL shown as '-'.
  std::string forest() {
    std::string s;
    for (const auto& r : rows("SELECT T_ID, NVL(TO_CHAR(T_PARENT), '-'), T_NIV, T_TREE "
                              "FROM KORVO_TAB_TREE ORDER BY T_ID, T_TREE"))
      s += (s.empty() ? "" : " ") + r[0] + ":" + r[1] + ":" + r[2] + ":" + r[3];
    return s;
  }
};

const char* kFalse = "1,1,FALSE,0";

TEST_F(JoinTreeTest, EdgeCasesOfTheForest) {
  struct Case {
    const char* name;
    int tables;
    std::vector<Join> joins;
    const char* forest;
  };
  const Case cases[] = {
      {"A-B, A-C, C-D",
       4,
       {{1, 1, 2, kFalse}, {2, 1, 3, kFalse}, {3, 3, 4, kFalse}},
       "1:-:0:1 2:1:1:1 3:1:1:1 4:3:2:1"},
      {"two joins between A and B",
       2,
       {{1, 1, 2, kFalse}, {2, 2, 1, "x,false,y"}},
       "1:-:0:1 2:1:1:1"},
      {"a join without FALSE links nothing", 2, {{1, 1, 2, "1,1,TRUE,0"}}, "1:-:0:1 2:0:0:2"},
      {"a table with no join", 3, {{1, 1, 2, kFalse}}, "1:-:0:1 2:1:1:1 3:0:0:2"},
      {"no joins at all", 3, {}, "1:0:0:1 2:0:0:2 3:0:0:3"},
      {"a join to itself is not usable",
       2,
       {{1, 1, 1, kFalse}, {2, 2, 1, kFalse}},
       "1:-:0:1 2:1:1:1"},
      {"ties go to the smallest id",
       4,
       {{1, 3, 4, kFalse}, {2, 2, 1, kFalse}},
       "1:2:1:1 2:-:0:1 3:-:0:2 4:3:1:2"},
      {"the most joins is the root",
       4,
       {{1, 1, 2, kFalse}, {2, 3, 1, kFalse}, {3, 3, 4, kFalse}},
       "1:3:1:1 2:1:2:1 3:-:0:1 4:3:1:1"},
      {"a first table missing from KORVO_TABLE becomes a root",
       2,
       {{1, 9, 1, kFalse}, {2, 1, 2, kFalse}},
       "1:-:0:1 2:1:1:1 9:-:0:2"},
  };
  for (const auto& c : cases) {
    run("DELETE FROM KORVO_TABLE");
    run("DELETE FROM KORVO_JOIN");
    load(c.tables, c.joins);
    EXPECT_EQ(errorOf(kRunTree), 0) << c.name << ": " << lastError_;
    EXPECT_EQ(forest(), c.forest) << c.name;
  }
}

TEST_F(JoinTreeTest, ALoopFailsAndKeepsWhatWasCommitted) {
  load(3, {{1, 1, 2, kFalse}, {2, 2, 3, kFalse}, {3, 3, 1, kFalse}});
  EXPECT_EQ(errorOf(kRunTree), 20001);
  EXPECT_EQ(lastError_.substr(0, lastError_.find('\n')),
            "ORA-20001: Error: Loop detected in the universe");
  db().rollback();
  // A was expanded and committed, then B gave C its second row
  EXPECT_EQ(forest(), "1:-:0:1 2:1:1:1 3:1:1:1 3:2:2:1");
  // the session goes on
  EXPECT_EQ(single("SELECT COUNT(*) FROM KORVO_TABLE"), "3");
}

TEST_F(JoinTreeTest, LoopFurtherDownAndAtTheParent) {
  // A-B, B-C, C-D, D-B: the cycle does not pass through the root
  load(4, {{1, 1, 2, kFalse}, {2, 2, 3, kFalse}, {3, 3, 4, kFalse}, {4, 4, 2, kFalse}});
  EXPECT_EQ(errorOf(kRunTree), 20001);
  run("DELETE FROM KORVO_JOIN");
  // a join back to one's own parent is no loop
  run("INSERT INTO KORVO_JOIN VALUES (1, 1, 1, 2, ',FALSE,', 'x')");
  run("INSERT INTO KORVO_JOIN VALUES (2, 1, 2, 3, ',FALSE,', 'x')");
  run("INSERT INTO KORVO_JOIN VALUES (3, 1, 3, 2, ',FALSE,', 'x')");
  run("COMMIT");
  EXPECT_EQ(errorOf(kRunTree), 0) << lastError_;
  EXPECT_EQ(forest(), "1:-:0:1 2:1:1:1 3:2:2:1 4:0:0:2");
}

TEST_F(JoinTreeTest, LongChainAndGenTabNodeAlone) {
  std::vector<Join> joins;
  for (int t = 1; t < 300; ++t) joins.push_back({t, t, t + 1, kFalse});
  load(300, joins);
  EXPECT_EQ(errorOf(kRunTree), 0) << lastError_;
  EXPECT_EQ(single("SELECT MAX(T_NIV) FROM KORVO_TAB_TREE"), "299");
  EXPECT_EQ(single("SELECT COUNT(DISTINCT T_TREE) FROM KORVO_TAB_TREE"), "1");
  // the node procedure called directly from the middle of the chain
  run("DELETE FROM KORVO_TAB_TREE");
  db().commit();
  run("begin\nGEN_TAB_NODE(150, 7);\nend;");
  EXPECT_EQ(single("SELECT COUNT(*) FROM KORVO_TAB_TREE WHERE T_TREE = 7"), "300");
  EXPECT_EQ(single("SELECT T_NIV FROM KORVO_TAB_TREE WHERE T_ID = 1"), "149");
  EXPECT_EQ(errorOf("begin\nGEN_TAB_NODE(150);\nend;"), 6550);
}

TEST_F(JoinTreeTest, ArgumentsConvertAsOracleConvertsThem) {
  load(3, {{1, 1, 2, kFalse}});
  EXPECT_EQ(errorOf("begin\nGEN_TAB_NODE('abc', 7);\nend;"), 6502);
  EXPECT_EQ(lastError_,
            "ORA-06502: PL/SQL: numeric or value error: character to number conversion error");
  EXPECT_EQ(errorOf("begin\nGEN_TAB_NODE('12abc', 7);\nend;"), 6502);
  EXPECT_EQ(single("SELECT COUNT(*) FROM KORVO_TAB_TREE"), "0");
  EXPECT_EQ(errorOf("begin\nGEN_TAB_NODE(' 1 ', '7');\nend;"), 0) << lastError_;
  EXPECT_EQ(forest(), "1:-:0:7 2:1:1:7");
}

class ProcedureCallTest : public EngineTest {};

TEST_F(ProcedureCallTest, UnknownProceduresAndApplicationErrors) {
  EXPECT_EQ(errorOf(kRunTree), 6550);
  EXPECT_NE(lastError_.find("PLS-00201: identifier 'GEN_TAB_TREE' must be declared"),
            std::string::npos)
      << lastError_;
  EXPECT_EQ(errorOf("begin\nraise_application_error(-20001, 'Boom here');\nend;"), 20001);
  EXPECT_EQ(lastError_, "ORA-20001: Boom here\nORA-06512: at line 2");
  EXPECT_EQ(errorOf("begin\nraise_application_error(-20999, 'x');\nend;"), 20999);
  EXPECT_EQ(errorOf("begin\nraise_application_error(-1, 'x');\nend;"), 21000);
  EXPECT_EQ(errorOf("begin\nraise_application_error(-20001);\nend;"), 6550);
  // a native routine without its stored text is not callable
  EXPECT_EQ(errorOf("begin\nGEN_TAB_NODE(1, 1);\nend;"), 6550);
}

TEST_F(ProcedureCallTest, StoredTextIsVisibleAndReplaceable) {
  run(kGenTabTree);
  EXPECT_EQ(single("SELECT COUNT(*) FROM USER_SOURCE WHERE NAME = 'GEN_TAB_TREE'") != "0", true);
  run(kGenTabTree);  // OR REPLACE
  EXPECT_EQ(errorOf("CREATE PROCEDURE GEN_TAB_TREE IS BEGIN NULL; END;"), 955);
}

TEST_F(ProcedureCallTest, StatisticsAndModule) {
  loadDemo();
  EXPECT_EQ(errorOf("begin\nDBMS_STATS.GATHER_TABLE_STATS('scott', 'emp');\nend;"), 0)
      << lastError_;
  EXPECT_EQ(errorOf("begin\nDBMS_STATS.GATHER_SCHEMA_STATS('SCOTT');\nend;"), 0) << lastError_;
  EXPECT_EQ(errorOf("begin\nDBMS_STATS.GATHER_TABLE_STATS('SCOTT', 'NOSUCH');\nend;"), 20000);
  EXPECT_EQ(errorOf("begin\nDBMS_STATS.GATHER_SCHEMA_STATS('OTHER');\nend;"), 20000);
  EXPECT_EQ(errorOf("begin\nDBMS_STATS.GATHER_TABLE_STATS('SCOTT');\nend;"), 6550);
  EXPECT_EQ(errorOf("begin\nDBMS_STATS.NO_SUCH_THING('SCOTT');\nend;"), 6550);
  run("begin\nDBMS_APPLICATION_INFO.SET_MODULE('Korvo-BO6', 'query');\nend;");
  EXPECT_EQ(db().module(), "Korvo-BO6");
}

}  // namespace
}  // namespace korvo::engine::test

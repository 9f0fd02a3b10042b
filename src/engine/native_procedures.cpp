#include "engine/native_procedures.h"

#include <sqlite3.h>

#include <cmath>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "engine/catalog.h"
#include "engine/ora_error.h"
#include "engine/procedure_registry.h"
#include "engine/sql_statement.h"
#include "engine/sqlite_errors.h"
#include "engine/write_checks.h"

namespace korvo::engine {

namespace {

using Rows = std::vector<std::vector<Value>>;

Rows fetchAll(Session& s, const std::string& sql) {
  StatementResult r = s.execute(sql);
  Rows out;
  std::vector<Value> row;
  while (r.cursor && r.cursor->fetch(row)) out.push_back(row);
  return out;
}

std::string number(long long v) { return std::to_string(v); }

// A value as an integer parameter receives it: text converted by Oracle's rules,
// then rounded.
std::optional<long long> integerOf(const Value& v) {
  if (v.isNull()) return std::nullopt;
  double d = v.number;
  if (v.kind != Value::Kind::Number && !parseOracleNumber(v.text, d))
    throw OraError(6502, "PL/SQL: numeric or value error: character to number conversion error");
  if (!std::isfinite(d) || std::fabs(d) >= 9.0e18)
    throw OraError(6502, "PL/SQL: numeric or value error: number precision too large");
  return std::llround(d);
}

std::string sqlNumber(const std::optional<long long>& v) { return v ? number(*v) : "NULL"; }

[[noreturn]] void wrongArguments(const std::string& position, const std::string& name) {
  throw OraError(6550, position + ":\nPLS-00306: wrong number or types of arguments in call to '" +
                           name + "'\nORA-06550: " + position + ":\nPL/SQL: Statement ignored");
}

// The join tree procedures, run natively. KORVO_JOIN and KORVO_TABLE are read once;
// KORVO_TAB_TREE is written through the session statement by statement (with the
// procedures' commits) and mirrored here, so each step reads what the procedure's
// own queries would read without scanning the tables again: the neighbour cursor
// is the usable neighbours minus the table's parent in the tree.
class JoinTreeBuilder {
 public:
  explicit JoinTreeBuilder(Session& s) : s_(s) {
    const std::string usable =
        "JN_IDTAB1 in (select distinct TB_IDTAB from KORVO_TABLE) and JN_IDTAB2 in (select "
        "distinct TB_IDTAB from KORVO_TABLE) and JN_IDTAB1 <> JN_IDTAB2 and upper(JN_PROP) like "
        "'%FALSE%'";
    for (const auto& row : fetchAll(s_,
                                    "select JN_IDTAB1 as id, JN_IDTAB2 as idpere  from "
                                    "KORVO_JOIN where " +
                                        usable +
                                        " union select JN_IDTAB2 as id, JN_IDTAB1 as idpere "
                                        "  from KORVO_JOIN where " +
                                        usable))
      neighbours_[*integerOf(row[1])].insert(*integerOf(row[0]));
  }

  // Reads the rows already in KORVO_TAB_TREE (GEN_TAB_NODE called on its own).
  void loadTree() {
    tree_.clear();
    for (const auto& row : fetchAll(s_, "select T_ID, T_PARENT, T_NIV from KORVO_TAB_TREE"))
      if (auto id = integerOf(row[0])) tree_[*id].push_back({integerOf(row[1]), integerOf(row[2])});
  }

  void node(long long table, long long tree) {
    // Depth-first like the recursive procedure, without using the C++ stack: a join
    // chain can be thousands of tables long.
    struct Frame {
      std::vector<long long> children;
      size_t next = 0;
    };
    std::vector<Frame> stack;
    stack.push_back({attach(table, tree)});
    while (!stack.empty()) {
      Frame& top = stack.back();
      if (top.next == top.children.size()) {
        stack.pop_back();
        continue;
      }
      long long child = top.children[top.next++];
      stack.push_back({attach(child, tree)});
    }
  }

  void forest() {
    s_.execute("delete from korvo_tab_tree");
    tree_.clear();
    // How many joins (usable or not) have each table as first table.
    std::map<long long, long long> firstOf;
    for (const auto& row : fetchAll(s_,
                                    "select JN_IDTAB1, count(*) NB from KORVO_JOIN "
                                    "group by JN_IDTAB1"))
      if (auto id = integerOf(row[0])) firstOf[*id] = std::llround(row[1].number);
    long long nb = 0;
    for (;;) {
      // the table outside the forest that is first table of the most joins; the
      // smallest id among equals
      std::optional<long long> root;
      long long best = 0;
      for (const auto& [id, count] : firstOf)
        if (!tree_.count(id) && (!root || count > best)) root = id, best = count;
      if (!root) break;
      node(*root, ++nb);
    }
    for (const auto& row : fetchAll(s_,
                                    "select distinct TB_IDTAB from KORVO_TABLE where TB_IDTAB "
                                    "not in (select T_ID from KORVO_TAB_TREE) order by "
                                    "TB_IDTAB"))
      s_.execute("insert into KORVO_TAB_TREE values(" + sqlNumber(integerOf(row[0])) + ", 0, 0, " +
                 number(++nb) + ")");
    s_.execute("commit");
  }

 private:
  struct TreeRow {
    std::optional<long long> parent, level;
  };

  void insert(long long id, std::optional<long long> parent, std::optional<long long> level,
              long long tree) {
    s_.execute("insert into KORVO_TAB_TREE values(" + number(id) + ", " + sqlNumber(parent) + ", " +
               sqlNumber(level) + ", " + number(tree) + ")");
    tree_[id].push_back({parent, level});
  }

  // Steps 1 to 5 of GEN_TAB_NODE for one table; returns the neighbours to expand next
  // (the cursor of step 6).
  std::vector<long long> attach(long long table, long long tree) {
    auto& rows = tree_[table];
    if (rows.empty()) {
      s_.execute("insert into KORVO_TAB_TREE (T_ID,T_NIV, T_TREE) values (" + number(table) +
                 ",0, " + number(tree) + ")");
      rows.push_back({std::nullopt, 0});
    }
    if (rows.size() > 1) throw OraError(20001);
    TreeRow self = rows[0];
    std::optional<long long> childLevel = self.level;
    if (childLevel) ++*childLevel;
    std::vector<long long> next;
    auto it = neighbours_.find(table);
    if (it != neighbours_.end())
      for (long long n : it->second)
        if (!self.parent || *self.parent != n) next.push_back(n);
    for (long long n : next) insert(n, table, childLevel, tree);
    s_.execute("commit");
    return next;
  }

  Session& s_;
  std::map<long long, std::set<long long>> neighbours_;
  std::map<long long, std::vector<TreeRow>> tree_;
};

std::string lineOf(const std::string& position) {
  // "line 2, column 1" -> "2"
  size_t b = position.find("line ");
  if (b == std::string::npos) return "1";
  b += 5;
  size_t e = position.find_first_not_of("0123456789", b);
  return position.substr(b, e == std::string::npos ? std::string::npos : e - b);
}

std::string upperUnlessQuoted(const std::string& s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  std::string u = s;
  for (auto& ch : u) ch = char(std::toupper((unsigned char)ch));
  return u;
}

void analyze(sqlite3* db, const std::string& target) {
  char* err = nullptr;
  if (sqlite3_exec(db, ("ANALYZE " + target).c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err ? err : "ANALYZE failed";
    sqlite3_free(err);
    throw errorFromSqlite(msg);
  }
}

}  // namespace

void genTabNode(Session& s, long long table, long long tree) {
  JoinTreeBuilder b(s);
  b.loadTree();
  b.node(table, tree);
}

void genTabTree(Session& s) { JoinTreeBuilder(s).forest(); }

BatchedDurability::BatchedDurability(sqlite3* db) : db_(db), previous_(2) {
  try {
    SqlStatement st(db_, "PRAGMA synchronous");
    if (st.step()) previous_ = int(st.integer(0));
  } catch (const OraError&) {
    // The setting stays as it is (previous_ 2: nothing lowered).
  }
  if (previous_ <= 1 || !sqlite3_get_autocommit(db_) ||
      sqlite3_exec(db_, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr) != SQLITE_OK)
    previous_ = 0;  // nothing changed, nothing to restore
}

BatchedDurability::~BatchedDurability() {
  if (previous_ <= 1 || !sqlite3_get_autocommit(db_)) return;
  sqlite3_exec(db_, ("PRAGMA synchronous=" + std::to_string(previous_)).c_str(), nullptr, nullptr,
               nullptr);
  // Flush what the procedure committed: a checkpoint syncs the log first.
  sqlite3_exec(db_, "PRAGMA wal_checkpoint(PASSIVE)", nullptr, nullptr, nullptr);
}

void registerNativeProcedures() {
  static std::once_flag once;
  std::call_once(once, [] {
    registerNativeProcedure("GEN_TAB_TREE", [](Session& s, const std::vector<Value>& args) {
      if (!args.empty()) wrongArguments("line 2, column 1", "GEN_TAB_TREE");
      genTabTree(s);
    });
    registerNativeProcedure("GEN_TAB_NODE", [](Session& s, const std::vector<Value>& args) {
      if (args.size() != 2 || args[0].isNull() || args[1].isNull())
        wrongArguments("line 2, column 1", "GEN_TAB_NODE");
      genTabNode(s, *integerOf(args[0]), *integerOf(args[1]));
    });
  });
}

bool isBuiltinProcedure(const ast::Call& c) {
  const std::string& n = c.name.text;
  size_t lo = 0, hi = 0;
  if (c.package.empty() && n == "RAISE_APPLICATION_ERROR") {
    lo = 2, hi = 3;
  } else if (c.package.text == "DBMS_STATS" && n == "GATHER_SCHEMA_STATS") {
    lo = 1, hi = 99;
  } else if (c.package.text == "DBMS_STATS" && n == "GATHER_TABLE_STATS") {
    lo = 2, hi = 99;
  } else {
    return false;
  }
  if (c.args.size() < lo || c.args.size() > hi) wrongArguments(c.position, n);
  return true;
}

void runBuiltinProcedure(Session& s, sqlite3* db, const ast::Call& c,
                         const std::vector<Value>& args) {
  const std::string& n = c.name.text;
  if (n == "RAISE_APPLICATION_ERROR") {
    std::optional<long long> code = integerOf(args[0]);
    if (!code || *code > -20000 || *code < -20999)
      throw OraError(21000, "error number argument to raise_application_error of " +
                                (code ? number(*code) : std::string()) + " is out of range");
    std::string text = args[1].isNull() ? std::string() : args[1].text;
    if (text.size() > 2048) text.resize(2048);
    throw OraError(int(-*code), text + "\nORA-06512: at line " + lineOf(c.position));
  }
  std::string owner = args[0].isNull() ? s.user() : upperUnlessQuoted(args[0].text);
  if (n == "GATHER_SCHEMA_STATS") {
    if (owner != s.user())
      throw OraError(20000, "Schema \"" + owner + "\" does not exist or insufficient privileges");
    analyze(db, "main");
  } else {
    std::string table = args[1].isNull() ? std::string() : upperUnlessQuoted(args[1].text);
    bool found =
        owner == s.user() &&
        fetchAll(s, "select count(*) from user_tables where table_name = " + sqlString(table))[0][0]
                .number > 0;
    if (!found)
      throw OraError(20000, "Unable to analyze TABLE \"" + owner + "\".\"" + table +
                                "\", insufficient privileges or does not exist");
    analyze(db, "main." + sqlName(table));
  }
  s.commit();  // statistics gathering commits, as DDL does
}

}  // namespace korvo::engine

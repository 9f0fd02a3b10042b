#pragma once
// Procedures the engine runs natively. GEN_TAB_TREE and GEN_TAB_NODE compute the
// join tree of a universe repository; they are registered under their names and run
// when a block calls a procedure of that name that the schema holds. DBMS_STATS
// gathering and RAISE_APPLICATION_ERROR are built in, as in any Oracle schema.
#include <vector>

#include "engine/ast.h"
#include "engine/session.h"

struct sqlite3;

namespace korvo::engine {

// Registers GEN_TAB_TREE and GEN_TAB_NODE (once; later calls do nothing).
void registerNativeProcedures();

// True for a built-in call; a wrong number of arguments raises PLS-00306.
bool isBuiltinProcedure(const ast::Call& c);
void runBuiltinProcedure(Session& session, sqlite3* db, const ast::Call& c,
                         const std::vector<Value>& args);

// While a block runs, the commits of its procedures skip the disk flush (the WAL keeps
// them consistent) and one flush comes at the end: a procedure that commits after each
// of two thousand tables would otherwise wait seconds for the disk. SQLite changes
// this setting only outside a transaction: with changes pending when the block starts
// nothing is changed, and if the block leaves changes pending the relaxed setting stays
// (still crash-safe, only the latest commits may be lost on power failure).
class BatchedDurability {
 public:
  explicit BatchedDurability(sqlite3* db);
  ~BatchedDurability();
  BatchedDurability(const BatchedDurability&) = delete;
  BatchedDurability& operator=(const BatchedDurability&) = delete;

 private:
  sqlite3* db_;
  int previous_;
};

// The join tree routines, through the session's own SQL: they read KORVO_JOIN and
// KORVO_TABLE and fill KORVO_TAB_TREE, committing where the procedures commit.
// Ties between candidate roots go to the smallest table id.
void genTabTree(Session& session);
void genTabNode(Session& session, long long table, long long tree);

}  // namespace korvo::engine

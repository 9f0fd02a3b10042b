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

// The join tree routines, through the session's own SQL: they read KORVO_JOIN and
// KORVO_TABLE and fill KORVO_TAB_TREE, committing where the procedures commit.
// Ties between candidate roots go to the smallest table id.
void genTabTree(Session& session);
void genTabNode(Session& session, long long table, long long tree);

}  // namespace korvo::engine

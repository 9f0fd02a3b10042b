#pragma once
// EXPLAIN PLAN SET STATEMENT_ID='id' INTO plan_table FOR <query>: the query is
// translated and checked as if it were run (an erroneous statement fails here), not
// run, and its estimated plan is written into the user's own plan table: one row with
// ID 0 and OPERATION 'SELECT STATEMENT' carrying the total cost, then one row per step.
// No commit of its own.
#include "engine/ast.h"
#include "engine/session.h"
#include "engine/translator.h"

namespace korvo::engine {

void explainPlan(Session& session, const TranslationEnv& env, const ast::Statement& s);

}  // namespace korvo::engine

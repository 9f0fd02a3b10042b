#pragma once
// The checks between a statement and its opening: only a SELECT, no
// Cartesian product unless the user runs their own text, and a confirmation
// when the estimated cost is above the threshold.
#include <QString>

#include "db/connection.h"
#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "kernel/language.h"

namespace korvo::sqlgen {

// The first word of `text` (blanks, tabs, carriage returns and line feeds
// before it skipped, the next of them ending it), upper-cased, is "SELECT".
bool isSelectStatement(const QString& text);

enum class LaunchOutcome { Go, NotSelect, Cartesian, CostDeclined, DatabaseError };

struct LaunchCheck {
  LaunchOutcome outcome;
  int cost = 0;
  QString message;     // what was shown or asked; empty for Go without a question
  bool asked = false;  // the cost question was put
};

// Runs the checks in order and stops at the first refusal: entry 27 or 41
// through interaction.inform, the cost question (entries 45 and 46 around the
// cost) through interaction.confirm, a database error of the estimate through
// interaction.error with the driver's text. `bloquerSql` is the "do not
// generate" box: the user's own text is not refused for a Cartesian product.
LaunchCheck checkLaunch(const QString& memoText, bool cartesian, bool bloquerSql,
                        db::Connection& connection, const kernel::AppState& state,
                        const kernel::TextTables& texts, kernel::Interaction& interaction);

}  // namespace korvo::sqlgen

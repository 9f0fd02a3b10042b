#pragma once
// The run command without its widgets: from the query builder's grids (or the
// SQL memo as it stands) to the statement that is opened into the result.
#include <QString>
#include <QStringList>
#include <optional>

#include <functional>

#include "builder/workspace.h"
#include "sqlgen/prompts.h"

namespace korvo::sqlgen {

// Kept by the caller from one run to the next: the Cartesian flag of the last
// generation, which a run of the memo without generation is checked against.
struct RunState {
  bool cartesian = false;
  // Asks the user for the prompts' answers (filled into each request); false
  // when the user cancels. Unset: a query with prompts is refused.
  std::function<bool(PromptList&)> askPrompts;
  // The prompts of the last run, which answer the same calls in the memo when
  // it runs again without generation (refresh, the editor's own text).
  PromptList lastPrompts;
};

// The launch of the memo: the checks of checkLaunch on `memoLines` joined by
// line feeds; the statement when it may be opened.
std::optional<QString> procGo(builder::Workspace& workspace, const RunState& run, bool bloquerSql,
                              const QStringList& memoLines);

// With the query builder shown: the condition check (each fault told), the
// refusal of a query with prompts, the generation into `memoLines` and
// `run.cartesian` (a database error told as an error, the empty-grid refusal
// told as a message), then the launch checks. Otherwise the launch checks on
// `memoLines` as they are. Returns the statement to open (the memo lines
// joined by line feeds) when every check lets it run; nothing otherwise, the
// reason having been told through the workspace's interaction.
std::optional<QString> procExecuter(builder::Workspace& workspace, RunState& run, bool builderShown,
                                    bool bloquerSql, QStringList& memoLines);

}  // namespace korvo::sqlgen

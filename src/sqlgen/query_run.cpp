#include "sqlgen/query_run.h"

#include "sqlgen/condition_check.h"
#include "sqlgen/prompt_detection.h"
#include "sqlgen/query_launch.h"
#include "sqlgen/sql_generation.h"

namespace korvo::sqlgen {
namespace {

QString emptyQueryMessage(const QString& language) {
  return language == QLatin1String("FR")
             ? QString::fromUtf8("La requête n'a aucun objet résultat : rien n'a été exécuté.")
             : QStringLiteral("The query has no result object: nothing was run.");
}

// Check and generate the grids into the memo; false when the run stops.
bool generateMemo(builder::Workspace& workspace, RunState& run, QStringList& memoLines) {
  kernel::Interaction& interaction = workspace.interaction();
  const builder::QueryGrids& grids = workspace.grids();
  const QStringList faults = conditionSyntaxFaults(grids.conditions(), workspace.texts());
  for (const QString& fault : faults) interaction.inform(fault);
  if (!faults.isEmpty()) return false;

  if (const std::optional<QString> prompt =
          firstPrompt(grids.objects(), grids.conditions(), workspace.catalogue())) {
    interaction.inform(promptsRefusedMessage(workspace.appState().language, *prompt));
    return false;
  }

  const Generation generation =
      generer_requete(grids.objects(), grids.conditions(), workspace.catalogue(),
                      workspace.connection(), workspace.texts());
  if (generation.refusedEmpty) {
    interaction.inform(emptyQueryMessage(workspace.appState().language));
    return false;
  }
  // The memo keeps what was written before a database error, as it is filled
  // line by line.
  memoLines = generation.lines;
  run.cartesian = generation.cartesian;
  if (!generation.ok()) {
    interaction.error(generation.error);
    return false;
  }
  return true;
}

}  // namespace

std::optional<QString> procGo(builder::Workspace& workspace, const RunState& run, bool bloquerSql,
                              const QStringList& memoLines) {
  const QString statement = memoLines.join(QLatin1Char('\n'));
  const LaunchCheck check =
      checkLaunch(statement, run.cartesian, bloquerSql, workspace.connection(),
                  workspace.appState(), workspace.texts(), workspace.interaction());
  if (check.outcome != LaunchOutcome::Go) return std::nullopt;
  return statement;
}

std::optional<QString> procExecuter(builder::Workspace& workspace, RunState& run, bool builderShown,
                                    bool bloquerSql, QStringList& memoLines) {
  if (builderShown && !generateMemo(workspace, run, memoLines)) return std::nullopt;
  return procGo(workspace, run, bloquerSql, memoLines);
}

}  // namespace korvo::sqlgen

#include "sqlgen/query_run.h"

#include "sqlgen/condition_check.h"
#include "sqlgen/prompts.h"
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

  const PromptCollection collected =
      collectPrompts(grids.objects(), grids.conditions(), workspace.catalogue());
  if (!collected.error.isEmpty()) {
    interaction.inform(promptFaultMessage(workspace.appState().language, collected.error));
    return false;
  }
  PromptList prompts = collected.prompts;
  if (!prompts.isEmpty()) {
    if (!run.askPrompts) {
      interaction.inform(unansweredPromptMessage(workspace.appState().language, prompts[0].label));
      return false;
    }
    if (!run.askPrompts(prompts)) return false;
    writeConditionAnswers(prompts, workspace.grids().conditions());
  }
  run.lastPrompts = prompts;

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

// The calls left in the memo replaced by their answers; calls the last
// prompts do not answer (the editor's own text, a refresh) are asked first.
bool replaceInMemo(builder::Workspace& workspace, RunState& run, QStringList& memoLines) {
  kernel::Interaction& interaction = workspace.interaction();
  const QString text = memoLines.join(QLatin1Char('\n'));
  const PromptCollection missing = unansweredCalls(text, run.lastPrompts);
  if (!missing.error.isEmpty()) {
    interaction.inform(promptFaultMessage(workspace.appState().language, missing.error));
    return false;
  }
  if (!missing.prompts.isEmpty()) {
    PromptList asked = missing.prompts;
    if (!run.askPrompts) {
      interaction.inform(unansweredPromptMessage(workspace.appState().language, asked[0].label));
      return false;
    }
    if (!run.askPrompts(asked)) return false;
    run.lastPrompts << asked;
  }
  const Replacement replaced = replacePromptCalls(text, run.lastPrompts);
  if (!replaced.error.isEmpty()) {
    interaction.inform(promptFaultMessage(workspace.appState().language, replaced.error));
    return false;
  }
  if (replaced.text != text) memoLines = replaced.text.split(QLatin1Char('\n'));
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
  if (!replaceInMemo(workspace, run, memoLines)) return std::nullopt;
  return procGo(workspace, run, bloquerSql, memoLines);
}

}  // namespace korvo::sqlgen

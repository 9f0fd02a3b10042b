#include "sqlgen/query_launch.h"

#include "sqlgen/cost_estimate.h"

namespace korvo::sqlgen {
namespace {

bool isBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
         c == QLatin1Char('\n');
}

LaunchCheck refuse(LaunchOutcome outcome, const QString& message,
                   kernel::Interaction& interaction) {
  interaction.inform(message);
  return {outcome, 0, message, false};
}

}  // namespace

bool isSelectStatement(const QString& text) {
  qsizetype begin = 0;
  while (begin < text.size() && isBlank(text[begin])) ++begin;
  qsizetype end = begin;
  while (end < text.size() && !isBlank(text[end])) ++end;
  return text.mid(begin, end - begin).toUpper() == QLatin1String("SELECT");
}

LaunchCheck checkLaunch(const QString& memoText, bool cartesian, bool bloquerSql,
                        db::Connection& connection, const kernel::AppState& state,
                        const kernel::TextTables& texts, kernel::Interaction& interaction) {
  if (!isSelectStatement(memoText))
    return refuse(LaunchOutcome::NotSelect, texts.messages.value(27), interaction);
  if (cartesian && !bloquerSql)
    return refuse(LaunchOutcome::Cartesian, texts.messages.value(41), interaction);

  LaunchCheck check{LaunchOutcome::Go, 0, QString(), false};
  try {
    check.cost = estimateCost(connection, state.planTablePresent, state.workstationId, memoText);
  } catch (const db::DbError& e) {
    interaction.error(e.text());
    return {LaunchOutcome::DatabaseError, 0, e.text(), false};
  }
  if (check.cost > state.costThreshold) {
    check.asked = true;
    check.message =
        texts.messages.value(45) + QString::number(check.cost) + texts.messages.value(46);
    if (!interaction.confirm(check.message)) check.outcome = LaunchOutcome::CostDeclined;
  }
  return check;
}

}  // namespace korvo::sqlgen

#include "sqlgen/result_sort.h"

#include "builder/query_grids.h"

namespace korvo::sqlgen {
namespace {

// The generator's alias length (Oracle's identifier limit).
constexpr int kAliasLength = 30;
constexpr int kSortMessage = 32;

}  // namespace

QString nextSortDirection(kernel::AppState& state, const QString& field) {
  const bool goDown = field == state.lastSortedTitle && state.sortDirection == QLatin1String("ASC");
  state.sortDirection = goDown ? QStringLiteral("DESC") : QStringLiteral("ASC");
  state.lastSortedTitle = field;
  return state.sortDirection;
}

QString sortExpression(const kernel::Grid& objects, const builder::Catalogue& catalogue,
                       const QString& field) {
  QString id;
  bool found = false;
  for (int row = 1; row < objects.rowCount(); ++row) {
    if (objects.cell(row, builder::kObjName).left(kAliasLength) == field) {
      id = objects.cell(row, builder::kObjId);
      found = true;
    }
  }
  QString expression;
  if (found) catalogue.Get_Obj_Info(id, expression, QStringLiteral("OB_SELECT"));
  return expression;
}

QString sortedStatement(const QString& memoText, const QString& expression,
                        const QString& direction) {
  return memoText + QStringLiteral(" order by ") + expression + QLatin1Char(' ') + direction;
}

QString sortStatusText(const kernel::TextTables& texts, const QString& field,
                       const QString& direction) {
  return texts.messages.value(kSortMessage) + field + QLatin1Char(' ') + direction;
}

}  // namespace korvo::sqlgen

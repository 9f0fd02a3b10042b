#include "sqlgen/cost_estimate.h"

#include <cmath>
#include <limits>

namespace korvo::sqlgen {
namespace {

// A cost beyond the range of an int is shown and compared as the largest int.
int costValue(const QVariant& value) {
  if (value.isNull()) return 0;
  bool ok = false;
  const double cost = value.toDouble(&ok);
  if (!ok || std::isnan(cost)) return 0;
  if (cost >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (cost <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(std::llround(cost));
}

}  // namespace

QString planStatementId(const QString& workstationId) {
  return QStringLiteral("P.") + workstationId;
}

QStringList planStatements(const QString& workstationId, const QString& statement) {
  const QString id = planStatementId(workstationId);
  return {QStringLiteral("delete from PLAN_TABLE where STATEMENT_ID='") + id + QLatin1Char('\''),
          QStringLiteral("commit"),
          QStringLiteral("EXPLAIN PLAN SET STATEMENT_ID='") + id +
              QStringLiteral("' INTO plan_table FOR ") + statement};
}

QString planCostQuery(const QString& workstationId) {
  return QStringLiteral("select  COST  from plan_table  where id = 0 and statement_id = '") +
         planStatementId(workstationId) + QLatin1Char('\'');
}

int estimateCost(db::Connection& connection, bool planTablePresent, const QString& workstationId,
                 const QString& statement) {
  if (!planTablePresent) return 0;
  for (const QString& sql : planStatements(workstationId, statement)) connection.exec(sql);
  std::unique_ptr<db::Cursor> cursor = connection.query(planCostQuery(workstationId));
  QList<db::Row> rows;
  if (cursor->fetch(rows, 1) == 0 || rows.first().isEmpty()) return 0;
  return costValue(rows.first().first());
}

}  // namespace korvo::sqlgen

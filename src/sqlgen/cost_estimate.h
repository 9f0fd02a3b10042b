#pragma once
// The estimated cost of a statement, from EXPLAIN PLAN into the user's plan
// table. The workstation's own statement id keeps the plan rows of several
// workstations that share one schema apart.
#include <QString>
#include <QStringList>

#include "db/connection.h"

namespace korvo::sqlgen {

// "P." followed by the workstation identifier.
QString planStatementId(const QString& workstationId);

// The statements sent in order, word for word: the workstation's old plan rows
// deleted, a commit, the EXPLAIN PLAN of `statement`.
QStringList planStatements(const QString& workstationId, const QString& statement);

// The question that reads the cost of the whole statement back.
QString planCostQuery(const QString& workstationId);

// Sends the plan statements and reads the cost; without a plan table nothing
// is sent and the cost is 0, as it is when the plan has no statement row or
// no cost. Throws db::DbError (a statement the database cannot parse fails in
// EXPLAIN PLAN).
int estimateCost(db::Connection& connection, bool planTablePresent, const QString& workstationId,
                 const QString& statement);

}  // namespace korvo::sqlgen

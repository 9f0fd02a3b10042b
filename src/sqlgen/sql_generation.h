#pragma once
// generer_requete: the query's two grids turned into one Oracle SELECT, line
// by line as MemoSql holds it, with the Cartesian flag that the run tests.
// The repository tables answer which tables the objects use, which further
// tables of the join tree connect them and which joins hold between them.
#include <QString>
#include <QStringList>

#include "builder/catalogue.h"
#include "db/connection.h"
#include "kernel/grid.h"
#include "kernel/language.h"

namespace korvo::sqlgen {

struct Generation {
  QStringList lines;       // MemoSql, one entry per line, every blank kept
  bool cartesian = false;  // the tables lie in more than one join tree (or in none)
  // Empty on success. A database error stops the generation with the lines
  // written so far; an empty result-object grid is refused before anything.
  QString error;
  bool refusedEmpty = false;  // the error is the empty-grid refusal
  bool ok() const { return error.isEmpty(); }
};

// `texts` gives the connector and operator labels of the current language.
Generation generer_requete(const kernel::Grid& objects, const kernel::Grid& conditions,
                           const builder::Catalogue& catalogue, db::Connection& connection,
                           const kernel::TextTables& texts);

// The pieces of one condition line, as the generator writes them.
QString sqlConnector(const QString& label, const kernel::TextTables& texts);
QString sqlOperator(const QString& label, const kernel::TextTables& texts);  // "" when unknown
QString whereOperand(const QString& operand, const QString& sqlOp, const QString& typeCode);

// The auxiliary queries, word for word; `list` is a "(..)" id list.
QString tableQuery(const QString& objectIdList);
QString treeCountQuery(const QString& tableList);
QString pathQuery(const QStringList& tables);
QString fromListQuery(const QString& pathList);
QString joinQuery(const QString& pathList);

}  // namespace korvo::sqlgen

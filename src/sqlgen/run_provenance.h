#pragma once
// The provenance of a run read off the query builder's grids and the schema.
#include <QDateTime>
#include <QString>

#include "builder/query_grids.h"
#include "db/connection.h"
#include "sqlgen/file_export.h"
#include "sqlgen/prompts.h"

namespace korvo::sqlgen {

struct UniverseName {
  QString id;
  QString name;
};
// The universe imported into the schema (KORVO_UNIVERS); empty when none can be read.
UniverseName schemaUniverse(db::Connection& connection);

// The result objects and the conditions as the grids show them, in the user's
// language; rows with nothing in them are left out.
Provenance provenanceOf(const builder::QueryGrids& grids, const PromptList& prompts,
                        const QString& universe, const QString& statement, const QDateTime& ranAt);

}  // namespace korvo::sqlgen

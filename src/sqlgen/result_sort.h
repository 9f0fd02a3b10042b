#pragma once
// A click on a result column title sorts the rows on the server: the
// direction alternates per column, the column's alias leads back to its
// object's select expression, and the statement gets an order by.
#include <QString>

#include "builder/catalogue.h"
#include "kernel/app_state.h"
#include "kernel/grid.h"
#include "kernel/language.h"

namespace korvo::sqlgen {

// "DESC" when `field` was the last sorted column and went up; "ASC" in every
// other case. `field` becomes the last sorted column.
QString nextSortDirection(kernel::AppState& state, const QString& field);

// The select expression of the result object whose alias (its name cut to
// 30 characters, as the generator writes it) is `field`; the last such row of
// the object grid counts. "" when no row matches.
QString sortExpression(const kernel::Grid& objects, const builder::Catalogue& catalogue,
                       const QString& field);

// The editor's text with the sort appended; the editor text itself stays.
QString sortedStatement(const QString& memoText, const QString& expression,
                        const QString& direction);

// The status bar text: "TRI: " / "SORT: ", the column, a blank, the direction.
QString sortStatusText(const kernel::TextTables& texts, const QString& field,
                       const QString& direction);

}  // namespace korvo::sqlgen

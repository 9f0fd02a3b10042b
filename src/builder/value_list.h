#pragma once
// Lists of values: the distinct values an object takes in the database, for
// the user to pick operands from, and the operand text the choice gives.
#include <QString>
#include <QStringList>

#include "builder/catalogue.h"
#include "db/connection.h"
#include "kernel/language.h"

namespace korvo::builder {

// How many values an operator takes from the list; the null tests take none.
enum class ValueChoice { None, Single, Multiple };
ValueChoice valueChoiceFor(const QString& operatorLabel, const kernel::TextTables& texts);

// The FROM text of object `objectId`'s table ("REAL ALIAS", or " TABLE").
// The main window's text and the prompt dialog's differ by one blank.
QString valueTableQuery(const QString& objectId, bool fromPromptDialog);
QString distinctValuesQuery(const QString& selectExpression, const QString& fromText);

// The object's distinct values, sorted by the database. `found` is false when
// the object has no select expression or no table: no list then. The prompt
// dialog's list leaves out nulls and all-blank values. A database error
// propagates as db::DbError.
struct ValueList {
  bool found = false;
  QStringList values;
};
ValueList distinctValues(db::Connection& connection, const Catalogue& catalogue,
                         const QString& objectId, bool fromPromptDialog);

// The operand the chosen values make: one value quoted (inner quotes doubled),
// several (or one of a multiple choice) as "('A','B')"; empty when nothing
// was chosen.
QString operandForValues(const QStringList& chosen, ValueChoice choice);

// The values that contain `typed`, ignoring case; all of them for an empty text.
QStringList filterValues(const QStringList& values, const QString& typed);

}  // namespace korvo::builder

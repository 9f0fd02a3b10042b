#pragma once
// ClientDataSetObj, the object catalogue: one row per visible object of the
// imported universe, read once per connection and then searched in memory.
// Rows keep the order of the catalogue query (by class, then position).
#include <QHash>
#include <QList>
#include <QString>

#include "db/connection.h"

namespace korvo::builder {

// The catalogue query, word for word, and the scrambling flag question.
QString catalogueQuery();
QString scramblingFlagQuery();

struct CatalogueRow {
  QString OB_IDOBJ;    // compared as text
  QString OB_NAME;     // as stored (scrambled in a scrambled universe)
  QString OB_IDCLASS;  // compared as text
  int OB_PROP = 0;     // 1: a measure
  QString OB_SELECT;
  QString OB_WHERE;
  QString OB_COMMENT;
  QString OB_POSITION;  // equal positions nest date sub-objects
  QString OB_TYPE;      // "Num", "Char", "Date" ...
};

class Catalogue {
 public:
  void clear();
  void append(CatalogueRow row);
  const QList<CatalogueRow>& rows() const { return rows_; }
  bool isEmpty() const { return rows_.isEmpty(); }

  // Get_Obj_Info: the first row whose OB_IDOBJ is `id` gives its OB_SELECT or
  // OB_WHERE. For an unknown id, or a column name other than those two,
  // `value` is left as it was.
  void Get_Obj_Info(const QString& id, QString& value, const QString& column) const;

  // The rows of one class: from the first row of that class, every
  // consecutive row of the same class. Empty when the class has none.
  QList<const CatalogueRow*> objectsOfClass(const QString& classId) const;

 private:
  QList<CatalogueRow> rows_;
  QHash<QString, int> firstById_;
  QHash<QString, int> firstByClass_;
};

// Sends the catalogue query and loads every row at once. Throws db::DbError;
// the catalogue is empty then.
void loadCatalogue(db::Connection& connection, Catalogue& catalogue);

// A value as the catalogue and the class rows keep it: numbers as their
// decimal digits, null as an empty text.
QString valueText(const db::Connection& connection, const QVariant& value);

}  // namespace korvo::builder

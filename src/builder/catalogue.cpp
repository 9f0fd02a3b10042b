#include "builder/catalogue.h"

namespace korvo::builder {

QString catalogueQuery() {
  return QStringLiteral(
      "select OB_IDOBJ, OB_NAME, OB_IDCLASS, decode( instr( replace( replace( replace( replace(    "
      "replace(translate(lower(OB_SELECT),'A ','A'), 'sum(','#') ,'max(','#') ,'min(','#') "
      ",'count(','#') ,'avg(','#') ,'#'),0,0,1) OB_PROP, OB_SELECT, OB_WHERE, OB_COMMENT, "
      "OB_POSITION, replace(substr(OB_PROP,1,4),',') OB_TYPE from KORVO_OBJECT where OB_HIDDEN = "
      "'N' order by OB_IDCLASS, OB_POSITION, OB_BASICDATE_ID, substr(OB_PROP, length(OB_PROP) -1, "
      "1)");
}

QString scramblingFlagQuery() { return QStringLiteral("select UN_CRYPTAGE FROM KORVO_UNIVERS"); }

void Catalogue::clear() {
  rows_.clear();
  firstById_.clear();
  firstByClass_.clear();
}

void Catalogue::append(CatalogueRow row) {
  const int index = static_cast<int>(rows_.size());
  // The first row of an id answers Get_Obj_Info, as a walk from the top would.
  if (!firstById_.contains(row.OB_IDOBJ)) firstById_.insert(row.OB_IDOBJ, index);
  if (!firstByClass_.contains(row.OB_IDCLASS)) firstByClass_.insert(row.OB_IDCLASS, index);
  rows_.append(std::move(row));
}

void Catalogue::Get_Obj_Info(const QString& id, QString& value, const QString& column) const {
  const bool select = column == QLatin1String("OB_SELECT");
  if (!select && column != QLatin1String("OB_WHERE")) return;
  const auto it = firstById_.constFind(id);
  if (it == firstById_.cend()) return;
  const CatalogueRow& row = rows_[it.value()];
  value = select ? row.OB_SELECT : row.OB_WHERE;
}

QList<const CatalogueRow*> Catalogue::objectsOfClass(const QString& classId) const {
  QList<const CatalogueRow*> out;
  const auto it = firstByClass_.constFind(classId);
  if (it == firstByClass_.cend()) return out;
  for (int i = it.value(); i < rows_.size() && rows_[i].OB_IDCLASS == classId; ++i)
    out.append(&rows_[i]);
  return out;
}

QString valueText(const db::Connection& connection, const QVariant& value) {
  if (value.isNull()) return QString();
  switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::ULongLong:
    case QMetaType::UInt:
      return QString::number(value.toLongLong());
    case QMetaType::QString:
      return value.toString();
    default:
      return connection.display(value);
  }
}

void loadCatalogue(db::Connection& connection, Catalogue& catalogue) {
  catalogue.clear();
  std::unique_ptr<db::Cursor> cursor = connection.query(catalogueQuery());
  QList<db::Row> rows;
  cursor->fetch(rows, 0);  // every row in one go
  for (const db::Row& r : rows) {
    auto text = [&](int i) { return valueText(connection, r.value(i)); };
    CatalogueRow row;
    row.OB_IDOBJ = text(0);
    row.OB_NAME = text(1);
    row.OB_IDCLASS = text(2);
    row.OB_PROP = text(3).toInt();
    row.OB_SELECT = text(4);
    row.OB_WHERE = text(5);
    row.OB_COMMENT = text(6);
    row.OB_POSITION = text(7);
    row.OB_TYPE = text(8);
    catalogue.append(std::move(row));
  }
}

}  // namespace korvo::builder

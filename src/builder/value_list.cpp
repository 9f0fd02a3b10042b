#include "builder/value_list.h"

#include <memory>

namespace korvo::builder {
namespace {

QString quotedValue(QString value) {
  value.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QLatin1Char('\'') + value + QLatin1Char('\'');
}

}  // namespace

ValueChoice valueChoiceFor(const QString& operatorLabel, const kernel::TextTables& texts) {
  const QStringList& ops = texts.operatorLabels;
  // 9 "Dans liste", 10 "Pas dans liste", 11 "Non renseigné", 12 "Renseigné".
  if (operatorLabel == ops.value(11) || operatorLabel == ops.value(12)) return ValueChoice::None;
  if (operatorLabel == ops.value(9) || operatorLabel == ops.value(10)) return ValueChoice::Multiple;
  return ValueChoice::Single;
}

QString valueTableQuery(const QString& objectId, bool fromPromptDialog) {
  return QStringLiteral(
             "select  (SELECT TB_NAME FROM KORVO_TABLE T2 where T2.TB_IDTAB = T1.TB_ALIAS ) "
             "||' '|| TB_NAME from KORVO_TABLE T1 where TB_IDTAB in (select OT_IDTAB  from "
             "KORVO_OBJ_TAB where OT_IDOBJ = ") +
         objectId +
         (fromPromptDialog ? QStringLiteral(" and  rownum = 1)") : QStringLiteral("and  rownum = 1)"));
}

QString distinctValuesQuery(const QString& selectExpression, const QString& fromText) {
  return QStringLiteral("select distinct ") + selectExpression + QStringLiteral(" from ") +
         fromText + QStringLiteral(" order By 1");
}

ValueList distinctValues(db::Connection& connection, const Catalogue& catalogue,
                         const QString& objectId, bool fromPromptDialog) {
  ValueList out;
  QString select;
  catalogue.Get_Obj_Info(objectId, select, QStringLiteral("OB_SELECT"));
  // The id goes into SQL text: only digits are ever sent.
  bool numeric = false;
  objectId.toLongLong(&numeric);
  if (select.isEmpty() || !numeric) return out;
  QList<db::Row> rows;
  connection.query(valueTableQuery(objectId, fromPromptDialog))->fetch(rows, 1);
  const QString from = rows.isEmpty() || rows[0].isEmpty() || rows[0][0].isNull()
                           ? QString()
                           : connection.display(rows[0][0]);
  if (from.isEmpty()) return out;
  out.found = true;
  rows.clear();
  connection.query(distinctValuesQuery(select, from))->fetch(rows, 0);
  for (const db::Row& row : rows) {
    const QString value = row.isEmpty() || row[0].isNull() ? QString() : connection.display(row[0]);
    if (fromPromptDialog && value.trimmed().isEmpty()) continue;
    out.values << value;
  }
  return out;
}

QString operandForValues(const QStringList& chosen, ValueChoice choice) {
  if (chosen.isEmpty() || choice == ValueChoice::None) return QString();
  if (choice == ValueChoice::Single) return quotedValue(chosen.first());
  QStringList quoted;
  for (const QString& v : chosen) quoted << quotedValue(v);
  return QLatin1Char('(') + quoted.join(QLatin1Char(',')) + QLatin1Char(')');
}

QStringList filterValues(const QStringList& values, const QString& typed) {
  if (typed.isEmpty()) return values;
  QStringList out;
  for (const QString& v : values)
    if (v.contains(typed, Qt::CaseInsensitive)) out << v;
  return out;
}

}  // namespace korvo::builder

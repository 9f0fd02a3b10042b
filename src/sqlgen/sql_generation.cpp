#include "sqlgen/sql_generation.h"

#include <array>

namespace korvo::sqlgen {
namespace {

using kernel::Grid;

// Columns read from the two grids.
constexpr int kObjId = 0, kObjMeasure = 1, kObjName = 2;
constexpr int kCondId = 0, kCondClose = 1, kCondConnector = 2, kCondOpen = 3, kCondOperator = 5,
              kCondOperand = 7, kCondType = 8, kCondMeasure = 9;
constexpr int kAliasLength = 30;

// SQL operators in the order of the 14 operator labels (label 0 is the invitation).
constexpr std::array<const char*, 14> kSqlOperators = {
    "=",  "<>",          ">",  ">=",     "<",       "<=",          "BETWEEN",
    "NOT BETWEEN", "IN", "NOT IN", "IS NULL", "IS NOT NULL", "LIKE", "NOT LIKE"};

bool isBlankChar(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
         c == QLatin1Char('\n');
}

QString trimmedBlanks(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && isBlankChar(text[begin])) ++begin;
  while (end > begin && isBlankChar(text[end - 1])) --end;
  return text.mid(begin, end - begin);
}

// Only a to z: accented letters of a constant stay as typed.
QString asciiUpper(QString text) {
  for (QChar& c : text) {
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 'a' + 'A');
  }
  return text;
}

QString firstWord(const QString& text) {
  qsizetype end = 0;
  while (end < text.size() && !isBlankChar(text[end])) ++end;
  return text.left(end);
}

bool isListOperator(const QString& sqlOp) {
  return sqlOp == QLatin1String("IN") || sqlOp == QLatin1String("NOT IN");
}

// The first column of every row of `sql`, as text.
QStringList firstColumn(db::Connection& connection, const QString& sql) {
  std::unique_ptr<db::Cursor> cursor = connection.query(sql);
  QList<db::Row> rows;
  cursor->fetch(rows, 0);
  QStringList values;
  values.reserve(rows.size());
  for (const db::Row& row : rows) values << builder::valueText(connection, row.value(0));
  return values;
}

QString idList(const QStringList& ids) {
  return QLatin1Char('(') + ids.join(QLatin1Char(',')) + QLatin1Char(')');
}

// Get_Obj_Info keeps its output for an unknown or empty id: the text is
// emptied first so that a row without an object gives no expression.
QString objectInfo(const builder::Catalogue& catalogue, const QString& id, const char* column) {
  QString value;
  catalogue.Get_Obj_Info(id, value, QLatin1String(column));
  return value;
}

bool hasResultObject(const Grid& objects) {
  for (int row = 1; row < objects.rowCount(); ++row) {
    if (!objects.cell(row, kObjId).isEmpty()) return true;
  }
  return false;
}

}  // namespace

QString sqlConnector(const QString& label, const kernel::TextTables& texts) {
  QString connector = label.toUpper();
  const QString orLabel = texts.connectiveLabels.value(0);
  const QString andLabel = texts.connectiveLabels.value(1);
  if (!orLabel.isEmpty()) connector.replace(orLabel, QStringLiteral("OR"));
  if (!andLabel.isEmpty()) connector.replace(andLabel, QStringLiteral("AND"));
  return connector;
}

QString sqlOperator(const QString& label, const kernel::TextTables& texts) {
  for (int i = 0; i < static_cast<int>(kSqlOperators.size()); ++i) {
    if (texts.operatorLabels.value(i + 1) == label && !label.isEmpty())
      return QString::fromLatin1(kSqlOperators[static_cast<size_t>(i)]);
  }
  return QString();
}

QString whereOperand(const QString& operand, const QString& sqlOp, const QString& typeCode) {
  QString value = asciiUpper(trimmedBlanks(operand));
  const bool number = typeCode == QLatin1String("Num");
  const bool list = isListOperator(sqlOp);
  const QChar quote = QLatin1Char('\'');
  if (!list) {
    const QString word = firstWord(value);
    const bool passes = value.startsWith(quote) || value.endsWith(quote) ||
                        value.startsWith(QLatin1Char('(')) || value.endsWith(QLatin1Char(')')) ||
                        word == QLatin1String("AND") || word == QLatin1String("OR") ||
                        word == QLatin1String("SELECT") || word == QLatin1String("SYSDATE") ||
                        value.isEmpty() || number;
    if (!passes) {
      value.replace(quote, QStringLiteral("''"));
      value = quote + value + quote;
    }
  }
  if (number && value.size() >= 3 && value.startsWith(quote) && value.endsWith(quote))
    value = value.mid(1, value.size() - 2);
  if (number && !list) value.replace(QLatin1Char(','), QLatin1Char('.'));
  if (list && !value.isEmpty() &&
      !(value.startsWith(QLatin1Char('(')) && value.endsWith(QLatin1Char(')'))))
    value = QLatin1Char('(') + value + QLatin1Char(')');
  return value;
}

QString tableQuery(const QString& objectIdList) {
  return QStringLiteral("select distinct OT_IDTAB IDTAB  from KORVO_OBJ_TAB where OT_IDOBJ in ") +
         objectIdList;
}

QString treeCountQuery(const QString& tableList) {
  return QStringLiteral("select count( distinct T_TREE) from KORVO_TAB_TREE where T_ID in ") +
         tableList;
}

QString pathQuery(const QStringList& tables) {
  const QString path = QStringLiteral(
      "select  t_id from  korvo_tab_tree start with t_id = %1 connect by prior t_parent = t_id");
  const QString levelPath = QStringLiteral(
      "select t_niv, t_id from  korvo_tab_tree start with t_id = %1 connect by prior t_parent = "
      "t_id");
  QString sql = QStringLiteral("select t_id from (select t_id  from ( select * from (");
  const auto addPaths = [&](const QString& fragment, const char* between, const char* after) {
    for (qsizetype i = 0; i < tables.size(); ++i) {
      sql += fragment.arg(tables[i]);
      sql += QLatin1String(i + 1 < tables.size() ? between : after);
    }
  };
  addPaths(path, " UNION ", ") minus select * from  (");
  addPaths(path, " INTERSECT ", ")) union select t_id  from  (");
  addPaths(levelPath, " INTERSECT ", " order by t_niv desc ) where rownum = 1)");
  return sql;
}

QString fromListQuery(const QString& pathList) {
  return QStringLiteral(
             "select  trim((SELECT TB_NAME FROM KORVO_TABLE T2 where T2.TB_IDTAB = T1.TB_ALIAS ) "
             "||' '|| TB_NAME)  from KORVO_TABLE T1 where TB_IDTAB in") +
         pathList;
}

QString joinQuery(const QString& pathList) {
  return QStringLiteral("select distinct JN_DATAVALUE from KORVO_JOIN where  JN_IDTAB1 in ") +
         pathList + QStringLiteral(" and JN_IDTAB2 in ") + pathList +
         QStringLiteral(" and JN_PROP like '%,FALSE,%'");
}

Generation generer_requete(const Grid& objects, const Grid& conditions,
                           const builder::Catalogue& catalogue, db::Connection& connection,
                           const kernel::TextTables& texts) {
  Generation out;
  if (!hasResultObject(objects)) {
    out.error = QStringLiteral("the query has no result object: nothing to generate");
    out.refusedEmpty = true;
    return out;
  }
  QStringList& memo = out.lines;
  memo << QStringLiteral("Select distinct ");

  const int lastObject = objects.rowCount() - 1;
  QString objectIds = QStringLiteral("(");
  QString groupBy = QStringLiteral(" GROUP BY ");
  bool hasMeasure = false;
  bool firstGroup = true;
  for (int row = 1; row <= lastObject; ++row) {
    const QString id = objects.cell(row, kObjId);
    const QString select = objectInfo(catalogue, id, "OB_SELECT");
    const QString alias = objects.cell(row, kObjName).left(kAliasLength);
    memo << QStringLiteral("    ") + select + QStringLiteral(" \"") + alias + QLatin1Char('"') +
                (row < lastObject ? QStringLiteral(",") : QString());
    objectIds += id;
    if (row < lastObject) objectIds += QStringLiteral(", ");
    if (objects.cell(row, kObjMeasure) == QLatin1String("1")) {
      hasMeasure = true;
    } else {
      if (!firstGroup) groupBy += QStringLiteral(", ");
      groupBy += select;
      firstGroup = false;
    }
  }
  for (int row = 1; row < conditions.rowCount(); ++row) {
    const QString id = conditions.cell(row, kCondId);
    if (!id.isEmpty()) objectIds += QLatin1Char(',') + id;
  }
  objectIds += QLatin1Char(')');
  memo << QStringLiteral(" From ");

  QString pathList = QStringLiteral("()");
  try {
    const QString tableList = idList(firstColumn(connection, tableQuery(objectIds)));
    if (tableList == QLatin1String("()")) {
      // Objects without tables: nothing to test against the tree.
      memo << QStringLiteral("    DUAL");
    } else {
      const QStringList count = firstColumn(connection, treeCountQuery(tableList));
      if ((count.isEmpty() ? 0 : count.first().toInt()) != 1) out.cartesian = true;

      const QStringList tables = firstColumn(connection, tableQuery(objectIds));
      pathList = idList(firstColumn(connection, pathQuery(tables)));
      if (pathList == QLatin1String("()")) pathList = tableList;

      const QStringList names = firstColumn(connection, fromListQuery(pathList));
      for (qsizetype i = 0; i < names.size(); ++i)
        memo << QStringLiteral("    ") + names[i] +
                    (i + 1 < names.size() ? QStringLiteral(",") : QString());
    }
    memo << QStringLiteral(" where  1=1");

    if (pathList != QLatin1String("()")) {
      for (const QString& join : firstColumn(connection, joinQuery(pathList)))
        memo << QStringLiteral("    AND ") + join;
    }
  } catch (const db::DbError& e) {
    out.error = e.text();
    return out;
  }

  const auto addRestriction = [&](const QString& id) {
    const QString where = objectInfo(catalogue, id, "OB_WHERE");
    if (!where.isEmpty()) memo << QStringLiteral("    AND ") + where;
  };
  for (int row = 1; row <= lastObject; ++row) addRestriction(objects.cell(row, kObjId));
  for (int row = 1; row < conditions.rowCount(); ++row)
    addRestriction(conditions.cell(row, kCondId));

  bool hasHaving = false;
  for (int row = 1; row < conditions.rowCount(); ++row) {
    const QString kind = conditions.cell(row, kCondMeasure);
    if (kind == QLatin1String("1")) hasHaving = true;
    if (kind != QLatin1String("0")) continue;
    const QString op = sqlOperator(conditions.cell(row, kCondOperator), texts);
    const QString blank = QStringLiteral(" ");
    memo << QStringLiteral("    ") + conditions.cell(row, kCondClose) + blank +
                sqlConnector(conditions.cell(row, kCondConnector), texts) + blank +
                conditions.cell(row, kCondOpen) + blank +
                objectInfo(catalogue, conditions.cell(row, kCondId), "OB_SELECT") + blank + op +
                blank +
                whereOperand(conditions.cell(row, kCondOperand), op,
                             conditions.cell(row, kCondType));
  }

  if (hasMeasure && groupBy != QLatin1String(" GROUP BY ")) memo << groupBy;
  if (hasHaving) memo << QStringLiteral("Having 1=1");
  for (int row = 1; row < conditions.rowCount(); ++row) {
    if (conditions.cell(row, kCondMeasure) != QLatin1String("1")) continue;
    const QString blank = QStringLiteral(" ");
    memo << QStringLiteral("    ") + sqlConnector(conditions.cell(row, kCondConnector), texts) +
                blank + objectInfo(catalogue, conditions.cell(row, kCondId), "OB_SELECT") +
                blank + sqlOperator(conditions.cell(row, kCondOperator), texts) + blank +
                conditions.cell(row, kCondOperand);
  }
  return out;
}

}  // namespace korvo::sqlgen

#include "repository/staging_load.h"

#include <QRegularExpression>

#include "repository/data_packet_io.h"

namespace korvo::repository {

DataPacket emptyStagingRows(const QStringList& columnNames) {
  QList<DataPacketField> fields;
  for (const QString& name : columnNames) fields << DataPacketField::string(name, 0);
  return DataPacket(fields);
}

void ChargerClientDataSet(DataPacket& target, const QString& fileName) {
  appendRowsByName(target, loadDataPacketFile(fileName));
}

void appendRowsByName(DataPacket& target, const DataPacket& file) {
  QList<int> source;
  for (const DataPacketField& field : target.fields()) source << file.fieldIndex(field.name);
  DataPacket loaded = target;
  for (int r = 0; r < file.rowCount(); ++r) {
    const int row = loaded.appendRow();
    for (int c = 0; c < loaded.fieldCount(); ++c) {
      if (loaded.fields()[c].name == QLatin1String("ROWID")) {
        loaded.setValue(row, c, QStringLiteral("0"));
      } else if (source[c] >= 0 && !file.isNull(r, source[c])) {
        loaded.setValue(row, c, file.text(r, source[c]));
      }
    }
  }
  target = loaded;
}

QString sqlLiteral(const QVariant& value, bool numberColumn) {
  static const QRegularExpression number("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$");
  if (value.isNull()) return QStringLiteral("NULL");
  const QString text = value.toString();
  if (text.isEmpty()) return QStringLiteral("NULL");
  if (numberColumn && number.match(text).hasMatch()) return text;
  QString quoted = text;
  quoted.replace('\'', QStringLiteral("''"));
  return '\'' + quoted + '\'';
}

QStringList stagingInserts(const TableDefinition& table, const DataPacket& rows) {
  QStringList names;
  QList<bool> numeric;
  for (const DataPacketField& field : rows.fields()) {
    names << field.name;
    const ColumnDefinition* column = table.column(field.name);
    numeric << (column && column->isNumber());
  }
  const QString head = QStringLiteral("insert into %1 (%2) values (")
                           .arg(table.name, names.join(QStringLiteral(", ")));
  QStringList statements;
  for (int r = 0; r < rows.rowCount(); ++r) {
    QStringList literals;
    for (int c = 0; c < rows.fieldCount(); ++c)
      literals << sqlLiteral(rows.value(r, c), numeric[c]);
    statements << head + literals.join(QStringLiteral(", ")) + ')';
  }
  return statements;
}

}  // namespace korvo::repository

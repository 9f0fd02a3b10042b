#include "repository/data_packet.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>
#include <limits>

namespace korvo::repository {
namespace {

struct TypeName {
  FieldType type;
  const char* name;
};

constexpr TypeName kTypeNames[] = {
    {FieldType::String, "string"},
    {FieldType::StringUni, "string.uni"},
    {FieldType::I1, "i1"},
    {FieldType::I2, "i2"},
    {FieldType::I4, "i4"},
    {FieldType::I8, "i8"},
    {FieldType::UI1, "ui1"},
    {FieldType::UI2, "ui2"},
    {FieldType::UI4, "ui4"},
    {FieldType::Boolean, "boolean"},
    {FieldType::R8, "r8"},
    {FieldType::Fixed, "fixed"},
    {FieldType::FixedFMT, "fixedFMT"},
    {FieldType::Date, "date"},
    {FieldType::Time, "time"},
    {FieldType::DateTime, "dateTime"},
    {FieldType::SQLDateTime, "SQLdateTime"},
    {FieldType::BinHex, "bin.hex"},
    {FieldType::Nested, "nested"},
    {FieldType::IntArray, "IntArray"},
    {FieldType::UIntArray, "UIntArray"},
};

struct IntegerRange {
  qlonglong low;
  qlonglong high;
};

IntegerRange rangeOf(FieldType type) {
  switch (type) {
    case FieldType::I1:
      return {-128, 127};
    case FieldType::I2:
      return {-32768, 32767};
    case FieldType::I4:
      return {std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()};
    case FieldType::UI1:
      return {0, 255};
    case FieldType::UI2:
      return {0, 65535};
    case FieldType::UI4:
      return {0, 4294967295LL};
    default:
      return {std::numeric_limits<qlonglong>::min(), std::numeric_limits<qlonglong>::max()};
  }
}

bool isTextBlob(const DataPacketField& field) {
  const QString sub = field.subtype.toLower();
  return sub == "text" || sub == "widetext" || sub == "formatted" || sub == "xml";
}

std::optional<qlonglong> toInteger(const QVariant& value) {
  bool ok = false;
  switch (value.typeId()) {
    case QMetaType::Double: {
      const double d = value.toDouble();
      if (d != static_cast<double>(static_cast<qlonglong>(d))) return std::nullopt;
      return static_cast<qlonglong>(d);
    }
    case QMetaType::Bool:
      return value.toBool() ? 1 : 0;
    case QMetaType::QString: {
      const qlonglong n = value.toString().trimmed().toLongLong(&ok);
      return ok ? std::optional<qlonglong>(n) : std::nullopt;
    }
    default: {
      const qlonglong n = value.toLongLong(&ok);
      return ok ? std::optional<qlonglong>(n) : std::nullopt;
    }
  }
}

QString decimalText(const QVariant& value) {
  static const QRegularExpression decimal("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$");
  if (value.typeId() == QMetaType::Double) {
    return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
  }
  if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int ||
      value.typeId() == QMetaType::ULongLong || value.typeId() == QMetaType::UInt) {
    return value.toString();
  }
  const QString text = value.toString().trimmed();
  return decimal.match(text).hasMatch() ? text : QString();
}

}  // namespace

QString fieldTypeName(FieldType type) {
  for (const auto& entry : kTypeNames) {
    if (entry.type == type) return QString::fromLatin1(entry.name);
  }
  return QStringLiteral("string");
}

std::optional<FieldType> fieldTypeFromName(const QString& name) {
  for (const auto& entry : kTypeNames) {
    if (name == QLatin1String(entry.name)) return entry.type;
  }
  return std::nullopt;
}

bool isIntegerType(FieldType type) {
  switch (type) {
    case FieldType::I1:
    case FieldType::I2:
    case FieldType::I4:
    case FieldType::I8:
    case FieldType::UI1:
    case FieldType::UI2:
    case FieldType::UI4:
      return true;
    default:
      return false;
  }
}

bool isNumericType(FieldType type) {
  return isIntegerType(type) || type == FieldType::R8 || type == FieldType::Fixed ||
         type == FieldType::FixedFMT;
}

DataPacketField DataPacketField::string(const QString& name, int width) {
  DataPacketField field;
  field.name = name;
  field.type = FieldType::String;
  field.width = width;
  return field;
}

DataPacketField DataPacketField::of(const QString& name, FieldType type) {
  DataPacketField field;
  field.name = name;
  field.type = type;
  return field;
}

std::optional<QVariant> convertForField(const DataPacketField& field, const QVariant& value) {
  if (value.isNull()) return QVariant();
  switch (field.type) {
    case FieldType::String: {
      QString text = value.typeId() == QMetaType::Double
                         ? QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest)
                         : value.toString();
      if (field.width > 0 && text.size() > field.width) text.truncate(field.width);
      return QVariant(text);
    }
    case FieldType::StringUni:
      return QVariant(value.toString());
    case FieldType::I1:
    case FieldType::I2:
    case FieldType::I4:
    case FieldType::I8:
    case FieldType::UI1:
    case FieldType::UI2:
    case FieldType::UI4: {
      const auto n = toInteger(value);
      const IntegerRange range = rangeOf(field.type);
      if (!n || *n < range.low || *n > range.high) return std::nullopt;
      return QVariant(*n);
    }
    case FieldType::Boolean: {
      if (value.typeId() == QMetaType::Bool) return value;
      const QString text = value.toString().trimmed().toUpper();
      if (text == "TRUE") return QVariant(true);
      if (text == "FALSE") return QVariant(false);
      return std::nullopt;
    }
    case FieldType::R8: {
      bool ok = false;
      const double d = value.typeId() == QMetaType::QString
                           ? value.toString().trimmed().toDouble(&ok)
                           : value.toDouble(&ok);
      return ok ? std::optional<QVariant>(QVariant(d)) : std::nullopt;
    }
    case FieldType::Fixed:
    case FieldType::FixedFMT: {
      const QString text = decimalText(value);
      return text.isEmpty() ? std::nullopt : std::optional<QVariant>(QVariant(text));
    }
    case FieldType::Date: {
      QDate date;
      if (value.typeId() == QMetaType::QDate)
        date = value.toDate();
      else if (value.typeId() == QMetaType::QDateTime)
        date = value.toDateTime().date();
      else
        date = QDate::fromString(value.toString().trimmed(), Qt::ISODate);
      return date.isValid() ? std::optional<QVariant>(QVariant(date)) : std::nullopt;
    }
    case FieldType::Time: {
      QTime time;
      if (value.typeId() == QMetaType::QTime)
        time = value.toTime();
      else if (value.typeId() == QMetaType::QDateTime)
        time = value.toDateTime().time();
      else
        time = QTime::fromString(value.toString().trimmed(), Qt::ISODateWithMs);
      return time.isValid() ? std::optional<QVariant>(QVariant(time)) : std::nullopt;
    }
    case FieldType::DateTime:
    case FieldType::SQLDateTime: {
      QDateTime stamp;
      if (value.typeId() == QMetaType::QDateTime)
        stamp = value.toDateTime();
      else if (value.typeId() == QMetaType::QDate)
        stamp = value.toDate().startOfDay();
      else
        stamp = QDateTime::fromString(value.toString().trimmed(), Qt::ISODateWithMs);
      return stamp.isValid() ? std::optional<QVariant>(QVariant(stamp)) : std::nullopt;
    }
    case FieldType::BinHex:
      if (isTextBlob(field)) return QVariant(value.toString());
      if (value.typeId() == QMetaType::QByteArray) return value;
      return QVariant(value.toString().toUtf8());
    case FieldType::Nested:
      if (value.canConvert<DataPacket>() && value.typeId() == qMetaTypeId<DataPacket>())
        return value;
      return std::nullopt;
    case FieldType::IntArray:
    case FieldType::UIntArray: {
      QVariantList numbers;
      const QVariantList items =
          value.typeId() == QMetaType::QVariantList ? value.toList() : QVariantList();
      if (value.typeId() != QMetaType::QVariantList) return std::nullopt;
      for (const QVariant& item : items) {
        const auto n = toInteger(item);
        if (!n || (field.type == FieldType::UIntArray && *n < 0)) return std::nullopt;
        numbers << QVariant(*n);
      }
      return QVariant(numbers);
    }
  }
  return std::nullopt;
}

int DataPacket::fieldIndex(const QString& name) const {
  for (int i = 0; i < fields_.size(); ++i) {
    if (fields_[i].name == name) return i;
  }
  return -1;
}

int DataPacket::appendRow() {
  rows_.append(DataPacketRow(fields_.size()));
  return static_cast<int>(rows_.size()) - 1;
}

void DataPacket::setValue(int row, int column, const QVariant& value) {
  const DataPacketField& field = fields_.at(column);
  const auto converted = convertForField(field, value);
  if (!converted) {
    throw DataPacketError(QStringLiteral("value \"%1\" does not fit the %2 field %3")
                              .arg(value.toString(), fieldTypeName(field.type), field.name));
  }
  rows_[row][column] = *converted;
}

QString DataPacket::text(int row, int column) const {
  const QVariant& v = value(row, column);
  if (v.isNull()) return QString();
  switch (v.typeId()) {
    case QMetaType::Bool:
      return v.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case QMetaType::Double:
      return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QDate:
      return v.toDate().toString(Qt::ISODate);
    case QMetaType::QTime:
      return v.toTime().toString(Qt::ISODateWithMs);
    case QMetaType::QDateTime:
      return v.toDateTime().toString(Qt::ISODateWithMs);
    case QMetaType::QVariantList: {
      QStringList parts;
      for (const QVariant& item : v.toList()) parts << item.toString();
      return parts.join(' ');
    }
    default:
      return v.toString();
  }
}

}  // namespace korvo::repository

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QSet>
#include <QTime>

#include "repository/code_page_1252.h"
#include "repository/data_packet_io.h"

namespace korvo::repository {
namespace {

bool fitsAttributeName(QChar c) {
  if (c.unicode() >= 0x80) return c.isLetterOrNumber();
  return c.isLetterOrNumber() || c == '_' || c == '-' || c == '.';
}

void appendCodePoint(QByteArray& out, char32_t code) {
  out += "&#" + QByteArray::number(static_cast<qulonglong>(code)) + ';';
}

// Escapes a text and writes it in the code page; a character the code page
// cannot hold becomes a numeric character reference.
void appendEscaped(QByteArray& out, const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    switch (c.unicode()) {
      case '<':
        out += "&lt;";
        continue;
      case '>':
        out += "&gt;";
        continue;
      case '&':
        out += "&amp;";
        continue;
      case '\'':
        out += "&apos;";
        continue;
      case '"':
        out += "&quot;";
        continue;
      case '\r':
        out += "&#013;";
        continue;
      case '\n':
        out += "&#010;";
        continue;
      case '\t':
        out += "&#009;";
        continue;
      case '\\':
        out += "&#092;";
        continue;
      default:
        break;
    }
    if (const auto byte = charToWindows1252(c)) {
      out += static_cast<char>(*byte);
    } else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      appendCodePoint(out, QChar::surrogateToUcs4(c, text.at(i + 1)));
      ++i;
    } else {
      appendCodePoint(out, c.unicode());
    }
  }
}

void appendAttribute(QByteArray& out, const QString& name, const QString& value) {
  out += ' ';
  appendEscaped(out, name);
  out += "=\"";
  appendEscaped(out, value);
  out += '"';
}

QString twoDigits(int n) { return QString::number(n).rightJustified(2, '0'); }

QString timeText(const QTime& time) {
  const int millisInMinute = time.second() * 1000 + time.msec();
  return twoDigits(time.hour()) + ':' + twoDigits(time.minute()) + ':' +
         QString::number(millisInMinute).rightJustified(5, '0');
}

QString dateText(const QDate& date) {
  return QString::number(date.year()).rightJustified(4, '0') + twoDigits(date.month()) +
         twoDigits(date.day());
}

bool isTextBlob(const DataPacketField& field) {
  const QString sub = field.subtype.toLower();
  return sub == "text" || sub == "widetext" || sub == "formatted" || sub == "xml";
}

QString fileForm(const DataPacketField& field, const QVariant& value) {
  switch (field.type) {
    case FieldType::Boolean:
      return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case FieldType::R8:
      return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case FieldType::Date:
      return dateText(value.toDate());
    case FieldType::Time:
      return timeText(value.toTime());
    case FieldType::DateTime:
    case FieldType::SQLDateTime: {
      const QDateTime stamp = value.toDateTime();
      if (stamp.time() == QTime(0, 0)) return dateText(stamp.date());
      return dateText(stamp.date()) + 'T' + timeText(stamp.time());
    }
    case FieldType::BinHex:
      if (isTextBlob(field)) return value.toString();
      return QString::fromLatin1(value.toByteArray().toBase64());
    case FieldType::IntArray:
    case FieldType::UIntArray: {
      QStringList parts;
      for (const QVariant& item : value.toList()) parts << item.toString();
      return parts.join(' ');
    }
    default:
      return value.toString();
  }
}

// Nested fields are written by recursion; a depth the reader would refuse is
// refused here before anything is written.
void checkNesting(const QList<DataPacketField>& fields, int depth) {
  for (const DataPacketField& f : fields) {
    if (f.type != FieldType::Nested) continue;
    if (depth >= kMaxNestedFieldDepth) {
      throw DataPacketError(QStringLiteral("field %1: nested tables deeper than %2 levels")
                                .arg(f.name)
                                .arg(kMaxNestedFieldDepth));
    }
    checkNesting(f.nestedFields, depth + 1);
  }
}

void appendFields(QByteArray& out, const QList<DataPacketField>& fields) {
  const QStringList attrs = attributeNames(fields);
  out += "<FIELDS>";
  for (int i = 0; i < fields.size(); ++i) {
    const DataPacketField& f = fields[i];
    out += "<FIELD";
    if (attrs[i] != f.name) appendAttribute(out, "fieldname", f.name);
    appendAttribute(out, "attrname", attrs[i]);
    appendAttribute(out, "fieldtype", fieldTypeName(f.type));
    if (!f.subtype.isEmpty()) appendAttribute(out, "SUBTYPE", f.subtype);
    if (f.required) appendAttribute(out, "required", "true");
    if (f.readOnly) appendAttribute(out, "readonly", "true");
    if (f.hidden) appendAttribute(out, "hidden", "true");
    if (f.linkField) appendAttribute(out, "linkfield", "true");
    if (f.width > 0) appendAttribute(out, "WIDTH", QString::number(f.width));
    if (f.type == FieldType::Fixed || f.type == FieldType::FixedFMT) {
      appendAttribute(out, "DECIMALS", QString::number(f.decimals));
    }
    if (f.type == FieldType::Nested) {
      out += '>';
      appendFields(out, f.nestedFields);
      out += "<PARAMS/></FIELD>";
    } else {
      out += "/>";
    }
  }
  out += "</FIELDS>";
}

void appendRows(QByteArray& out, const QList<DataPacketField>& fields,
                const QList<DataPacketRow>& rows) {
  const QStringList attrs = attributeNames(fields);
  for (const DataPacketRow& row : rows) {
    out += "<ROW";
    QByteArray nested;
    for (int i = 0; i < fields.size(); ++i) {
      const QVariant& value = row.value(i);
      if (value.isNull()) continue;
      if (fields[i].type == FieldType::Nested) {
        const DataPacket child = value.value<DataPacket>();
        nested += '<';
        appendEscaped(nested, attrs[i]);
        nested += '>';
        appendRows(nested, fields[i].nestedFields, child.rows());
        nested += "</";
        appendEscaped(nested, attrs[i]);
        nested += '>';
        continue;
      }
      appendAttribute(out, attrs[i], fileForm(fields[i], value));
    }
    if (nested.isEmpty()) {
      out += "/>";
    } else {
      out += '>' + nested + "</ROW>";
    }
  }
}

}  // namespace

QStringList attributeNames(const QList<DataPacketField>& fields) {
  QStringList bases;
  for (const DataPacketField& f : fields) {
    QString base;
    for (QChar c : f.name) base.append(fitsAttributeName(c) ? c : QChar('_'));
    if (base.isEmpty()) base = QStringLiteral("_");
    bases << base;
  }
  const QSet<QString> allBases(bases.begin(), bases.end());
  QSet<QString> used;
  QStringList names;
  for (const QString& base : bases) {
    QString name = base;
    for (int suffix = 1; used.contains(name); ++suffix) {
      name = base + QString::number(suffix);
      if (allBases.contains(name)) name = base;  // would clash with another field's own name
    }
    used.insert(name);
    names << name;
  }
  return names;
}

QByteArray writeDataPacket(const DataPacket& packet) {
  checkNesting(packet.fields(), 0);
  QByteArray out =
      "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA>";
  appendFields(out, packet.fields());
  out += "<PARAMS";
  // Parameter names are written as XML names, as field attribute names are, so
  // that a name the reader tolerated never makes a file the reader refuses.
  QList<DataPacketField> paramNames;
  for (const auto& param : packet.params) {
    DataPacketField named;
    named.name = param.first;
    paramNames << named;
  }
  const QStringList names = attributeNames(paramNames);
  qsizetype index = 0;
  for (const auto& param : packet.params) appendAttribute(out, names[index++], param.second);
  out += "/></METADATA><ROWDATA>";
  appendRows(out, packet.fields(), packet.rows());
  out += "</ROWDATA></DATAPACKET>";
  return out;
}

void saveDataPacketFile(const QString& path, const DataPacket& packet) {
  const QByteArray bytes = writeDataPacket(packet);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    throw DataPacketError(path + QStringLiteral(": ") + file.errorString());
  }
  file.write(bytes);
  if (!file.commit()) throw DataPacketError(path + QStringLiteral(": ") + file.errorString());
}

}  // namespace korvo::repository

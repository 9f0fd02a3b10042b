#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QTime>

#include "repository/data_packet_encoding.h"
#include "repository/data_packet_io.h"
#include "repository/regular_file.h"

namespace korvo::repository {
namespace {

struct XmlElement {
  QString name;
  QList<QPair<QString, QString>> attributes;  // in file order, repeats kept
  QList<XmlElement> children;
  qsizetype offset = 0;

  const XmlElement* child(const QString& childName) const {
    for (const XmlElement& c : children) {
      if (c.name == childName) return &c;
    }
    return nullptr;
  }
  std::optional<QString> attribute(const QString& attrName) const {
    for (const auto& [n, v] : attributes) {
      if (n == attrName) return v;
    }
    return std::nullopt;
  }
};

// A small XML reader for data packets: elements and attributes only. It takes
// any character inside an attribute value (the Windows program writes raw
// control characters there) and refuses everything structurally wrong.
class TolerantXmlParser {
 public:
  TolerantXmlParser(const QString& text, const QString& source) : text_(text), source_(source) {}

  XmlElement parseDocument() {
    skipProlog();
    if (atEnd() || peek() != '<') fail(QStringLiteral("no root element"));
    XmlElement root = parseElement(1);
    skipMisc();
    if (!atEnd()) fail(QStringLiteral("text after the root element"));
    return root;
  }

  [[noreturn]] void fail(const QString& what) const { failAt(pos_, what); }

  [[noreturn]] void failAt(qsizetype offset, const QString& what) const {
    const qsizetype line = text_.left(offset).count(QChar('\n')) + 1;
    throw DataPacketError(QStringLiteral("%1: line %2: %3").arg(source_).arg(line).arg(what));
  }

 private:
  bool atEnd() const { return pos_ >= text_.size(); }
  QChar peek() const { return text_.at(pos_); }
  bool startsWith(const char* s) const {
    return QStringView(text_).mid(pos_).startsWith(QLatin1String(s));
  }

  void skipSpace() {
    while (!atEnd() && (peek() == ' ' || peek() == '\r' || peek() == '\n' || peek() == '\t'))
      ++pos_;
  }

  void skipUntil(const char* terminator, const QString& what) {
    const qsizetype end = text_.indexOf(QLatin1String(terminator), pos_);
    if (end < 0) fail(what);
    pos_ = end + qstrlen(terminator);
  }

  void skipMisc() {
    for (;;) {
      skipSpace();
      if (startsWith("<?"))
        skipUntil("?>", QStringLiteral("unterminated processing instruction"));
      else if (startsWith("<!--"))
        skipUntil("-->", QStringLiteral("unterminated comment"));
      else if (startsWith("<!"))
        skipUntil(">", QStringLiteral("unterminated declaration"));
      else
        return;
    }
  }

  void skipProlog() {
    if (!text_.isEmpty() && text_.at(0) == QChar(0xFEFF)) ++pos_;
    skipMisc();
  }

  static bool isNameChar(QChar c) {
    return !(c.isSpace() || c == '=' || c == '/' || c == '>' || c == '<' || c == '"' || c == '\'' ||
             c == '&');
  }

  QString parseName() {
    const qsizetype start = pos_;
    while (!atEnd() && isNameChar(peek())) ++pos_;
    if (pos_ == start) fail(QStringLiteral("a name was expected"));
    return text_.mid(start, pos_ - start);
  }

  QString parseEntity() {
    const qsizetype start = pos_;  // at '&'
    const qsizetype end = text_.indexOf(QChar(';'), pos_);
    if (end < 0 || end - start > 12) failAt(start, QStringLiteral("a bare \"&\" in a value"));
    const QString entity = text_.mid(start + 1, end - start - 1);
    pos_ = end + 1;
    if (entity == "lt") return QStringLiteral("<");
    if (entity == "gt") return QStringLiteral(">");
    if (entity == "amp") return QStringLiteral("&");
    if (entity == "apos") return QStringLiteral("'");
    if (entity == "quot") return QStringLiteral("\"");
    if (entity.startsWith('#')) {
      bool ok = false;
      const uint code =
          entity.startsWith(QLatin1String("#x")) || entity.startsWith(QLatin1String("#X"))
              ? entity.mid(2).toUInt(&ok, 16)
              : entity.mid(1).toUInt(&ok, 10);
      if (ok && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
        const char32_t cp = code;
        return QString::fromUcs4(&cp, 1);
      }
    }
    failAt(start, QStringLiteral("unknown character reference \"&%1;\"").arg(entity));
  }

  QString parseValue() {
    if (atEnd() || (peek() != '"' && peek() != '\''))
      fail(QStringLiteral("a quoted value was expected"));
    const QChar quote = peek();
    const qsizetype start = pos_++;
    QString value;
    for (;;) {
      if (atEnd()) failAt(start, QStringLiteral("unterminated attribute value"));
      const QChar c = peek();
      if (c == quote) {
        ++pos_;
        return value;
      }
      if (c == '&') {
        value += parseEntity();
      } else {
        value += c;
        ++pos_;
      }
    }
  }

  XmlElement parseElement(int depth) {
    // Elements nest by recursion (here, in the field and row readers and in
    // the element tree's own destructor): the limit keeps a hostile file from
    // exhausting the stack.
    if (depth > kMaxDataPacketNesting) {
      fail(QStringLiteral("elements nested more than %1 levels deep").arg(kMaxDataPacketNesting));
    }
    XmlElement element;
    element.offset = pos_;
    ++pos_;  // '<'
    element.name = parseName();
    for (;;) {
      skipSpace();
      if (atEnd())
        failAt(element.offset, QStringLiteral("unterminated <%1> tag").arg(element.name));
      if (startsWith("/>")) {
        pos_ += 2;
        return element;
      }
      if (peek() == '>') {
        ++pos_;
        break;
      }
      const QString name = parseName();
      skipSpace();
      if (atEnd() || peek() != '=') fail(QStringLiteral("attribute %1 without a value").arg(name));
      ++pos_;
      skipSpace();
      element.attributes.append({name, parseValue()});
    }
    for (;;) {
      skipMisc();
      if (atEnd()) failAt(element.offset, QStringLiteral("<%1> is not closed").arg(element.name));
      if (startsWith("</")) {
        pos_ += 2;
        const QString closing = parseName();
        skipSpace();
        if (closing != element.name || atEnd() || peek() != '>') {
          fail(QStringLiteral("</%1> closes <%2>").arg(closing, element.name));
        }
        ++pos_;
        return element;
      }
      if (peek() == '<') {
        element.children.append(parseElement(depth + 1));
      } else {
        fail(QStringLiteral("unexpected text inside <%1>").arg(element.name));
      }
    }
  }

  const QString& text_;
  QString source_;
  qsizetype pos_ = 0;
};

std::optional<int> twoDigitsAt(const QString& s, int at) {
  if (at + 2 > s.size() || !s.at(at).isDigit() || !s.at(at + 1).isDigit()) return std::nullopt;
  return s.mid(at, 2).toInt();
}

std::optional<QDate> parseDate(const QString& s) {
  if (s.size() < 8) return std::nullopt;
  for (int i = 0; i < 8; ++i) {
    if (!s.at(i).isDigit()) return std::nullopt;
  }
  const QDate date(s.left(4).toInt(), s.mid(4, 2).toInt(), s.mid(6, 2).toInt());
  return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

// hh:mm:sssss (milliseconds within the minute); hh:mm:ss is taken too.
std::optional<QTime> parseTime(const QString& s) {
  const auto h = twoDigitsAt(s, 0);
  const auto m = twoDigitsAt(s, 3);
  if (!h || !m || s.size() < 6 || s.at(2) != ':' || s.at(5) != ':') return std::nullopt;
  const QString rest = s.mid(6);
  bool ok = false;
  const int n = rest.toInt(&ok);
  if (!ok || rest.isEmpty()) return std::nullopt;
  const int millis = rest.size() == 2 ? n * 1000 : n;
  if (millis >= 60000) return std::nullopt;
  const QTime time(*h, *m, millis / 1000, millis % 1000);
  return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

bool isTextBlob(const DataPacketField& field) {
  const QString sub = field.subtype.toLower();
  return sub == "text" || sub == "widetext" || sub == "formatted" || sub == "xml";
}

// The value a field holds for its file form, or nullopt when it does not read.
std::optional<QVariant> parseFileValue(const DataPacketField& field, const QString& text) {
  // Files written with text fields only carry an empty text for a null number.
  if (text.isEmpty() && field.type != FieldType::String && field.type != FieldType::StringUni &&
      !isTextBlob(field)) {
    return QVariant();
  }
  switch (field.type) {
    case FieldType::Date: {
      const auto date = parseDate(text);
      if (!date || text.size() != 8) return std::nullopt;
      return QVariant(*date);
    }
    case FieldType::Time: {
      const auto time = parseTime(text);
      return time ? std::optional<QVariant>(QVariant(*time)) : std::nullopt;
    }
    case FieldType::DateTime:
    case FieldType::SQLDateTime: {
      const auto date = parseDate(text);
      if (!date) return std::nullopt;
      if (text.size() == 8) return QVariant(date->startOfDay());
      if (text.at(8) != 'T') return std::nullopt;
      const auto time = parseTime(text.mid(9));
      if (!time) return std::nullopt;
      return QVariant(QDateTime(*date, *time));
    }
    case FieldType::BinHex: {
      if (isTextBlob(field)) return QVariant(text);
      const QByteArray::FromBase64Result decoded =
          QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
      if (!decoded) return std::nullopt;
      return QVariant(decoded.decoded);
    }
    case FieldType::IntArray:
    case FieldType::UIntArray: {
      QVariantList items;
      for (const QString& part : text.split(QRegularExpression("[\\s,]+"), Qt::SkipEmptyParts)) {
        items << part;
      }
      return convertForField(field, QVariant(items));
    }
    case FieldType::Nested:
      return std::nullopt;
    default:
      return convertForField(field, QVariant(text));
  }
}

// A field as the file names it: its attribute name may differ from its name.
struct FileField {
  DataPacketField field;
  QString attr;
  QList<FileField> nested;
};

QList<DataPacketField> plainFields(const QList<FileField>& fileFields) {
  QList<DataPacketField> fields;
  for (const FileField& f : fileFields) fields << f.field;
  return fields;
}

QList<FileField> readFields(const TolerantXmlParser& parser, const XmlElement& fieldsElement) {
  QList<FileField> fields;
  for (const XmlElement& e : fieldsElement.children) {
    if (e.name != "FIELD") continue;
    const auto attrname = e.attribute("attrname");
    if (!attrname || attrname->isEmpty())
      parser.failAt(e.offset, QStringLiteral("a FIELD without attrname"));
    FileField fileField;
    fileField.attr = *attrname;
    DataPacketField& field = fileField.field;
    field.name = e.attribute("fieldname").value_or(*attrname);
    const QString typeName = e.attribute("fieldtype").value_or(QString());
    const auto type = fieldTypeFromName(typeName);
    if (!type) {
      parser.failAt(
          e.offset,
          QStringLiteral("field %1 has the unknown type \"%2\"").arg(field.name, typeName));
    }
    field.type = *type;
    for (const char* key : {"WIDTH", "DECIMALS"}) {
      if (const auto number = e.attribute(key)) {
        bool ok = false;
        const int n = number->toInt(&ok);
        if (!ok || n < 0) {
          parser.failAt(e.offset, QStringLiteral("field %1 has %2=\"%3\"")
                                      .arg(field.name, QLatin1String(key), *number));
        }
        (qstrcmp(key, "WIDTH") == 0 ? field.width : field.decimals) = n;
      }
    }
    const auto flag = [&e](const char* key) {
      return e.attribute(key).value_or(QString()).compare("true", Qt::CaseInsensitive) == 0;
    };
    field.required = flag("required");
    field.readOnly = flag("readonly");
    field.hidden = flag("hidden");
    field.linkField = flag("linkfield");
    field.subtype = e.attribute("SUBTYPE").value_or(QString());
    if (field.type == FieldType::Nested) {
      const XmlElement* nested = e.child("FIELDS");
      if (!nested) {
        parser.failAt(e.offset, QStringLiteral("nested field %1 without FIELDS").arg(field.name));
      }
      fileField.nested = readFields(parser, *nested);
      field.nestedFields = plainFields(fileField.nested);
    }
    fields << fileField;
  }
  return fields;
}

DataPacket readRows(const TolerantXmlParser& parser, const QList<FileField>& fileFields,
                    const XmlElement& rowData) {
  // Field indexes by attribute name, in field order: a name that several fields
  // share (files of the Windows program) is mapped to them one after the other.
  QHash<QString, QList<int>> byAttribute;
  for (int i = 0; i < fileFields.size(); ++i) byAttribute[fileFields[i].attr].append(i);

  DataPacket packet(plainFields(fileFields));
  int rowNumber = 0;
  for (const XmlElement& rowElement : rowData.children) {
    if (rowElement.name != "ROW") continue;
    ++rowNumber;
    const int row = packet.appendRow();
    QHash<QString, int> seen;
    for (const auto& [name, text] : rowElement.attributes) {
      const auto found = byAttribute.constFind(name);
      if (found == byAttribute.constEnd()) continue;  // RowState and the like
      const int occurrence = seen[name]++;
      if (occurrence >= found->size()) {
        parser.failAt(rowElement.offset,
                      QStringLiteral("row %1 repeats the attribute %2").arg(rowNumber).arg(name));
      }
      const int column = found->at(occurrence);
      const DataPacketField& field = fileFields[column].field;
      if (field.type == FieldType::Nested) {
        parser.failAt(rowElement.offset,
                      QStringLiteral("row %1: nested field %2 given as an attribute")
                          .arg(rowNumber)
                          .arg(field.name));
      }
      const auto value = parseFileValue(field, text);
      if (!value) {
        parser.failAt(rowElement.offset,
                      QStringLiteral("row %1: \"%2\" is not a valid %3 value for %4")
                          .arg(rowNumber)
                          .arg(text, fieldTypeName(field.type), field.name));
      }
      packet.setValue(row, column, *value);
    }
    for (const XmlElement& child : rowElement.children) {
      const auto found = byAttribute.constFind(child.name);
      if (found == byAttribute.constEnd()) continue;
      const int column = found->first();
      if (fileFields[column].field.type != FieldType::Nested) {
        parser.failAt(
            child.offset,
            QStringLiteral("row %1: %2 is not a nested field").arg(rowNumber).arg(child.name));
      }
      const DataPacket nested = readRows(parser, fileFields[column].nested, child);
      packet.setValue(row, column, QVariant::fromValue(nested));
    }
  }
  return packet;
}

}  // namespace

DataPacket readDataPacket(const QByteArray& bytes, const QString& sourceName) {
  const QString text = decodeDataPacketText(bytes, sourceName);
  TolerantXmlParser parser(text, sourceName);
  const XmlElement root = parser.parseDocument();
  if (root.name != "DATAPACKET")
    parser.failAt(root.offset, QStringLiteral("no DATAPACKET element"));
  const XmlElement* metadata = root.child("METADATA");
  if (!metadata) parser.failAt(root.offset, QStringLiteral("no METADATA element"));
  const XmlElement* fieldsElement = metadata->child("FIELDS");
  if (!fieldsElement) parser.failAt(metadata->offset, QStringLiteral("no FIELDS element"));
  const XmlElement* rowData = root.child("ROWDATA");
  if (!rowData) parser.failAt(root.offset, QStringLiteral("no ROWDATA element"));

  const QList<FileField> fileFields = readFields(parser, *fieldsElement);
  DataPacket packet = readRows(parser, fileFields, *rowData);
  if (const XmlElement* params = metadata->child("PARAMS")) {
    for (const auto& param : params->attributes) {
      if (param.first != "CHANGE_LOG") packet.params.append(param);
    }
  }
  return packet;
}

DataPacket loadDataPacketFile(const QString& path) {
  return readDataPacket(readRegularFile(path), path);
}

}  // namespace korvo::repository

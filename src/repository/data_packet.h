#pragma once
// A data packet: the self-describing table that universe folders and query
// files are made of — a list of typed fields, dataset parameters and rows.
// Values are QVariants typed by their field (see valueTypeOf); a null QVariant
// is a null value.
#include <QList>
#include <QMetaType>
#include <QPair>
#include <QString>
#include <QVariant>
#include <optional>
#include <stdexcept>

namespace korvo::repository {

enum class FieldType {
  String,     // text in the file's character set, WIDTH characters at most
  StringUni,  // 16-bit text
  I1,
  I2,
  I4,
  I8,
  UI1,
  UI2,
  UI4,
  Boolean,  // TRUE / FALSE
  R8,       // 8-byte floating point
  Fixed,    // decimal number, kept as its exact text
  FixedFMT,
  Date,      // yyyymmdd
  Time,      // hh:mm:sssss (seconds x 1000 + milliseconds)
  DateTime,  // yyyymmddThh:mm:sssss, or yyyymmdd when the time is zero
  SQLDateTime,
  BinHex,    // binary data; plain text when SUBTYPE says the blob is text
  Nested,    // a nested table
  IntArray,  // integers separated by blanks
  UIntArray,
};

QString fieldTypeName(FieldType type);
std::optional<FieldType> fieldTypeFromName(const QString& name);
bool isIntegerType(FieldType type);
bool isNumericType(FieldType type);

struct DataPacketField {
  QString name;  // the column name, unchanged
  FieldType type = FieldType::String;
  int width = 0;     // string: maximum length (0: unlimited); fixedFMT: digits
  int decimals = 0;  // fixed, fixedFMT
  bool required = false;
  bool readOnly = false;
  bool hidden = false;
  bool linkField = false;
  QString subtype;  // SUBTYPE attribute of blobs and some strings ("Text", "Binary", ...)
  QList<DataPacketField> nestedFields;  // for a nested field

  static DataPacketField string(const QString& name, int width);
  static DataPacketField of(const QString& name, FieldType type);
};

// Thrown by the reader and the file functions; the text names the file and the fault.
class DataPacketError : public std::runtime_error {
 public:
  explicit DataPacketError(const QString& text)
      : std::runtime_error(text.toStdString()), text_(text) {}
  const QString& text() const { return text_; }

 private:
  QString text_;
};

using DataPacketRow = QList<QVariant>;

class DataPacket {
 public:
  DataPacket() = default;
  explicit DataPacket(QList<DataPacketField> fields) : fields_(std::move(fields)) {}

  const QList<DataPacketField>& fields() const { return fields_; }
  const QList<DataPacketRow>& rows() const { return rows_; }
  int fieldCount() const { return static_cast<int>(fields_.size()); }
  int rowCount() const { return static_cast<int>(rows_.size()); }
  // Index of the field named exactly so (case-sensitive), -1 when none.
  int fieldIndex(const QString& name) const;

  // Appends a row of nulls and returns its index.
  int appendRow();
  // Sets a value converted to the field's value type; a text longer than a
  // string field's width is cut to the width. Throws DataPacketError when the
  // value cannot be converted (a word in an integer field).
  void setValue(int row, int column, const QVariant& value);
  const QVariant& value(int row, int column) const { return rows_[row][column]; }
  bool isNull(int row, int column) const { return value(row, column).isNull(); }
  // The value as text (numbers as digits, dates ISO-like); empty for null.
  QString text(int row, int column) const;

  // Dataset-level properties (the attributes of PARAMS), in file order.
  QList<QPair<QString, QString>> params;

 private:
  QList<DataPacketField> fields_;
  QList<DataPacketRow> rows_;
};

// Converts a value to the type a field holds; nullopt when it does not fit.
std::optional<QVariant> convertForField(const DataPacketField& field, const QVariant& value);

}  // namespace korvo::repository

Q_DECLARE_METATYPE(korvo::repository::DataPacket)

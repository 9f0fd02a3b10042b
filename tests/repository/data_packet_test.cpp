#include "repository/data_packet.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QTemporaryDir>
#include <QTime>

#include "repository/data_packet_io.h"

using namespace korvo::repository;

namespace {

DataPacket roundTrip(const DataPacket& packet) {
  return readDataPacket(writeDataPacket(packet), "buffer.xml");
}

QString errorOf(const QByteArray& bytes) {
  try {
    readDataPacket(bytes, "UNIVERS/BAD.xml");
  } catch (const DataPacketError& e) {
    return e.text();
  }
  return QString();
}

const QByteArray kHead = "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\">";

}  // namespace

TEST(DataPacketWriter, WritesTheWindowsLayout) {
  DataPacket packet({DataPacketField::string("NAME", 10), DataPacketField::of("N", FieldType::I4)});
  const int row = packet.appendRow();
  packet.setValue(row, 0, "A&B");
  packet.setValue(row, 1, 7);
  packet.appendRow();  // all null
  EXPECT_EQ(
      writeDataPacket(packet),
      QByteArray("<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\">"
                 "<METADATA><FIELDS><FIELD attrname=\"NAME\" fieldtype=\"string\" WIDTH=\"10\"/>"
                 "<FIELD attrname=\"N\" fieldtype=\"i4\"/></FIELDS><PARAMS/></METADATA>"
                 "<ROWDATA><ROW NAME=\"A&amp;B\" N=\"7\"/><ROW/></ROWDATA></DATAPACKET>"));
}

TEST(DataPacketWriter, EscapesEveryReservedCharacter) {
  DataPacket packet({DataPacketField::string("T", 0)});
  packet.setValue(packet.appendRow(), 0, QString("<>&'\"\r\n\t\\x"));
  const QByteArray bytes = writeDataPacket(packet);
  EXPECT_TRUE(bytes.contains("T=\"&lt;&gt;&amp;&apos;&quot;&#013;&#010;&#009;&#092;x\""))
      << bytes.constData();
}

TEST(DataPacketWriter, WritesTheCodePageAndReferencesForTheRest) {
  DataPacket packet({DataPacketField::string("T", 0)});
  packet.setValue(packet.appendRow(), 0, QString::fromUtf8("é€\xE4\xB8\xAD\xF0\x9F\x98\x80"));
  const QByteArray bytes = writeDataPacket(packet);
  EXPECT_TRUE(bytes.contains("T=\"\xE9\x80&#20013;&#128512;\"")) << bytes.constData();
  EXPECT_EQ(roundTrip(packet).value(0, 0).toString(), packet.value(0, 0).toString());
}

TEST(DataPacketRoundTrip, TextsSurviveUnchanged) {
  const QStringList texts = {"line\r\nbreak",
                             "quote \" and 'apostrophe'",
                             "back\\slash",
                             "tab\there",
                             "<tag> & entity &amp;",
                             QString::fromUtf8("accents éèà ÿ"),
                             QString(QChar(5)) + "ctrl" + QChar(0x1F),
                             "   blanks kept  "};
  DataPacket packet({DataPacketField::string("T", 0)});
  for (const QString& t : texts) packet.setValue(packet.appendRow(), 0, t);
  const DataPacket back = roundTrip(packet);
  ASSERT_EQ(back.rowCount(), texts.size());
  for (int i = 0; i < texts.size(); ++i) EXPECT_EQ(back.value(i, 0).toString(), texts[i]) << i;
}

TEST(DataPacketRoundTrip, EveryFieldType) {
  DataPacketField fixedFmt = DataPacketField::of("FMT", FieldType::FixedFMT);
  fixedFmt.width = 10;
  fixedFmt.decimals = 2;
  DataPacketField memo = DataPacketField::of("MEMO", FieldType::BinHex);
  memo.subtype = "Text";
  DataPacketField nested = DataPacketField::of("LINES", FieldType::Nested);
  nested.nestedFields = {DataPacketField::of("QTY", FieldType::I2),
                         DataPacketField::string("ART", 5)};
  const QList<DataPacketField> fields = {DataPacketField::string("S", 20),
                                         DataPacketField::of("U", FieldType::StringUni),
                                         DataPacketField::of("I1", FieldType::I1),
                                         DataPacketField::of("I2", FieldType::I2),
                                         DataPacketField::of("I4", FieldType::I4),
                                         DataPacketField::of("I8", FieldType::I8),
                                         DataPacketField::of("UI1", FieldType::UI1),
                                         DataPacketField::of("UI2", FieldType::UI2),
                                         DataPacketField::of("UI4", FieldType::UI4),
                                         DataPacketField::of("B", FieldType::Boolean),
                                         DataPacketField::of("R8", FieldType::R8),
                                         DataPacketField::of("FX", FieldType::Fixed),
                                         fixedFmt,
                                         DataPacketField::of("D", FieldType::Date),
                                         DataPacketField::of("T", FieldType::Time),
                                         DataPacketField::of("DT", FieldType::DateTime),
                                         DataPacketField::of("SDT", FieldType::SQLDateTime),
                                         DataPacketField::of("BIN", FieldType::BinHex),
                                         memo,
                                         nested,
                                         DataPacketField::of("IA", FieldType::IntArray),
                                         DataPacketField::of("UA", FieldType::UIntArray)};
  DataPacket packet(fields);
  const int r = packet.appendRow();
  DataPacket lines(nested.nestedFields);
  const int l = lines.appendRow();
  lines.setValue(l, 0, 3);
  lines.setValue(l, 1, "BOLT");
  const QList<QVariant> values = {QString("text"),
                                  QString::fromUtf8("wide \xE4\xB8\xAD"),
                                  -128,
                                  -32768,
                                  2147483647,
                                  QVariant(qlonglong(9007199254740993LL)),
                                  255,
                                  65535,
                                  QVariant(qlonglong(4294967295LL)),
                                  true,
                                  -1.25e-7,
                                  QString("-12345678901234567890.125"),
                                  QString("1234.50"),
                                  QDate(1999, 12, 31),
                                  QTime(13, 45, 7, 250),
                                  QDateTime(QDate(2004, 2, 29), QTime(23, 59, 59, 999)),
                                  QDateTime(QDate(2012, 1, 18), QTime(0, 0)),
                                  QByteArray("\x00\x01\xFF bytes", 9),
                                  QString("memo\r\ntext"),
                                  QVariant::fromValue(lines),
                                  QVariantList{1, -2, 3},
                                  QVariantList{0, 4000000000LL}};
  for (int c = 0; c < values.size(); ++c) packet.setValue(r, c, values[c]);
  packet.appendRow();
  const DataPacket back = roundTrip(packet);
  ASSERT_EQ(back.fieldCount(), fields.size());
  for (int c = 0; c < fields.size(); ++c) {
    EXPECT_EQ(back.fields()[c].name, fields[c].name);
    EXPECT_EQ(back.fields()[c].type, fields[c].type) << fields[c].name.toStdString();
    EXPECT_TRUE(back.isNull(1, c)) << fields[c].name.toStdString();
    if (fields[c].type == FieldType::Nested) continue;
    EXPECT_EQ(back.value(0, c), packet.value(0, c)) << fields[c].name.toStdString();
  }
  EXPECT_EQ(back.fields()[12].width, 10);
  EXPECT_EQ(back.fields()[12].decimals, 2);
  EXPECT_EQ(back.fields()[18].subtype, "Text");
  const DataPacket backLines = back.value(0, 19).value<DataPacket>();
  ASSERT_EQ(backLines.rowCount(), 1);
  EXPECT_EQ(backLines.value(0, 0).toLongLong(), 3);
  EXPECT_EQ(backLines.value(0, 1).toString(), "BOLT");
}

TEST(DataPacketFormat, DateTimeFileForms) {
  DataPacket packet(
      {DataPacketField::of("DT", FieldType::DateTime), DataPacketField::of("D", FieldType::Date)});
  int r = packet.appendRow();
  packet.setValue(r, 0, QDateTime(QDate(2012, 1, 18), QTime(10, 5, 3, 7)));
  packet.setValue(r, 1, QDate(2012, 1, 18));
  r = packet.appendRow();
  packet.setValue(r, 0, QDateTime(QDate(2012, 1, 18), QTime(0, 0)));
  const QByteArray bytes = writeDataPacket(packet);
  EXPECT_TRUE(
      bytes.contains("<ROW DT=\"20120118T10:05:03007\" D=\"20120118\"/><ROW DT=\"20120118\"/>"))
      << bytes.constData();
}

TEST(DataPacketFormat, FlagsAndParamsSurvive) {
  DataPacketField f = DataPacketField::string("K", 5);
  f.required = f.readOnly = f.hidden = f.linkField = true;
  DataPacket packet({f});
  packet.params = {{"LCID", "1036"}, {"DEFAULT_ORDER", "1"}};
  const DataPacket back = roundTrip(packet);
  EXPECT_TRUE(back.fields()[0].required && back.fields()[0].readOnly && back.fields()[0].hidden &&
              back.fields()[0].linkField);
  EXPECT_EQ(back.params, packet.params);
}

TEST(DataPacketNames, ForbiddenCharactersAndDistinctAttributes) {
  QList<DataPacketField> fields;
  for (const char* name : {"(", ")", "?", "_1", "Nom objet", "OK"})
    fields << DataPacketField::string(name, 10);
  EXPECT_EQ(attributeNames(fields), QStringList({"_", "_2", "_3", "_1", "Nom_objet", "OK"}));
  DataPacket packet(fields);
  const int r = packet.appendRow();
  for (int c = 0; c < fields.size(); ++c) packet.setValue(r, c, QString("v%1").arg(c));
  const QByteArray bytes = writeDataPacket(packet);
  EXPECT_TRUE(
      bytes.contains("<FIELD fieldname=\"(\" attrname=\"_\" fieldtype=\"string\" WIDTH=\"10\"/>"));
  EXPECT_TRUE(bytes.contains("<FIELD attrname=\"OK\""));
  const DataPacket back = roundTrip(packet);
  for (int c = 0; c < fields.size(); ++c) {
    EXPECT_EQ(back.fields()[c].name, fields[c].name);
    EXPECT_EQ(back.value(0, c).toString(), QString("v%1").arg(c));
  }
}

TEST(DataPacketReader, RepeatedAttributesOfTheWindowsProgramMapInFieldOrder) {
  const QByteArray bytes =
      kHead +
      "<METADATA><FIELDS><FIELD attrname=\"Id\" fieldtype=\"string\" WIDTH=\"10\"/>"
      "<FIELD fieldname=\"(\" attrname=\"_\" fieldtype=\"string\" WIDTH=\"5\"/>"
      "<FIELD fieldname=\")\" attrname=\"_\" fieldtype=\"string\" WIDTH=\"5\"/>"
      "<FIELD fieldname=\"?\" attrname=\"_\" fieldtype=\"string\" "
      "WIDTH=\"1\"/></FIELDS><PARAMS/></METADATA>"
      "<ROWDATA><ROW Id=\"12\" _=\"((\" _=\"))\" _=\"?\"/><ROW Id=\"13\" "
      "_=\"(\"/></ROWDATA></DATAPACKET>";
  const DataPacket packet = readDataPacket(bytes, "CONDITIONS/q.xml");
  ASSERT_EQ(packet.rowCount(), 2);
  EXPECT_EQ(packet.value(0, 1).toString(), "((");
  EXPECT_EQ(packet.value(0, 2).toString(), "))");
  EXPECT_EQ(packet.value(0, 3).toString(), "?");
  EXPECT_EQ(packet.value(1, 1).toString(), "(");
  EXPECT_TRUE(packet.isNull(1, 2));
}

TEST(DataPacketReader, RawControlCharactersAndCodePageBytes) {
  const QByteArray bytes =
      kHead +
      "<METADATA><FIELDS><FIELD attrname=\"N\" fieldtype=\"string\" WIDTH=\"35\"/></FIELDS>"
      "<PARAMS CHANGE_LOG=\"1 0 4\"/></METADATA><ROWDATA><ROW RowState=\"4\" "
      "N=\"a\x05\x01\xE9\x80\x81\"/>"
      "</ROWDATA></DATAPACKET>";
  const DataPacket packet = readDataPacket(bytes, "x.xml");
  EXPECT_EQ(packet.value(0, 0).toString(),
            QString("a") + QChar(5) + QChar(1) + QChar(0xE9) + QChar(0x20AC) + QChar(0x81));
  EXPECT_TRUE(packet.params.isEmpty());
  EXPECT_EQ(packet.fieldCount(), 1);
  // And the same bytes go back out.
  EXPECT_TRUE(writeDataPacket(packet).contains("N=\"a\x05\x01\xE9\x80\x81\""));
}

TEST(DataPacketReader, WidthCutsValuesOnSet) {
  const QByteArray bytes =
      kHead +
      "<METADATA><FIELDS><FIELD attrname=\"OBJECT_ID\" fieldtype=\"string\" WIDTH=\"5\"/></FIELDS>"
      "<PARAMS/></METADATA><ROWDATA><ROW OBJECT_ID=\"1234567\"/></ROWDATA></DATAPACKET>";
  EXPECT_EQ(readDataPacket(bytes, "x.xml").value(0, 0).toString(), "12345");
  DataPacket packet({DataPacketField::string("S", 3)});
  packet.setValue(packet.appendRow(), 0, "abcdef");
  EXPECT_EQ(packet.value(0, 0).toString(), "abc");
}

TEST(DataPacketReader, EmptyTextInANumberFieldIsNull) {
  const QByteArray bytes =
      kHead +
      "<METADATA><FIELDS><FIELD attrname=\"N\" fieldtype=\"fixedFMT\" WIDTH=\"10\" "
      "DECIMALS=\"0\"/></FIELDS>"
      "<PARAMS/></METADATA><ROWDATA><ROW N=\"\"/><ROW N=\"42\"/></ROWDATA></DATAPACKET>";
  const DataPacket packet = readDataPacket(bytes, "x.xml");
  EXPECT_TRUE(packet.isNull(0, 0));
  EXPECT_EQ(packet.text(1, 0), "42");
}

TEST(DataPacketReader, RefusesMalformedFilesNamingFileAndFault) {
  const QByteArray fields =
      "<METADATA><FIELDS><FIELD attrname=\"N\" fieldtype=\"i4\"/></FIELDS><PARAMS/></METADATA>";
  const struct {
    QByteArray bytes;
    const char* fault;
  } cases[] = {
      {"", "no root element"},
      {"<?xml version=\"1.0\"?><OTHER/>", "no DATAPACKET"},
      {kHead + "<ROWDATA/></DATAPACKET>", "no METADATA"},
      {kHead + fields + "</DATAPACKET>", "no ROWDATA"},
      {kHead + "<METADATA><PARAMS/></METADATA><ROWDATA/></DATAPACKET>", "no FIELDS"},
      {kHead +
           "<METADATA><FIELDS><FIELD fieldtype=\"i4\"/></FIELDS></METADATA><ROWDATA/></DATAPACKET>",
       "without attrname"},
      {kHead + "<METADATA><FIELDS><FIELD attrname=\"N\" "
               "fieldtype=\"money\"/></FIELDS></METADATA><ROWDATA/></DATAPACKET>",
       "unknown type"},
      {kHead + fields + "<ROWDATA><ROW N=\"abc\"/></ROWDATA></DATAPACKET>", "not a valid i4"},
      {kHead + fields + "<ROWDATA><ROW N=\"1\" N=\"2\"/></ROWDATA></DATAPACKET>",
       "repeats the attribute N"},
      {kHead + fields + "<ROWDATA><ROW N=\"1/></ROWDATA></DATAPACKET>", "unterminated"},
      {kHead + fields + "<ROWDATA><ROW N=\"&bogus;\"/></ROWDATA></DATAPACKET>", "&bogus;"},
      {kHead + fields + "<ROWDATA><ROW N=\"1\"/>", "not closed"},
      {kHead + fields + "<ROWDATA></METADATA></DATAPACKET>", "closes <ROWDATA>"},
      {kHead + fields + "<ROWDATA>junk</ROWDATA></DATAPACKET>", "unexpected text"},
      {kHead + fields + "<ROWDATA><ROW N=\"99999999999\"/></ROWDATA></DATAPACKET>",
       "not a valid i4"},
  };
  for (const auto& c : cases) {
    const QString error = errorOf(c.bytes);
    EXPECT_TRUE(error.startsWith("UNIVERS/BAD.xml: ")) << error.toStdString();
    EXPECT_TRUE(error.contains(c.fault)) << c.fault << " / " << error.toStdString();
  }
}

TEST(DataPacketReader, NumericReferencesAndHexReferences) {
  const QByteArray bytes = kHead +
                           "<METADATA><FIELDS><FIELD attrname=\"T\" fieldtype=\"string\" "
                           "WIDTH=\"10\"/></FIELDS></METADATA>"
                           "<ROWDATA><ROW T='&#013;&#x41;&#8364;\"'/></ROWDATA></DATAPACKET>";
  EXPECT_EQ(readDataPacket(bytes, "x").value(0, 0).toString(),
            QString("\rA") + QChar(0x20AC) + "\"");
}

TEST(DataPacketFiles, SaveLoadAndMissingFolder) {
  QTemporaryDir dir;
  DataPacket packet({DataPacketField::string("A", 3)});
  packet.setValue(packet.appendRow(), 0, "x");
  const QString path = dir.filePath("t.xml");
  saveDataPacketFile(path, packet);
  EXPECT_EQ(loadDataPacketFile(path).value(0, 0).toString(), "x");
  try {
    saveDataPacketFile(dir.filePath("UNIVERS/t.xml"), packet);
    FAIL() << "saved into a missing folder";
  } catch (const DataPacketError& e) {
    EXPECT_TRUE(e.text().contains("UNIVERS/t.xml"));
  }
  try {
    loadDataPacketFile(dir.filePath("none.xml"));
    FAIL() << "loaded a missing file";
  } catch (const DataPacketError& e) {
    EXPECT_TRUE(e.text().contains("none.xml"));
  }
}

TEST(DataPacketValues, SetRefusesValuesThatDoNotFit) {
  DataPacket packet(
      {DataPacketField::of("N", FieldType::UI1), DataPacketField::of("B", FieldType::Boolean)});
  const int r = packet.appendRow();
  EXPECT_THROW(packet.setValue(r, 0, 256), DataPacketError);
  EXPECT_THROW(packet.setValue(r, 0, -1), DataPacketError);
  EXPECT_THROW(packet.setValue(r, 1, "maybe"), DataPacketError);
  packet.setValue(r, 1, "true");
  EXPECT_EQ(packet.text(r, 1), "TRUE");
}

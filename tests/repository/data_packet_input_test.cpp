// Data packet input that is hostile or merely unusual: deep nesting, names
// that are not regular files, and declared encodings.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "repository/data_packet_io.h"
#include "repository/regular_file.h"

using namespace korvo::repository;

namespace {

const QByteArray kHead = "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\">";
const QByteArray kTextField =
    "<METADATA><FIELDS><FIELD attrname=\"T\" fieldtype=\"string\" WIDTH=\"40\"/></FIELDS>"
    "<PARAMS/></METADATA>";

QByteArray withDeclaration(const QByteArray& declaration, const QByteArray& rows) {
  return declaration + "  <DATAPACKET Version=\"2.0\">" + kTextField + "<ROWDATA>" + rows +
         "</ROWDATA></DATAPACKET>";
}

QString errorOf(const QByteArray& bytes) {
  try {
    readDataPacket(bytes, "UNIVERS/BAD.xml");
  } catch (const DataPacketError& e) {
    return e.text();
  }
  return QString();
}

QString loadError(const QString& path) {
  try {
    loadDataPacketFile(path);
  } catch (const DataPacketError& e) {
    return e.text();
  }
  return QString();
}

// A packet whose field is a table nested `depth` levels deep.
DataPacket nestedPacket(int depth) {
  DataPacketField field = DataPacketField::string("LEAF", 5);
  for (int i = 0; i < depth; ++i) {
    DataPacketField outer = DataPacketField::of(QString("N%1").arg(i), FieldType::Nested);
    outer.nestedFields = {field};
    field = outer;
  }
  return DataPacket({field});
}

}  // namespace

TEST(DataPacketNesting, DeepNestingIsRefusedWithFileAndLine) {
  // Thirty thousand open elements used to exhaust the stack.
  QByteArray deep = kHead + "\n<METADATA>\n";
  for (int i = 0; i < 30000; ++i) deep += "<X>";
  const QString error = errorOf(deep);
  EXPECT_EQ(error, "UNIVERS/BAD.xml: line 3: elements nested more than 64 levels deep");

  // Just past the limit and at it.
  QByteArray over = kHead;
  QByteArray at = kHead;
  for (int i = 1; i < 65; ++i) over += "<X>";
  for (int i = 1; i < 64; ++i) at += "<X>";
  EXPECT_TRUE(errorOf(over).contains("nested more than 64 levels")) << errorOf(over).toStdString();
  // 64 levels parse; the file is then refused for what it lacks, not its depth.
  for (int i = 1; i < 64; ++i) at += "</X>";
  at += "</DATAPACKET>";
  EXPECT_TRUE(errorOf(at).contains("no METADATA")) << errorOf(at).toStdString();
}

TEST(DataPacketNesting, NestedTablesRoundTripUpToTheWriterLimit) {
  DataPacket packet = nestedPacket(kMaxNestedFieldDepth);
  const DataPacket back = readDataPacket(writeDataPacket(packet), "n.xml");
  const DataPacketField* field = &back.fields().first();
  int depth = 0;
  while (field->type == FieldType::Nested) {
    field = &field->nestedFields.first();
    ++depth;
  }
  EXPECT_EQ(depth, kMaxNestedFieldDepth);
  EXPECT_EQ(field->name, "LEAF");

  try {
    writeDataPacket(nestedPacket(kMaxNestedFieldDepth + 1));
    FAIL() << "wrote a nesting the reader refuses";
  } catch (const DataPacketError& e) {
    EXPECT_TRUE(e.text().contains("deeper than 30 levels")) << e.text().toStdString();
  }
}

TEST(DataPacketFiles, OnlyRegularFilesOfBoundedSizeAreRead) {
  QTemporaryDir dir;
  const QString pipe = dir.filePath("UNV_CLASS.xml");
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  // Refused at once: the pipe is never opened, so nothing waits for a writer.
  EXPECT_EQ(loadError(pipe), pipe + ": is a named pipe, not a regular file");

  const QString zero = dir.filePath("zero.xml");
  ASSERT_TRUE(QFile::link("/dev/zero", zero));
  EXPECT_EQ(loadError(zero), zero + ": is a character device, not a regular file");

  const QString linkToPipe = dir.filePath("link.xml");
  ASSERT_TRUE(QFile::link(pipe, linkToPipe));
  EXPECT_TRUE(loadError(linkToPipe).endsWith("is a named pipe, not a regular file"));

  EXPECT_EQ(loadError(dir.path()), dir.path() + ": is a folder, not a regular file");

  // A sparse file past the limit is refused before a byte is read.
  const QString huge = dir.filePath("huge.xml");
  QFile file(huge);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_TRUE(file.resize(kMaxDataPacketFileBytes + 1));
  file.close();
  EXPECT_EQ(loadError(huge), QString("%1: is %2 bytes long, over the limit of %3 bytes")
                                 .arg(huge)
                                 .arg(kMaxDataPacketFileBytes + 1)
                                 .arg(kMaxDataPacketFileBytes));

  // A file that announces no size is still cut off at the limit.
  try {
    readRegularFile("/proc/self/status", 16);
    FAIL() << "read past the limit";
  } catch (const DataPacketError& e) {
    EXPECT_TRUE(e.text().contains("grows over the limit of 16 bytes")) << e.text().toStdString();
  }
  EXPECT_TRUE(loadError(dir.filePath("none.xml")).contains("No such file"));
}

TEST(DataPacketEncoding, DeclaredUtf8IsReadAsUtf8AndInvalidBytesAreRefused) {
  const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
  const DataPacket good = readDataPacket(
      withDeclaration(declaration, "<ROW T=\"Employ\xC3\xA9s \xE2\x82\xAC\"/>"), "g");
  EXPECT_EQ(good.value(0, 0).toString(), QString::fromUtf8("Employés €"));

  // Windows-1252 bytes in a file that says UTF-8: refused, naming the line.
  const QString mangled =
      errorOf(withDeclaration(declaration, "\n<ROW T=\"a\"/>\n<ROW T=\"Employ\xE9s\"/>"));
  EXPECT_EQ(
      mangled,
      "UNIVERS/BAD.xml: line 3: byte 0xE9 is not valid UTF-8, the encoding the file declares");
  // Overlong forms, surrogates and truncated sequences are not UTF-8 either.
  for (const QByteArray& bad : {QByteArray("\xC0\xAF"), QByteArray("\xED\xA0\x80"),
                                QByteArray("\xF4\x90\x80\x80"), QByteArray("\xE2\x82")}) {
    EXPECT_TRUE(errorOf(withDeclaration(declaration, "<ROW T=\"" + bad + "\"/>"))
                    .contains("is not valid UTF-8"))
        << bad.toHex().toStdString();
  }
  // A byte order mark alone means UTF-8 too.
  EXPECT_TRUE(
      errorOf("\xEF\xBB\xBF" + withDeclaration("<?xml version=\"1.0\"?>", "<ROW T=\"\xE9\"/>"))
          .contains("line 1: byte 0xE9 is not valid UTF-8"));
}

TEST(DataPacketEncoding, CodePageNamesAsciiAndUnknownEncodings) {
  const QByteArray row = "<ROW T=\"\xE9\x80\"/>";
  for (const char* name : {"windows-1252", "ISO-8859-1", "cp1252", "latin1"}) {
    const QByteArray declaration =
        QByteArray("<?xml version='1.0' encoding='") + name + "' standalone='yes'?>";
    EXPECT_EQ(readDataPacket(withDeclaration(declaration, row), "x").value(0, 0).toString(),
              QString(QChar(0xE9)) + QChar(0x20AC))
        << name;
  }
  EXPECT_EQ(errorOf(withDeclaration("<?xml version=\"1.0\" encoding=\"US-ASCII\"?>", row)),
            "UNIVERS/BAD.xml: line 1: byte 0xE9 is not valid US-ASCII, the encoding the file "
            "declares");
  EXPECT_EQ(errorOf(withDeclaration("<?xml version=\"1.0\" encoding=\"EBCDIC-FR\"?>", row)),
            "UNIVERS/BAD.xml: line 1: the declared encoding \"EBCDIC-FR\" is not supported "
            "(UTF-8, Windows-1252, ISO-8859-1 or US-ASCII)");
  EXPECT_TRUE(errorOf("\xEF\xBB\xBF" +
                      withDeclaration("<?xml version=\"1.0\" encoding=\"windows-1252\"?>", row))
                  .contains("UTF-8 byte order mark but declares the encoding \"windows-1252\""));
}

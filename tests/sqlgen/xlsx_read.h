#pragma once
// A written workbook read back from its zip for the tests: the cells of a
// sheet with their types, shared or inline strings resolved.
#include <QHash>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

namespace korvo::testing {

inline QByteArray zipEntry(const QString& zip, const QString& entry) {
  QProcess unzip;
  unzip.start("unzip", {"-p", zip, entry});
  if (!unzip.waitForFinished(60000) || unzip.exitCode() != 0) return {};
  return unzip.readAllStandardOutput();
}

struct XlsxCell {
  QString type;   // t attribute: "s" shared, "inlineStr", "" number
  int style = 0;  // s attribute
  QString value;  // the number, or the text itself for a string
};

inline QStringList xlsxSharedStrings(const QByteArray& xml) {
  QStringList out;
  QXmlStreamReader reader(xml);
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement() && reader.name() == u"t") out << reader.readElementText();
  }
  return out;
}

inline QHash<QString, XlsxCell> xlsxSheetCells(const QString& zip, int sheet) {
  const QStringList shared = xlsxSharedStrings(zipEntry(zip, "xl/sharedStrings.xml"));
  QHash<QString, XlsxCell> cells;
  QXmlStreamReader reader(zipEntry(zip, QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheet)));
  QString ref;
  while (!reader.atEnd()) {
    reader.readNext();
    if (!reader.isStartElement()) continue;
    if (reader.name() == u"c") {
      ref = reader.attributes().value("r").toString();
      cells[ref] = XlsxCell{reader.attributes().value("t").toString(),
                            reader.attributes().value("s").toInt(), QString()};
    } else if (reader.name() == u"v") {
      XlsxCell& cell = cells[ref];
      cell.value = reader.readElementText();
      if (cell.type == u"s") cell.value = shared.value(cell.value.toInt());
    } else if (reader.name() == u"t" && cells.value(ref).type == u"inlineStr") {
      cells[ref].value = reader.readElementText();
    }
  }
  return cells;
}

}  // namespace korvo::testing

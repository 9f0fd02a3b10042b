#include "sqlgen/script_files.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "repository/code_page_1252.h"

namespace korvo::sqlgen {

namespace {

QString say(const QString& language, const char* french, const char* english) {
  return QString::fromUtf8(language == QLatin1String("FR") ? french : english);
}

}  // namespace

QString scriptFolder(const QString& programFolder) {
  return QDir(programFolder).filePath(QStringLiteral("SCRIPTS")) + QLatin1Char('/');
}

ScriptRead readScript(const QString& path, const QString& language) {
  ScriptRead out;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    out.error = say(language, "%1 ne peut pas être lu : %2", "%1 cannot be read: %2")
                    .arg(path, file.errorString());
    return out;
  }
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    out.error = say(language, "%1 ne peut pas être lu : %2", "%1 cannot be read: %2")
                    .arg(path, file.errorString());
    return out;
  }
  QString text = repository::decodeWindows1252(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  // The last line's CR LF ends it; it does not start another.
  if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
  out.lines = text.isEmpty() && bytes.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
  out.ok = true;
  return out;
}

ScriptWrite writeScript(const QString& path, const QStringList& lines, const QString& language) {
  ScriptWrite out;
  QByteArray bytes;
  for (int i = 0; i < lines.size(); ++i) {
    const QString& line = lines[i];
    for (qsizetype j = 0; j < line.size(); ++j) {
      const QChar c = line[j];
      const std::optional<unsigned char> byte = repository::charToWindows1252(c);
      if (!byte) {
        // A character beyond the 16-bit range is named whole, not by its halves.
        const bool pair = c.isHighSurrogate() && j + 1 < line.size() && line[j + 1].isLowSurrogate();
        const char32_t code = pair ? QChar::surrogateToUcs4(c, line[j + 1]) : c.unicode();
        out.error = say(language,
                        "Le caractère « %1 » (U+%2) de la ligne %3 ne peut pas être écrit dans "
                        "un script (page de code Windows-1252) : rien n'a été enregistré.",
                        "The character \"%1\" (U+%2) on line %3 cannot be written to a script "
                        "(Windows-1252 code page): nothing was saved.")
                        .arg(line.mid(j, pair ? 2 : 1))
                        .arg(QString::number(uint(code), 16).toUpper().rightJustified(4, QLatin1Char('0')))
                        .arg(i + 1);
        return out;
      }
      bytes.append(static_cast<char>(*byte));
    }
    bytes.append("\r\n");
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    out.error = say(language, "%1 ne peut pas être écrit : %2", "%1 cannot be written: %2")
                    .arg(path, file.errorString());
    return out;
  }
  out.ok = true;
  return out;
}

}  // namespace korvo::sqlgen

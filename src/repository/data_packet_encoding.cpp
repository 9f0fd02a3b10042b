#include "repository/data_packet_encoding.h"

#include <QRegularExpression>
#include <algorithm>
#include <optional>

#include "repository/code_page_1252.h"
#include "repository/data_packet.h"

namespace korvo::repository {
namespace {

enum class Encoding { Windows1252, Utf8, Ascii };

const QByteArray kUtf8Mark = "\xEF\xBB\xBF";

// Offset of the first byte that does not belong to a well-formed UTF-8
// sequence (overlong forms, surrogates and code points past U+10FFFF count as
// invalid), or -1 when every byte does.
qsizetype firstInvalidUtf8(const QByteArray& bytes, qsizetype from) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
  const qsizetype n = bytes.size();
  qsizetype i = from;
  while (i < n) {
    const unsigned char c = b[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      return i;
    }
    if (i + length > n) return i;
    if (b[i + 1] < low || b[i + 1] > high) return i;
    for (int k = 2; k < length; ++k) {
      if (b[i + k] < 0x80 || b[i + k] > 0xBF) return i;
    }
    i += length;
  }
  return -1;
}

qsizetype firstNonAscii(const QByteArray& bytes) {
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    if (static_cast<unsigned char>(bytes[i]) >= 0x80) return i;
  }
  return -1;
}

QString hexByte(char byte) {
  return QString::number(static_cast<unsigned char>(byte), 16).toUpper().rightJustified(2, '0');
}

[[noreturn]] void refuseAt(const QByteArray& bytes, qsizetype offset, const QString& source,
                           const QString& what) {
  const qsizetype line = QByteArrayView(bytes).first(offset).count('\n') + 1;
  throw DataPacketError(QStringLiteral("%1: line %2: %3").arg(source).arg(line).arg(what));
}

// The encoding attribute of the XML declaration, empty when there is none.
QString declaredEncoding(const QByteArray& bytes, qsizetype start) {
  const QByteArrayView rest = QByteArrayView(bytes).sliced(start);
  if (!rest.startsWith("<?xml")) return QString();
  // A declaration is short; a missing end is left for the parser to report.
  const qsizetype end = rest.first(std::min<qsizetype>(rest.size(), 1024)).indexOf("?>");
  if (end < 0) return QString();
  static const QRegularExpression attribute(
      QStringLiteral("\\sencoding\\s*=\\s*(\"([^\"]*)\"|'([^']*)')"));
  const QRegularExpressionMatch match =
      attribute.match(QString::fromLatin1(rest.first(end).toByteArray()));
  if (!match.hasMatch()) return QString();
  return match.captured(2).isNull() ? match.captured(3) : match.captured(2);
}

std::optional<Encoding> encodingNamed(const QString& declared) {
  const QString name = declared.trimmed().toLower();
  if (name == "utf-8" || name == "utf8") return Encoding::Utf8;
  // ISO-8859-1 is read as its superset, the Windows code page, as browsers do:
  // files that declare it come from Windows and mean the code page.
  for (const char* alias : {"windows-1252", "cp1252", "x-cp1252", "iso-8859-1", "iso8859-1",
                            "iso_8859-1", "latin1", "latin-1"}) {
    if (name == QLatin1String(alias)) return Encoding::Windows1252;
  }
  if (name == "us-ascii" || name == "ascii") return Encoding::Ascii;
  return std::nullopt;
}

}  // namespace

QString decodeDataPacketText(const QByteArray& bytes, const QString& sourceName) {
  const bool marked = bytes.startsWith(kUtf8Mark);
  const qsizetype start = marked ? kUtf8Mark.size() : 0;
  const QString declared = declaredEncoding(bytes, start);

  Encoding encoding = marked ? Encoding::Utf8 : Encoding::Windows1252;
  if (!declared.isNull()) {
    const auto named = encodingNamed(declared);
    if (!named) {
      refuseAt(bytes, start, sourceName,
               QStringLiteral("the declared encoding \"%1\" is not supported (UTF-8, "
                              "Windows-1252, ISO-8859-1 or US-ASCII)")
                   .arg(declared));
    }
    if (marked && *named != Encoding::Utf8) {
      refuseAt(bytes, start, sourceName,
               QStringLiteral("the file starts with a UTF-8 byte order mark but declares the "
                              "encoding \"%1\"")
                   .arg(declared));
    }
    encoding = *named;
  }

  switch (encoding) {
    case Encoding::Utf8: {
      const qsizetype bad = firstInvalidUtf8(bytes, start);
      if (bad >= 0) {
        refuseAt(bytes, bad, sourceName,
                 QStringLiteral("byte 0x%1 is not valid UTF-8, the encoding the file declares")
                     .arg(hexByte(bytes[bad])));
      }
      return QString::fromUtf8(QByteArrayView(bytes).sliced(start));
    }
    case Encoding::Ascii: {
      const qsizetype bad = firstNonAscii(bytes);
      if (bad >= 0) {
        refuseAt(bytes, bad, sourceName,
                 QStringLiteral("byte 0x%1 is not valid US-ASCII, the encoding the file declares")
                     .arg(hexByte(bytes[bad])));
      }
      return QString::fromLatin1(bytes);
    }
    case Encoding::Windows1252:
      break;
  }
  // Every byte has a character in the code page (see code_page_1252.h).
  return decodeWindows1252(bytes);
}

}  // namespace korvo::repository

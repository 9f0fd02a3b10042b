#pragma once
// A settings file as the Windows program reads and writes it: 8-bit
// Windows-1252 text in sections of KEY=value lines. Changing one key rewrites
// only that line; every other line (comments, other sections, blank lines)
// and every line end stays byte for byte as it was found, so the Windows
// program still reads the file (QSettings would rewrite it whole).
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace korvo::kernel {

class IniFile {
 public:
  // Decodes Windows-1252 text; any line ends (CR LF, LF, CR) are accepted.
  static IniFile fromBytes(const QByteArray& bytes);
  // Encodes back to Windows-1252. Returns std::nullopt when a character has no
  // Windows-1252 form (a value the Windows program could not read back).
  std::optional<QByteArray> toBytes() const;

  // The value of `key` in `section` (both matched without regard to letter
  // case, blanks around key and value ignored, one pair of enclosing double
  // quotes removed), or std::nullopt when the key is absent.
  std::optional<QString> value(const QString& section, const QString& key) const;
  // Sets the key. An existing line keeps the key as spelled in the file; a new
  // key goes after the section's last entry; a new section goes at the end.
  void setValue(const QString& section, const QString& key, const QString& value);

 private:
  struct Line {
    QString text;
    QString end;  // "\r\n", "\n", "\r" or "" for a last line without end
  };
  // Index range [first, last) of the lines of a section's body, or nullopt.
  std::optional<std::pair<int, int>> sectionBody(const QString& section) const;
  QString newLineEnd() const;

  QList<Line> lines_;
};

// Reads the file; std::nullopt and a reason in `error` when it cannot be read.
std::optional<IniFile> readIniFile(const QString& path, QString* error = nullptr);
// Writes the file in place of the old one (through a temporary file, so a
// failed write never leaves half a file); false and a reason when it fails.
bool writeIniFile(const QString& path, const IniFile& file, QString* error = nullptr);

// Reads one key of a settings file, sets it and writes the file back.
bool writeIniValue(const QString& path, const QString& section, const QString& key,
                   const QString& value, QString* error = nullptr);

}  // namespace korvo::kernel

#include "kernel/ini_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace korvo::kernel {
namespace {

constexpr const char* kCodePage = "windows-1252";

bool isSectionHeader(const QString& trimmed) {
  return trimmed.startsWith('[') && trimmed.contains(']');
}

QString sectionName(const QString& trimmed) {
  return trimmed.mid(1, trimmed.indexOf(']') - 1).trimmed();
}

bool isComment(const QString& trimmed) {
  return trimmed.startsWith(';') || trimmed.startsWith('#');
}

// The key of an entry line, or an empty string for anything else.
QString entryKey(const QString& line) {
  const QString trimmed = line.trimmed();
  if (trimmed.isEmpty() || isComment(trimmed) || isSectionHeader(trimmed)) return {};
  const qsizetype eq = line.indexOf('=');
  if (eq <= 0) return {};
  return line.left(eq).trimmed();
}

QString entryValue(const QString& line) {
  QString value = line.mid(line.indexOf('=') + 1).trimmed();
  if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
    value = value.mid(1, value.size() - 2);
  return value;
}

}  // namespace

IniFile IniFile::fromBytes(const QByteArray& bytes) {
  QStringDecoder decoder(kCodePage);
  const QString text = decoder.decode(bytes);
  IniFile file;
  qsizetype start = 0;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text.at(i);
    if (c != '\r' && c != '\n') continue;
    QString end = c;
    if (c == '\r' && i + 1 < n && text.at(i + 1) == '\n') end = QStringLiteral("\r\n");
    file.lines_.append({text.mid(start, i - start), end});
    i += end.size() - 1;
    start = i + 1;
  }
  if (start < n) file.lines_.append({text.mid(start), QString()});
  return file;
}

std::optional<QByteArray> IniFile::toBytes() const {
  QString text;
  for (const Line& line : lines_) text += line.text + line.end;
  QStringEncoder encoder(kCodePage);
  QByteArray bytes = encoder.encode(text);
  if (encoder.hasError()) return std::nullopt;
  return bytes;
}

std::optional<std::pair<int, int>> IniFile::sectionBody(const QString& section) const {
  for (int i = 0; i < lines_.size(); ++i) {
    const QString trimmed = lines_[i].text.trimmed();
    if (!isSectionHeader(trimmed) || sectionName(trimmed).compare(section, Qt::CaseInsensitive))
      continue;
    int last = i + 1;
    while (last < lines_.size() && !isSectionHeader(lines_[last].text.trimmed())) ++last;
    return std::make_pair(i + 1, last);
  }
  return std::nullopt;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
  const auto body = sectionBody(section);
  if (!body) return std::nullopt;
  for (int i = body->first; i < body->second; ++i) {
    const QString name = entryKey(lines_[i].text);
    if (!name.isEmpty() && name.compare(key, Qt::CaseInsensitive) == 0)
      return entryValue(lines_[i].text);
  }
  return std::nullopt;
}

QString IniFile::newLineEnd() const {
  for (const Line& line : lines_)
    if (!line.end.isEmpty()) return line.end;
  return QStringLiteral("\r\n");  // the Windows program's own line end
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
  const QString eol = newLineEnd();
  const auto body = sectionBody(section);
  if (body) {
    int lastEntry = body->first - 1;  // the header when the section has no entry
    for (int i = body->first; i < body->second; ++i) {
      const QString name = entryKey(lines_[i].text);
      if (name.isEmpty()) continue;
      lastEntry = i;
      if (name.compare(key, Qt::CaseInsensitive) == 0) {
        // The key keeps its spelling and indentation; blanks before "=" go.
        QString keyPart = lines_[i].text.left(lines_[i].text.indexOf('='));
        while (!keyPart.isEmpty() && keyPart.back().isSpace()) keyPart.chop(1);
        lines_[i].text = keyPart + '=' + value;
        return;
      }
    }
    if (lines_[lastEntry].end.isEmpty()) lines_[lastEntry].end = eol;
    lines_.insert(lastEntry + 1, {key + '=' + value, eol});
    return;
  }
  if (!lines_.isEmpty() && lines_.last().end.isEmpty()) lines_.last().end = eol;
  lines_.append({'[' + section + ']', eol});
  lines_.append({key + '=' + value, eol});
}

std::optional<IniFile> readIniFile(const QString& path, QString* error) {
  QFile file(path);
  if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
    if (error) *error = QStringLiteral("cannot read %1").arg(path);
    return std::nullopt;
  }
  return IniFile::fromBytes(file.readAll());
}

bool writeIniFile(const QString& path, const IniFile& ini, QString* error) {
  const auto bytes = ini.toBytes();
  if (!bytes) {
    if (error) *error = QStringLiteral("a character has no Windows-1252 form");
    return false;
  }
  // A read-only file must refuse the change as it does on Windows, although the
  // replacement below only needs a writable folder.
  if (QFileInfo::exists(path)) {
    QFile probe(path);
    if (!probe.open(QIODevice::ReadWrite)) {
      if (error) *error = QStringLiteral("cannot write %1: %2").arg(path, probe.errorString());
      return false;
    }
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
    if (error) *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
  }
  return true;
}

bool writeIniValue(const QString& path, const QString& section, const QString& key,
                   const QString& value, QString* error) {
  auto ini = readIniFile(path, error);
  if (!ini) return false;
  ini->setValue(section, key, value);
  return writeIniFile(path, *ini, error);
}

}  // namespace korvo::kernel

#pragma once
// The 8-bit character set of the files the Windows program wrote. Every one of
// the 256 byte values decodes to its own character (the five bytes the code
// page leaves undefined decode to the C1 control of the same number), so
// bytes -> text -> bytes gives back the same bytes whatever the file holds.
#include <QByteArray>
#include <QString>
#include <optional>

namespace korvo::repository {

QChar windows1252ToChar(unsigned char byte);
// The byte for a character, or nothing when the code page cannot hold it.
std::optional<unsigned char> charToWindows1252(QChar c);

QString decodeWindows1252(const QByteArray& bytes);

}  // namespace korvo::repository

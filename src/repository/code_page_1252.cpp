#include "repository/code_page_1252.h"

namespace korvo::repository {
namespace {

// 0x80..0x9F; 0 marks a byte the code page leaves undefined.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

QChar windows1252ToChar(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) {
    char16_t mapped = kHighControls[byte - 0x80];
    return QChar(mapped != 0 ? mapped : char16_t(byte));
  }
  return QChar(char16_t(byte));
}

std::optional<unsigned char> charToWindows1252(QChar c) {
  const char16_t code = c.unicode();
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<unsigned char>(code);
  if (code >= 0x80 && code <= 0x9F) {
    // A C1 control stands for itself only where the code page has no character.
    if (kHighControls[code - 0x80] == 0) return static_cast<unsigned char>(code);
    return std::nullopt;
  }
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] == code) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

QString decodeWindows1252(const QByteArray& bytes) {
  QString text;
  text.reserve(bytes.size());
  for (char b : bytes) text.append(windows1252ToChar(static_cast<unsigned char>(b)));
  return text;
}

}  // namespace korvo::repository

#include "repository/name_scrambling.h"

#include "repository/code_page_1252.h"

namespace korvo::repository {

QString CrypterNom(const QString& text, int key) {
  const unsigned char mask = static_cast<unsigned char>((key >> 8) & 0xFF);
  QString result;
  result.reserve(text.size());
  for (QChar c : text) {
    const auto byte = charToWindows1252(c);
    result.append(byte ? windows1252ToChar(static_cast<unsigned char>(*byte ^ mask)) : c);
  }
  return result;
}

}  // namespace korvo::repository

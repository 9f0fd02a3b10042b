#include "session/password_scrambler.h"

#include "session/ansi_text.h"

namespace korvo::session {

QString CrypterMotDePasse(const QString& text, int key) {
  const char mask = static_cast<char>((key >> 8) & 0xFF);
  QString result;
  result.reserve(text.size());
  for (const QChar ch : text) {
    bool ok = false;
    QByteArray byte = toAnsi(QString(ch), &ok);
    if (!ok || byte.size() != 1) {
      result += ch;
      continue;
    }
    byte[0] = static_cast<char>(byte[0] ^ mask);
    result += fromAnsi(byte);
  }
  return result;
}

}  // namespace korvo::session

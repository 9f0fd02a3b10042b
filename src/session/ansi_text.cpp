#include "session/ansi_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace korvo::session {

QByteArray toAnsi(const QString& text, bool* ok) {
  QStringEncoder encoder("windows-1252");
  QByteArray bytes = encoder(text);
  if (ok) *ok = encoder.isValid() && !encoder.hasError();
  return bytes;
}

QString fromAnsi(const QByteArray& bytes) {
  QStringDecoder decoder("windows-1252");
  return decoder(bytes);
}

}  // namespace korvo::session

#pragma once
// Profile files and scrambled passwords live in the 8-bit Windows-1252 code
// page of the program's Windows installations; these two helpers cross between
// that byte form and QString.
#include <QByteArray>
#include <QString>

namespace korvo::session {

// The Windows-1252 bytes of a text; false in *ok (when given) if a character
// has no place in the code page.
QByteArray toAnsi(const QString& text, bool* ok = nullptr);
// Every byte has a character: the five bytes the code page leaves undefined
// come back as the C1 controls of the same value, so toAnsi(fromAnsi(b)) == b.
QString fromAnsi(const QByteArray& bytes);

}  // namespace korvo::session

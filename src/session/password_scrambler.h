#pragma once
// The scrambling that keeps saved passwords from being read at a glance in the
// profile files. It is not encryption: applying it twice gives the text back.
#include <QString>

namespace korvo::session {

// The key every profile file of the program was written with.
inline constexpr int kPasswordKey = 9371;

// Every character's Windows-1252 code XORed with bits 8 to 15 of the key, so
// the result is the same bytes the Windows program writes. A character outside
// Windows-1252 cannot be scrambled that way and is left as it is (such a text is
// refused before it reaches a profile file). Texts of any length are handled.
QString CrypterMotDePasse(const QString& text, int key);

}  // namespace korvo::session

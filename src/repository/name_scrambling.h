#pragma once
// Class and object names of a universe can be stored scrambled so that its
// vocabulary cannot be read in the universe folder or the repository tables.
// One routine scrambles and unscrambles: it is its own inverse.
#include <QString>

namespace korvo::repository {

inline constexpr int kScramblingKey = 9583;

// Each character's code page byte is combined by exclusive-or with bits 8 to 15
// of the key, so names scrambled by the Windows program read back the same.
// Characters the Windows code page cannot hold are left as they are, which
// keeps the routine its own inverse. Texts of any length are handled.
QString CrypterNom(const QString& text, int key = kScramblingKey);

}  // namespace korvo::repository

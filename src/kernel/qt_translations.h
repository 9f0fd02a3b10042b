#pragma once
// Qt's own texts (the Yes/No of question boxes, the buttons of file dialogs,
// the context menus of edit fields) follow the interface language: Qt's base
// translations (Debian qt6-translations-l10n) for French, Qt's English otherwise.
#include <QString>

namespace korvo::kernel {

// Installs Qt's base translation of `language` ("FR") on the application, or
// removes it for any other language. `folder` is where the qtbase_*.qm files
// lie; by default Qt's own translations folder. Returns false when the French
// translation is wanted but cannot be loaded (Qt then speaks English).
bool useQtTranslations(const QString& language, const QString& folder = QString());

}  // namespace korvo::kernel

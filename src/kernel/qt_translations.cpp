#include "kernel/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace korvo::kernel {

bool useQtTranslations(const QString& language, const QString& folder) {
  // One translator for the whole program, replaced when the language changes.
  static std::unique_ptr<QTranslator> installed;
  if (installed) {
    QCoreApplication::removeTranslator(installed.get());
    installed.reset();
  }
  if (language != QLatin1String("FR")) return true;
  auto translator = std::make_unique<QTranslator>();
  const QString from =
      folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
  if (!translator->load(QStringLiteral("qtbase_fr"), from)) return false;
  QCoreApplication::installTranslator(translator.get());
  installed = std::move(translator);
  return true;
}

}  // namespace korvo::kernel

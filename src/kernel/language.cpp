#include "kernel/language.h"

#include <QDir>

namespace korvo::kernel {

const TextTables& textTables(const QString& languageCode) {
  // The code is compared exactly: "an" or "En" are not English.
  if (languageCode == QLatin1String("AN")) return englishTexts();
  return frenchTexts();
}

QUrl productPageUrl(const TextTables& texts, const QString& programFolder) {
  return QUrl::fromLocalFile(QDir(programFolder).absoluteFilePath(texts.webPage));
}

}  // namespace korvo::kernel

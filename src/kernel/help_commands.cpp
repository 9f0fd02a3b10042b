#include "kernel/help_commands.h"

#include <QDir>
#include <QFileInfo>

namespace korvo::kernel {
namespace {

bool openOrTell(const HelpContext& context, const QUrl& target, int entry) {
  if (context.opener.open(target)) return true;
  context.interaction.inform(context.texts.messages.value(entry));
  return false;
}

}  // namespace

bool openProgramDocument(const HelpContext& context, const QString& fileName, int missingEntry) {
  const QFileInfo document(QDir(context.programFolder), fileName);
  if (!document.isFile()) {
    context.interaction.inform(context.texts.messages.value(missingEntry));
    return false;
  }
  return openOrTell(context, QUrl::fromLocalFile(document.absoluteFilePath()), missingEntry);
}

bool openHelpManual(const HelpContext& context) {
  return openProgramDocument(context, QLatin1String(kHelpManualFile), 29);
}

bool openFunctionReference(const HelpContext& context) {
  return openProgramDocument(context, QLatin1String(kFunctionReferenceFile), 28);
}

bool openSqlReference(const HelpContext& context) {
  return openOrTell(context, QUrl(QLatin1String(kSqlReferenceUrl)), 28);
}

bool openUpdatePage(const HelpContext& context) {
  return openOrTell(context, productPageUrl(context.texts, context.programFolder), 17);
}

}  // namespace korvo::kernel

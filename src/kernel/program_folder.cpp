#include "kernel/program_folder.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "kernel/settings.h"

namespace korvo::kernel {

QString installedDataFolder(const QString& executableFolder) {
  return QDir::cleanPath(executableFolder + QStringLiteral("/../share/") +
                         QLatin1String(kUserFolderName));
}

QString userProgramFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QLatin1Char('/') + QLatin1String(kUserFolderName);
}

namespace {

// Help pages belong to the program, not to the user: a newer version's pages
// replace the old ones. Settings, profiles, universes and queries are the user's.
bool isHelpPage(const QString& relative) {
  return relative.startsWith(QLatin1String("web/")) ||
         (!relative.contains(QLatin1Char('/')) &&
          relative.endsWith(QLatin1String(".html"), Qt::CaseInsensitive));
}

bool copyWithTime(const QString& from, const QString& to, QString* error) {
  if (QFileInfo::exists(to) && !QFile::remove(to)) {
    *error = QStringLiteral("cannot replace ") + to;
    return false;
  }
  if (!QFile::copy(from, to)) {
    *error = QStringLiteral("cannot copy ") + from + QStringLiteral(" to ") + to;
    return false;
  }
  // Installed files are read-only for the user; their copies are the user's to edit.
  QFile copy(to);
  copy.setPermissions(copy.permissions() | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  if (copy.open(QIODevice::ReadWrite))
    copy.setFileTime(QFileInfo(from).lastModified(), QFileDevice::FileModificationTime);
  return true;
}

}  // namespace

QStringList seedUserFolder(const QString& installed, const QString& user, QString* error) {
  QStringList seeded;
  QString problem;
  if (!QDir().mkpath(user)) problem = QStringLiteral("cannot create ") + user;
  const QDir source(installed);
  QDirIterator it(installed, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (problem.isEmpty() && it.hasNext()) {
    const QString from = it.next();
    const QString relative = source.relativeFilePath(from);
    const QString to = user + QLatin1Char('/') + relative;
    const QFileInfo have(to);
    if (have.exists()) {
      if (!isHelpPage(relative) || QFileInfo(from).lastModified() <= have.lastModified()) continue;
    }
    if (!QDir().mkpath(QFileInfo(to).absolutePath())) {
      problem = QStringLiteral("cannot create ") + QFileInfo(to).absolutePath();
      break;
    }
    if (!copyWithTime(from, to, &problem)) break;
    seeded.append(relative);
  }
  if (error) *error = problem;
  return seeded;
}

ProgramFolderChoice chooseProgramFolder(const QString& executableFolder, const QString& installed,
                                        const QString& userFolder) {
  ProgramFolderChoice choice;
  if (!findSettingsFile(executableFolder).isEmpty()) {
    choice.folder = executableFolder;
    choice.portable = true;
    return choice;
  }
  choice.folder = userFolder;
  choice.seeded = seedUserFolder(installed, userFolder, &choice.error);
  return choice;
}

ProgramFolderChoice enterProgramFolder(const QString& executableFolder) {
  ProgramFolderChoice choice = chooseProgramFolder(
      executableFolder, installedDataFolder(executableFolder), userProgramFolder());
  if (!QDir::setCurrent(choice.folder) && choice.error.isEmpty())
    choice.error = QStringLiteral("cannot enter ") + choice.folder;
  return choice;
}

}  // namespace korvo::kernel

#include "kernel/settings.h"

#include <QDir>

#include "kernel/ini_file.h"

namespace korvo::kernel {

QString findSettingsFile(const QString& folder) {
  const QDir dir(folder);
  const QStringList names =
      dir.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
  QString found;
  for (const QString& name : names) {
    if (name.compare(QLatin1String(kSettingsFileName), Qt::CaseInsensitive) != 0) continue;
    if (name == QLatin1String(kSettingsFileName)) return dir.filePath(name);
    if (found.isEmpty()) found = dir.filePath(name);
  }
  return found;
}

namespace {

SettingsOutcome applySettings(const QString& folder, AppState& state, bool markDemoSeen) {
  SettingsOutcome outcome;
  const QString path = findSettingsFile(folder);
  if (path.isEmpty()) return outcome;
  outcome.fileFound = true;

  QString error;
  auto ini = readIniFile(path, &error);
  if (!ini) {
    outcome.ok = false;
    outcome.reason = error;
    return outcome;
  }
  const QString section = QLatin1String(kSettingsSection);
  state.language = ini->value(section, "LANG").value_or(QString());

  const QString cost = ini->value(section, "COST").value_or(QString());
  bool isInteger = false;
  const int threshold = cost.toInt(&isInteger, 10);
  if (!isInteger) {
    outcome.ok = false;
    outcome.reason = QStringLiteral("COST is not an integer: \"%1\"").arg(cost);
    return outcome;
  }
  state.costThreshold = threshold;

  if (ini->value(section, "MESG_DEMO").value_or(QString()).isEmpty()) state.firstRun = true;
  if (!markDemoSeen) return outcome;
  ini->setValue(section, "MESG_DEMO", "YES");
  if (!writeIniFile(path, *ini, &error)) {
    outcome.ok = false;
    outcome.reason = error;
  }
  return outcome;
}

}  // namespace

SettingsOutcome loadSettings(const QString& folder, AppState& state) {
  return applySettings(folder, state, true);
}

SettingsOutcome readSettings(const QString& folder, AppState& state) {
  return applySettings(folder, state, false);
}

}  // namespace korvo::kernel

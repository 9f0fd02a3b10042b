#pragma once
// Where the source tree lies, for tests that read shipped files: the
// KORVO_SOURCE_DIR that ctest sets, or the tree this file was compiled from.
#include <QDir>
#include <QFileInfo>
#include <QString>

namespace korvo::testing {

inline QString sourceRoot() {
  const QByteArray env = qgetenv("KORVO_SOURCE_DIR");
  if (!env.isEmpty()) return QString::fromLocal8Bit(env);
  QDir dir = QFileInfo(QStringLiteral(__FILE__)).absoluteDir();  // tests/support
  dir.cd(QStringLiteral("../.."));
  return dir.absolutePath();
}

}  // namespace korvo::testing

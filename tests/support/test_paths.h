#pragma once
// Where the source tree lies, for tests that read shipped files: the
// KORVO_SOURCE_DIR that ctest sets, or the tree the tests were configured from.
#include <QDir>
#include <QFileInfo>
#include <QString>

namespace korvo::testing {

inline QString sourceRoot() {
  const QByteArray env = qgetenv("KORVO_SOURCE_DIR");
  if (!env.isEmpty()) return QString::fromLocal8Bit(env);
  return QStringLiteral(KORVO_TEST_SOURCE_DIR);
}

}  // namespace korvo::testing

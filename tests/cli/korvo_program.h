#pragma once
// The built `korvo` program run as a user runs it: in a working folder, with
// its own data folder, no password in the environment; what reaches standard
// output, standard error and the exit status.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace korvo::testing {

struct ProgramRun {
  int status = -1;
  QString out;
  QString err;
};

// Beside the test programs' build folder; empty when korvo was not built.
inline QString korvoProgram() {
  const QDir here(QCoreApplication::applicationDirPath());
  for (const char* candidate : {"../src/korvo", "../../src/korvo"}) {
    const QString path = here.absoluteFilePath(QString::fromLatin1(candidate));
    if (QFileInfo(path).isExecutable()) return QDir::cleanPath(path);
  }
  return QString();
}

inline ProgramRun runKorvo(const QString& program, const QString& folder,
                           const QStringList& arguments, const QByteArray& input = QByteArray()) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_DATA_HOME", QDir(folder).filePath("data"));
  environment.remove("KORVO_PASSWORD");
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(folder);
  process.start(program, arguments);
  EXPECT_TRUE(process.waitForStarted());
  process.write(input);
  process.closeWriteChannel();
  EXPECT_TRUE(process.waitForFinished(120000));
  ProgramRun run;
  run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

}  // namespace korvo::testing

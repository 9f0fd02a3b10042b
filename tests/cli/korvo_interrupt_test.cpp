// Ctrl+C on `korvo sql`: the long statement stops at once, what was written
// before it stays, the ORA-01013 text follows on standard error, status 1.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

#include "korvo_program.h"

namespace {

TEST(KorvoInterrupt, CtrlCStopsTheStatementWithOra01013AndStatusOne) {
  const QString program = korvo::testing::korvoProgram();
  ASSERT_FALSE(program.isEmpty()) << "build the korvo target first";
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile script(dir.filePath("long.sql"));
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  // 64 million rows to count: far longer than the test waits.
  script.write(
      "create table N1 (V number);\n"
      "insert into N1 select level from dual connect by level <= 400;\n"
      "select 'before' as WORD from dual;\n"
      "select count(*) from N1 a, N1 b, N1 c where a.V + b.V + c.V >= 0;\n"
      "select 'after' as WORD from dual;\n");
  script.close();

  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_DATA_HOME", dir.filePath("data"));
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(dir.path());
  process.start(program, {"sql", "scott/tiger@local:" + dir.filePath("schemas"), script.fileName()});
  ASSERT_TRUE(process.waitForStarted());
  // Waits until the first query's row is out: the count runs from then on.
  QByteArray out;
  QElapsedTimer clock;
  clock.start();
  while (!out.contains("before") && clock.elapsed() < 30000) {
    process.waitForReadyRead(100);
    out += process.readAllStandardOutput();
  }
  ASSERT_TRUE(out.contains("before")) << "the script did not reach its long statement";
  ::kill(static_cast<pid_t>(process.processId()), SIGINT);
  clock.restart();
  ASSERT_TRUE(process.waitForFinished(30000));
  EXPECT_LT(clock.elapsed(), 1500) << "the statement went on after Ctrl+C";
  out += process.readAllStandardOutput();
  const QString err = QString::fromUtf8(process.readAllStandardError());
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 1);
  EXPECT_TRUE(err.trimmed().endsWith("ORA-01013: user requested cancel of current operation"))
      << err.toStdString();
  EXPECT_EQ(err.count("ORA-01013"), 1);
  EXPECT_FALSE(out.contains("after")) << "the script went on after Ctrl+C";
}

}  // namespace

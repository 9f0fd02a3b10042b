// korvo: the command line of Korvo-BO6 (same core as the desktop program).
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "cli/cancel_on_sigint.h"
#include "cli/subcommand.h"

int main(int argc, char** argv) {
  korvo::cli::installSigintCancel();
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("korvo"));
  QCoreApplication::setApplicationVersion(QStringLiteral(KORVO_VERSION));
  QTextStream out(stdout);
  QTextStream err(stderr);
  korvo::cli::CliStreams streams{out, err};
  const int status = korvo::cli::runCommandLine(QCoreApplication::arguments().mid(1), streams);
  out.flush();
  err.flush();
  return status;
}

#include "cli/subcommand.h"

namespace korvo::cli {
namespace {

void printUsage(QTextStream& stream) {
  stream << "Usage: korvo [--help | --version]\n"
            "       korvo COMMAND [ARGUMENTS]\n"
            "\n"
            "The command line of Korvo-BO6.\n"
            "\n"
            "Commands:\n";
  qsizetype width = 0;
  const std::vector<Subcommand> all = subcommands();
  for (const Subcommand& subcommand : all) width = std::max(width, subcommand.name.size());
  for (const Subcommand& subcommand : all) {
    stream << "  " << subcommand.name.leftJustified(width + 2) << subcommand.summary << '\n';
  }
  stream << "\n"
            "Options:\n"
            "  --help, -h     show this help\n"
            "  --version, -V  show the version\n"
            "\n"
            "Output: rows go to standard output tab-separated under one heading line; a tab,\n"
            "line break, carriage return or backslash inside a value is written \\t, \\n, \\r\n"
            "or \\\\, so that one row is always one line. Messages and errors go to standard\n"
            "error. The settings file Korvo-BO6.ini of the current folder gives the language\n"
            "and the cost threshold (run korvo from the program's folder); --lang overrides.\n"
            "Ctrl+C stops the statement running now: \"ORA-01013: user requested cancel of\n"
            "current operation\" on standard error, exit status 1.\n"
            "\n"
            "Run \"korvo COMMAND --help\" for the arguments of a command.\n";
  stream.flush();
}

void printSubcommandHelp(const Subcommand& subcommand, QTextStream& stream) {
  stream << "Usage: korvo " << subcommand.name << ' ' << subcommand.synopsis << "\n\n"
         << subcommand.summary << '\n';
  if (!subcommand.help.isEmpty()) stream << '\n' << subcommand.help << '\n';
  stream.flush();
}

}  // namespace

int runCommandLine(const QStringList& arguments, CliStreams& streams) {
  if (arguments.isEmpty()) {
    printUsage(streams.err);
    return kExitUsage;
  }
  const QString first = arguments.first();
  if (first == QLatin1String("--help") || first == QLatin1String("-h") ||
      first == QLatin1String("help")) {
    if (arguments.size() > 1) {
      if (const Subcommand* subcommand = findSubcommand(arguments[1])) {
        printSubcommandHelp(*subcommand, streams.out);
        return kExitOk;
      }
    }
    printUsage(streams.out);
    return kExitOk;
  }
  if (first == QLatin1String("--version") || first == QLatin1String("-V")) {
    streams.out << KORVO_VERSION << '\n';
    streams.out.flush();
    return kExitOk;
  }
  const Subcommand* subcommand = findSubcommand(first);
  if (!subcommand) {
    streams.err << "korvo: unknown command \"" << first << "\"\n";
    printUsage(streams.err);
    return kExitUsage;
  }
  const QStringList rest = arguments.mid(1);
  if (rest.size() == 1 && (rest[0] == QLatin1String("--help") || rest[0] == QLatin1String("-h"))) {
    printSubcommandHelp(*subcommand, streams.out);
    return kExitOk;
  }
  const int status = subcommand->run(rest, streams);
  streams.out.flush();
  streams.err.flush();
  return status;
}

}  // namespace korvo::cli

#pragma once
// The subcommands of `korvo` (sql, and later import, universes ...). Each one
// lives in its own file and registers itself with one line:
//   static const korvo::cli::SubcommandRegistration registration{{"name", ...}};
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <vector>

namespace korvo::cli {

// Standard output carries results only; everything else goes to standard error.
struct CliStreams {
  QTextStream& out;
  QTextStream& err;
};

// Exit statuses shared by every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct Subcommand {
  QString name;
  QString synopsis;  // arguments, as shown after "korvo NAME"
  QString summary;   // one line for the table of `korvo --help`
  QString help;      // shown by `korvo NAME --help`, may be empty
  // Receives the arguments after the subcommand's name.
  std::function<int(const QStringList& arguments, CliStreams& streams)> run;
};

// Every registered subcommand, sorted by name.
std::vector<Subcommand> subcommands();
const Subcommand* findSubcommand(const QString& name);

struct SubcommandRegistration {
  explicit SubcommandRegistration(Subcommand subcommand);
};

// The whole command line: options, then dispatch to a subcommand.
int runCommandLine(const QStringList& arguments, CliStreams& streams);

}  // namespace korvo::cli

// korvo tree CONNECT: the class and object tree of the schema's universe as the
// query mode shows it, one node per line, depth first in drawing order.

#include "builder/workspace.h"
#include "cli/cli_login.h"
#include "cli/subcommand.h"
#include "db/connect_string.h"
#include "db/connection.h"
#include "db/tab_separated.h"
#include "kernel/app_state.h"
#include "kernel/interaction.h"

namespace korvo::cli {
namespace {

QString kindOf(const builder::ClassTreeNode& node) {
  if (node.kind == builder::NodeKind::Class) return QStringLiteral("class");
  return node.image == builder::kMeasureImage ? QStringLiteral("measure")
                                              : QStringLiteral("dimension");
}

int runTree(const QStringList& arguments, CliStreams& streams) {
  QStringList rest = arguments;
  kernel::AppState state;
  if (auto language = takeLanguageOption(rest)) state.language = *language;
  if (rest.size() != 1 || rest[0].startsWith(QLatin1Char('-'))) {
    streams.err << "Usage: korvo tree [--lang FR|AN] user/password@alias\n";
    return kExitUsage;
  }
  if (state.language != QLatin1String("FR") && state.language != QLatin1String("AN")) {
    streams.err << "korvo tree: unknown language " << state.language << " (FR or AN)\n";
    return kExitUsage;
  }
  const std::optional<db::ConnectString> connect = readConnectArgument(rest[0], "tree", streams);
  if (!connect) return kExitUsage;
  std::unique_ptr<db::Connection> connection = openLogin(*connect, streams);
  if (!connection) return kExitFailure;

  kernel::RecordingInteraction interaction;
  builder::Workspace workspace(state, *connection, interaction);
  if (const std::optional<QString> refused = loadUniverse(workspace)) {
    streams.err << "korvo tree: " << *refused << '\n';
    connection->close();
    return kExitFailure;
  }
  streams.out << "DEPTH\tKIND\tID\tNAME\n";
  workspace.tree().visit([&](const builder::ClassTreeNode& node, int depth) {
    const QString id =
        node.kind == builder::NodeKind::Class ? QString() : QString::number(node.record.IdObj);
    streams.out << depth << '\t' << kindOf(node) << '\t' << id << '\t' << db::escapeTabField(node.text)
                << '\n';
  });
  connection->close();
  return kExitOk;
}

[[maybe_unused]] const SubcommandRegistration registration{{
    QStringLiteral("tree"),
    QStringLiteral("[--lang FR|AN] user/password@alias"),
    QStringLiteral("print the class and object tree of the imported universe"),
    QStringLiteral(
        "Prints the class and object tree of the universe imported into the schema, as the\n"
        "query mode shows it: a heading line DEPTH, KIND, ID, NAME, then one line per node,\n"
        "depth first in drawing order, fields separated by tabs. DEPTH is 1 for a top-level\n"
        "class; KIND is class, dimension (date sub-objects included) or measure; ID is the\n"
        "object id (empty for a class); NAME is the name as shown, unscrambled. A tab, line\n"
        "break, carriage return or backslash inside a name is written \\t, \\n, \\r, \\\\.\n"
        "Exit status 1 when the schema holds no universe or its catalogue cannot be read.\n"),
    runTree,
}};

}  // namespace
}  // namespace korvo::cli

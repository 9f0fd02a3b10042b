#include "cli/cli_login.h"

#include <QFileInfo>

#include <QDir>
#include <QProcessEnvironment>

#include "cli/cancel_on_sigint.h"
#include "kernel/settings.h"

namespace korvo::cli {

std::optional<db::ConnectString> readConnectArgument(const QString& argument, const char* command,
                                                     CliStreams& streams) {
  std::optional<db::ConnectString> connect = db::parseConnectString(argument);
  if (!connect) {
    streams.err << "korvo " << command
                << ": the connection is written user/password@alias, for example "
                   "scott/tiger@local:demo\n";
    return std::nullopt;
  }
  if (!connect->hasPassword) {
    connect->password = QProcessEnvironment::systemEnvironment().value(QStringLiteral("KORVO_PASSWORD"));
  }
  return connect;
}

std::unique_ptr<db::Connection> openLogin(const db::ConnectString& connect, CliStreams& streams) {
  std::unique_ptr<db::Connection> connection = db::connectionForAlias(connect.alias);
  try {
    connection->open(connect.alias, connect.user, connect.password);
  } catch (const db::DbError& e) {
    streams.err << "ERROR:\n" << e.text() << '\n';
    return nullptr;
  }
  return cancellableConnection(std::move(connection), streams);
}

std::optional<QString> takeLanguageOption(QStringList& arguments) {
  if (arguments.size() >= 2 && arguments[0] == QLatin1String("--lang")) {
    QString code = arguments[1].toUpper();
    arguments = arguments.mid(2);
    return code;
  }
  return std::nullopt;
}

bool moveLanguageFirst(QStringList& arguments) {
  const qsizetype at = arguments.indexOf(QStringLiteral("--lang"));
  if (at <= 0) return true;
  if (at + 1 >= arguments.size()) return false;
  const QStringList option = arguments.mid(at, 2);
  arguments.remove(at, 2);
  arguments = option + arguments;
  return true;
}

std::optional<QString> loadUniverse(builder::Workspace& workspace) {
  const builder::ClassesOutcome outcome = workspace.Init_Classes();
  if (!outcome.error.isEmpty()) {
    // A schema without the repository tables answers ORA-00942.
    const bool noRepository = outcome.error.contains(QLatin1String("ORA-00942"));
    return (noRepository ? QStringLiteral("the schema holds no universe repository: ")
                         : QStringLiteral("the universe catalogue cannot be read: ")) +
           outcome.error;
  }
  if (!outcome.universeRow)
    return QStringLiteral(
        "the schema holds no universe (KORVO_UNIVERS is empty); import one with korvo import");
  return std::nullopt;
}

kernel::AppState programState(QStringList& arguments, CliStreams& streams) {
  kernel::AppState state;
  state.programFolder = QDir::currentPath();
  const kernel::SettingsOutcome settings = kernel::readSettings(state.programFolder, state);
  if (!settings.ok) {
    streams.err << "korvo: settings ignored: " << kernel::kSettingsFileName << ": "
                << settings.reason << '\n';
    streams.err.flush();
    state = kernel::AppState();
    state.programFolder = QDir::currentPath();
  }
  if (auto language = takeLanguageOption(arguments)) state.language = *language;
  return state;
}

std::optional<SavedQueryArguments> readSavedQueryArguments(QStringList rest,
                                                           const char* command,
                                                           const char* usage,
                                                           CliStreams& streams, int& status,
                                                           bool withPrompts) {
  status = kExitUsage;
  SavedQueryArguments out;
  if (withPrompts) {
    const std::optional<QMap<QString, QString>> answers = takePromptAnswers(rest);
    if (!answers) {
      streams.err << usage;
      return std::nullopt;
    }
    out.promptAnswers = *answers;
  }
  if (!moveLanguageFirst(rest)) {
    streams.err << usage;
    return std::nullopt;
  }
  out.state = programState(rest, streams);
  if (rest.size() != 2 || rest[0].startsWith(QLatin1Char('-')) ||
      rest[1].startsWith(QLatin1Char('-'))) {
    streams.err << usage;
    return std::nullopt;
  }
  if (out.state.language != QLatin1String("FR") && out.state.language != QLatin1String("AN")) {
    streams.err << "korvo " << command << ": unknown language " << out.state.language
                << " (FR or AN)\n";
    return std::nullopt;
  }
  const std::optional<db::ConnectString> connect = readConnectArgument(rest[0], command, streams);
  if (!connect) return std::nullopt;
  out.connect = *connect;
  out.queryArgument = rest[1];
  out.queryFile = QFileInfo(rest[1]).absoluteFilePath();
  if (!QFileInfo::exists(out.queryFile)) {
    streams.err << "korvo " << command << ": " << rest[1] << ": the query file does not exist\n";
    status = kExitFailure;
    return std::nullopt;
  }
  status = kExitOk;
  return out;
}

std::optional<QMap<QString, QString>> takePromptAnswers(QStringList& arguments) {
  QMap<QString, QString> answers;
  for (qsizetype at = arguments.indexOf(QStringLiteral("--prompt")); at >= 0;
       at = arguments.indexOf(QStringLiteral("--prompt"))) {
    if (at + 1 >= arguments.size()) return std::nullopt;
    const QString pair = arguments[at + 1];
    const qsizetype equals = pair.indexOf(QLatin1Char('='));
    if (equals <= 0) return std::nullopt;
    answers.insert(pair.left(equals), pair.mid(equals + 1));
    arguments.remove(at, 2);
  }
  return answers;
}

bool answerPrompts(const QMap<QString, QString>& answers, sqlgen::PromptList& prompts,
                   QString& missing) {
  for (sqlgen::PromptRequest& p : prompts) {
    const auto found = answers.constFind(p.label);
    if (found == answers.constEnd()) {
      missing = p.label;
      return false;
    }
    p.answer = *found;
  }
  return true;
}

}  // namespace korvo::cli

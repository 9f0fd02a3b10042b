#pragma once
// The CONNECT argument every subcommand takes (user/password@alias; the
// password may come from KORVO_PASSWORD instead of the process list) and the
// "--lang FR|AN" option of the subcommands that show catalogue messages.
#include <QStringList>
#include <memory>
#include <optional>

#include "cli/subcommand.h"
#include "db/connect_string.h"
#include "builder/workspace.h"
#include "db/connection.h"
#include "kernel/app_state.h"
#include "sqlgen/prompts.h"
#include <QMap>

namespace korvo::cli {

// Reads CONNECT; prints the usage hint of `command` and returns nothing when it
// is not written user/password@alias.
std::optional<db::ConnectString> readConnectArgument(const QString& argument, const char* command,
                                                     CliStreams& streams);

// Opens the connection CONNECT names; prints the server's error and returns
// null when the logon is refused.
std::unique_ptr<db::Connection> openLogin(const db::ConnectString& connect, CliStreams& streams);

// Takes a leading "--lang CODE" off `arguments` and returns the code, upper case.
std::optional<QString> takeLanguageOption(QStringList& arguments);

// "--lang CODE" may stand anywhere among the arguments: moves it to the front,
// where programState reads it. False when "--lang" has no code after it.
bool moveLanguageFirst(QStringList& arguments);

// The arguments of the saved-query commands (generate, run): CONNECT QUERYFILE
// and "--lang FR|AN" anywhere, the program state read with them.
struct SavedQueryArguments {
  kernel::AppState state;
  db::ConnectString connect;
  QString queryArgument;  // as given, for messages
  QString queryFile;      // absolute, existing
  QMap<QString, QString> promptAnswers;  // --prompt QUESTION=ANSWER, when taken
};

// Prints the usage or the fault (prefixed "korvo COMMAND: ") and sets `status`
// when the arguments cannot be used. `withPrompts`: "--prompt Q=A" is taken too.
std::optional<SavedQueryArguments> readSavedQueryArguments(QStringList arguments,
                                                           const char* command,
                                                           const char* usage,
                                                           CliStreams& streams, int& status,
                                                           bool withPrompts = false);

// The answers of "--prompt QUESTION=ANSWER" (repeatable, anywhere), taken off
// `arguments`; nothing when one is not written QUESTION=ANSWER.
std::optional<QMap<QString, QString>> takePromptAnswers(QStringList& arguments);

// Fills each prompt's answer from `answers` by its label; false, with the
// first label that has none in `missing`, when one is not answered.
bool answerPrompts(const QMap<QString, QString>& answers, sqlgen::PromptList& prompts,
                   QString& missing);

// Init_Classes on the workspace, as entering query mode does; the reason when
// the schema holds no universe or its catalogue cannot be read.
std::optional<QString> loadUniverse(builder::Workspace& workspace);

// The program state as the desktop program starts it: the settings file of the
// current folder (the run folder, where korvo is started from), then a
// "--lang CODE" taken off `arguments` over the settings' language. A settings
// file that cannot be read is reported on standard error and ignored.
kernel::AppState programState(QStringList& arguments, CliStreams& streams);

}  // namespace korvo::cli

#pragma once
// statistiquesClick: refreshes the optimizer statistics of the connected
// schema by starting the command-line client twice, on stat_prep.sql (which
// writes the statistics script) and on stat_exec.sql (which runs it), each
// after its own question. The client is `sqlplus` found on the PATH; without
// it, on the embedded engine, `korvo sql` beside the program runs the same
// scripts. The login never goes into an argument, where any user of the
// machine could read it in the process list: sqlplus reads it on its standard
// input (/nolog, then CONNECT), korvo from its environment (KORVO_PASSWORD).
#include <QList>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "session/connect_target.h"

class QProcess;

namespace korvo::repository {

// One start of the client on one script.
struct ClientLaunch {
  QString program;
  QStringList arguments;
  QByteArray standardInput;
  QProcessEnvironment environment;
  QString logFile;  // where its output goes: the client has no window here
};

// The launch of `script` ("stat_prep.sql" or "stat_exec.sql"), or nothing
// when no client can run it: `sqlplus` is the program found on the PATH
// (empty when none), `korvo` the command beside this program.
std::optional<ClientLaunch> statisticsLaunch(const session::LoginParameters& login,
                                             const QString& script, const QString& sqlplus,
                                             const QString& korvo);

class StatisticsLauncher : public QObject {
  Q_OBJECT
 public:
  // `findSqlplus` gives sqlplus's path or an empty text (the PATH by default);
  // `korvo` the path of the korvo command.
  StatisticsLauncher(const kernel::AppState& state, kernel::Interaction& interaction,
                     QString korvo, std::function<QString()> findSqlplus = {},
                     QObject* parent = nullptr);
  ~StatisticsLauncher() override;

  void statistiquesClick(const session::LoginParameters& login);

  // The clients started and still running (tests wait for them).
  QList<QProcess*> running() const;

 private:
  bool start(const ClientLaunch& launch, QProcess* after);

  const kernel::AppState& state_;
  kernel::Interaction& interaction_;
  QString korvo_;
  std::function<QString()> findSqlplus_;
};

}  // namespace korvo::repository

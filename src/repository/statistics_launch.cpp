#include "repository/statistics_launch.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "db/db_alias.h"
#include "kernel/language.h"

namespace korvo::repository {

std::optional<ClientLaunch> statisticsLaunch(const session::LoginParameters& login,
                                             const QString& script, const QString& sqlplus,
                                             const QString& korvo) {
  ClientLaunch launch;
  launch.environment = QProcessEnvironment::systemEnvironment();
  launch.environment.remove(QStringLiteral("KORVO_PASSWORD"));
  launch.logFile = QFileInfo(script).completeBaseName() + QStringLiteral(".log");
  const bool embedded = db::parseAlias(login.database).kind == db::AliasKind::Local;
  if (!sqlplus.isEmpty() && !embedded) {
    launch.program = sqlplus;
    launch.arguments = {QStringLiteral("-S"), QStringLiteral("/nolog")};
    launch.standardInput = (QStringLiteral("connect ") + login.user + QLatin1Char('/') +
                            login.password + QLatin1Char('@') + login.database +
                            QStringLiteral("\n@") + script + QStringLiteral("\nexit\n"))
                               .toLocal8Bit();
    return launch;
  }
  if (!embedded || korvo.isEmpty() || !QFileInfo(korvo).isExecutable()) return std::nullopt;
  launch.program = korvo;
  launch.arguments = {QStringLiteral("sql"), login.user + QLatin1Char('@') + login.database,
                      QLatin1Char('@') + script};
  launch.environment.insert(QStringLiteral("KORVO_PASSWORD"), login.password);
  return launch;
}

StatisticsLauncher::StatisticsLauncher(const kernel::AppState& state,
                                       kernel::Interaction& interaction, QString korvo,
                                       std::function<QString()> findSqlplus, QObject* parent)
    : QObject(parent),
      state_(state),
      interaction_(interaction),
      korvo_(std::move(korvo)),
      findSqlplus_(std::move(findSqlplus)) {
  if (!findSqlplus_)
    findSqlplus_ = [] { return QStandardPaths::findExecutable(QStringLiteral("sqlplus")); };
}

StatisticsLauncher::~StatisticsLauncher() {
  // The clients go on without the window, as they would have on their own.
  for (QProcess* process : running()) {
    process->disconnect(this);
    process->setParent(nullptr);
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
  }
}

QList<QProcess*> StatisticsLauncher::running() const {
  QList<QProcess*> out;
  for (QProcess* p : findChildren<QProcess*>(QString(), Qt::FindDirectChildrenOnly))
    if (p->state() != QProcess::NotRunning) out << p;
  return out;
}

bool StatisticsLauncher::start(const ClientLaunch& launch, QProcess* after) {
  auto* process = new QProcess(this);
  process->setProgram(launch.program);
  process->setArguments(launch.arguments);
  process->setProcessEnvironment(launch.environment);
  process->setStandardOutputFile(launch.logFile);
  process->setProcessChannelMode(QProcess::MergedChannels);
  connect(process, &QProcess::finished, process, &QObject::deleteLater);
  const QByteArray input = launch.standardInput;
  const auto go = [process, input] {
    process->start();
    if (!process->waitForStarted(5000)) return false;
    if (!input.isEmpty()) process->write(input);
    process->closeWriteChannel();
    return true;
  };
  if (after && after->state() != QProcess::NotRunning) {
    // The script the first client writes must be whole before the second
    // reads it: the second starts when the first ends, the window not waiting.
    connect(after, &QProcess::finished, process, [this, go] {
      if (!go()) interaction_.error(kernel::textTables(state_.language).messages.value(16));
    });
    return true;
  }
  if (!go()) {
    process->deleteLater();
    return false;
  }
  return true;
}

void StatisticsLauncher::statistiquesClick(const session::LoginParameters& login) {
  if (state_.dbmsType != QLatin1String("ORACLE")) return;
  const QString sqlplus = findSqlplus_();
  const QString entry16 = kernel::textTables(state_.language).messages.value(16);
  const QStringList messages = kernel::textTables(state_.language).messages;
  QProcess* first = nullptr;
  if (interaction_.confirm(messages.value(30))) {
    const std::optional<ClientLaunch> launch =
        statisticsLaunch(login, QStringLiteral("stat_prep.sql"), sqlplus, korvo_);
    const QList<QProcess*> before = running();
    if (!launch || !start(*launch, nullptr)) {
      interaction_.error(entry16);
      return;
    }
    for (QProcess* p : running())
      if (!before.contains(p)) first = p;
  }
  if (interaction_.confirm(messages.value(31))) {
    const std::optional<ClientLaunch> launch =
        statisticsLaunch(login, QStringLiteral("stat_exec.sql"), sqlplus, korvo_);
    if (!launch || !start(*launch, first)) interaction_.error(entry16);
  }
}

}  // namespace korvo::repository

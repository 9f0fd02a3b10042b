#include "sqlgen/run_history.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>

#include "builder/query_files.h"
#include "repository/data_packet_io.h"

namespace korvo::sqlgen {
namespace {

constexpr int kSchemaVersion = 1;

const char* const kCreate =
    "create table if not exists runs ("
    " id integer primary key autoincrement,"
    " started text not null, trigger_name text not null,"
    " alias text not null, user_name text not null,"
    " universe_id text not null, universe_name text not null,"
    " objects_packet blob, conditions_packet blob,"
    " object_names text not null, prompts text not null,"
    " statement text not null, outcome text not null,"
    " rows_fetched integer not null, duration_ms integer not null,"
    " refusal integer not null, error text not null,"
    " search_text text not null)";

const char* const kColumns =
    "id, started, trigger_name, alias, user_name, universe_id, universe_name, objects_packet, "
    "conditions_packet, object_names, prompts, statement, outcome, rows_fetched, duration_ms, "
    "refusal, error";

QString setAsideText(const QString& language, const QString& file, const QString& moved) {
  if (language == u"AN")
    return QStringLiteral("The run history %1 was damaged: it was set aside as %2 and a new history started.")
        .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(moved));
  return QStringLiteral("L'historique des exécutions %1 était endommagé : il a été mis de côté sous %2 et un nouvel historique commencé.")
      .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(moved));
}

// A statement closed on every path.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) { ok_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) == SQLITE_OK; }
  ~Statement() { sqlite3_finalize(stmt_); }
  bool ok() const { return ok_; }
  sqlite3_stmt* get() const { return stmt_; }
  void text(int at, const QString& value) {
    const QByteArray bytes = value.toUtf8();
    sqlite3_bind_text(stmt_, at, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  }
  void blob(int at, const QByteArray& value) {
    if (value.isEmpty())
      sqlite3_bind_null(stmt_, at);
    else
      sqlite3_bind_blob(stmt_, at, value.constData(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
  }
  void integer(int at, long long value) { sqlite3_bind_int64(stmt_, at, value); }
  QString textAt(int col) const {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col)),
                             sqlite3_column_bytes(stmt_, col));
  }
  QByteArray blobAt(int col) const {
    return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, col)),
                      sqlite3_column_bytes(stmt_, col));
  }
  long long integerAt(int col) const { return sqlite3_column_int64(stmt_, col); }

 private:
  sqlite3_stmt* stmt_ = nullptr;
  bool ok_ = false;
};

QString promptsJson(const QList<QPair<QString, QString>>& prompts) {
  QJsonArray array;
  for (const auto& [question, answer] : prompts) array.append(QJsonArray{question, answer});
  return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

QList<QPair<QString, QString>> promptsFromJson(const QString& text) {
  QList<QPair<QString, QString>> out;
  for (const QJsonValue& pair : QJsonDocument::fromJson(text.toUtf8()).array())
    out << qMakePair(pair.toArray().at(0).toString(), pair.toArray().at(1).toString());
  return out;
}

RunTrigger triggerNamed(const QString& name) {
  for (RunTrigger t : {RunTrigger::Builder, RunTrigger::Editor, RunTrigger::Refresh, RunTrigger::Sort,
                       RunTrigger::CommandLine})
    if (runTriggerName(t) == name) return t;
  return RunTrigger::Builder;
}

RunRecord::Outcome outcomeNamed(const QString& name) {
  for (RunRecord::Outcome o : {RunRecord::Outcome::Fetched, RunRecord::Outcome::Refused,
                               RunRecord::Outcome::Failed, RunRecord::Outcome::Cancelled})
    if (outcomeName(o) == name) return o;
  return RunRecord::Outcome::Failed;
}

RunRecord recordAt(const Statement& s) {
  RunRecord r;
  r.id = s.integerAt(0);
  r.startedAt = QDateTime::fromString(s.textAt(1), Qt::ISODateWithMs);
  r.trigger = triggerNamed(s.textAt(2));
  r.alias = s.textAt(3);
  r.user = s.textAt(4);
  r.universeId = s.textAt(5);
  r.universeName = s.textAt(6);
  r.objectsPacket = s.blobAt(7);
  r.conditionsPacket = s.blobAt(8);
  r.objectNames = s.textAt(9).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  r.promptAnswers = promptsFromJson(s.textAt(10));
  r.statement = s.textAt(11);
  r.outcome = outcomeNamed(s.textAt(12));
  r.rows = s.integerAt(13);
  r.durationMs = s.integerAt(14);
  r.refusal = static_cast<int>(s.integerAt(15));
  r.error = s.textAt(16);
  return r;
}

}  // namespace

QString runTriggerName(RunTrigger trigger) {
  switch (trigger) {
    case RunTrigger::Builder: return QStringLiteral("builder");
    case RunTrigger::Editor: return QStringLiteral("editor");
    case RunTrigger::Refresh: return QStringLiteral("refresh");
    case RunTrigger::Sort: return QStringLiteral("sort");
    case RunTrigger::CommandLine: return QStringLiteral("cli");
  }
  return QString();
}

QString outcomeName(RunRecord::Outcome outcome) {
  switch (outcome) {
    case RunRecord::Outcome::Fetched: return QStringLiteral("rows");
    case RunRecord::Outcome::Refused: return QStringLiteral("refused");
    case RunRecord::Outcome::Failed: return QStringLiteral("error");
    case RunRecord::Outcome::Cancelled: return QStringLiteral("cancelled");
  }
  return QString();
}

bool captureQuery(const builder::QueryGrids& grids, RunRecord& record, QString& error) {
  const builder::PacketOrError objects = builder::objectFilePacket(grids.objects());
  const builder::PacketOrError conditions = builder::conditionFilePacket(grids.conditions(), grids.texts());
  error = !objects.error.isEmpty() ? objects.error : conditions.error;
  if (!error.isEmpty()) return false;
  try {
    record.objectsPacket = repository::writeDataPacket(objects.packet);
    record.conditionsPacket = repository::writeDataPacket(conditions.packet);
  } catch (const repository::DataPacketError& e) {
    error = e.text();
    return false;
  }
  record.objectNames.clear();
  for (int row = 1; row < grids.objects().rowCount(); ++row) {
    const QString name = grids.objects().cell(row, builder::kObjName);
    if (!name.trimmed().isEmpty()) record.objectNames << name;
  }
  return true;
}

std::optional<QString> restoreQuery(const RunRecord& record, builder::QueryGrids& grids) {
  if (!record.hasQuery()) return QStringLiteral("run %1 holds no query of the builder").arg(record.id);
  const QString name = QStringLiteral("run %1").arg(record.id);
  builder::RowsOrError objects, conditions;
  try {
    objects = builder::objectRows(repository::readDataPacket(record.objectsPacket, name), name);
    conditions = builder::conditionRows(repository::readDataPacket(record.conditionsPacket, name), name,
                                        grids.texts());
  } catch (const repository::DataPacketError& e) {
    return e.text();
  }
  if (!objects.error.isEmpty()) return objects.error;
  if (!conditions.error.isEmpty()) return conditions.error;
  grids.replaceObjects(objects.rows);
  grids.replaceConditions(conditions.rows);
  return std::nullopt;
}

QString RunHistory::defaultPath() {
  // $XDG_DATA_HOME (~/.local/share when unset); the tests' own folder in test mode.
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return QDir(base).filePath(QStringLiteral("korvo-bo6/history.sqlite"));
}

RunHistory::RunHistory(const QString& path, const QString& language) : path_(path), language_(language) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  if (openFile() && prepareSchema()) return;
  closeFile();
  // A file another program holds locked, or that cannot be read, is not
  // damaged: it stays as it is and this history records nothing.
  if (!damaged_ || !QFileInfo::exists(path_)) return;
  // Not a history we can use: kept aside for whoever wants to look at it.
  const QString stem = path_ + QStringLiteral(".damaged-") +
                       QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  QString moved = stem;
  // A file set aside earlier in the same second is not overwritten.
  for (int n = 2; QFileInfo::exists(moved) && n < 1000; ++n) moved = stem + QLatin1Char('-') + QString::number(n);
  if (!QFile::rename(path_, moved)) {
    lastError_ = QStringLiteral("%1: cannot be set aside").arg(path_);
    return;
  }
  for (const char* side : {"-wal", "-shm", "-journal"}) QFile::remove(path_ + QLatin1String(side));
  setAside_ = moved;
  notice_ = setAsideText(language_, path_, moved);
  damaged_ = false;
  if (!openFile() || !prepareSchema()) closeFile();
}

RunHistory::~RunHistory() { closeFile(); }

bool RunHistory::openFile() {
  const QByteArray name = QFile::encodeName(path_);
  if (sqlite3_open_v2(name.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    lastError_ = QStringLiteral("%1: %2").arg(path_, QString::fromUtf8(sqlite3_errmsg(db_)));
    closeFile();
    return false;
  }
  sqlite3_busy_timeout(db_, 2000);
  return true;
}

void RunHistory::closeFile() {
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
}

bool RunHistory::exec(const char* sql) {
  char* message = nullptr;
  const int code = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
  if (code == SQLITE_OK) return true;
  if ((code & 0xff) == SQLITE_NOTADB || (code & 0xff) == SQLITE_CORRUPT) damaged_ = true;
  lastError_ = QStringLiteral("%1: %2").arg(path_, QString::fromUtf8(message ? message : sqlite3_errmsg(db_)));
  sqlite3_free(message);
  return false;
}

bool RunHistory::prepareSchema() {
  // WAL with NORMAL sync: a commit survives the program's crash, and costs
  // no full disk flush per run.
  if (!exec("pragma journal_mode=wal") || !exec("pragma synchronous=normal")) return false;
  {
    Statement check(db_, "pragma quick_check");
    if (!check.ok() || sqlite3_step(check.get()) != SQLITE_ROW) {
      const int code = sqlite3_errcode(db_);
      damaged_ = code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
      lastError_ = QStringLiteral("%1: %2").arg(path_, QString::fromUtf8(sqlite3_errmsg(db_)));
      return false;
    }
    if (check.textAt(0) != u"ok") {
      lastError_ = QStringLiteral("%1: the file is not a sound history").arg(path_);
      damaged_ = true;
      return false;
    }
  }
  Statement version(db_, "pragma user_version");
  if (!version.ok() || sqlite3_step(version.get()) != SQLITE_ROW) return false;
  const long long found = version.integerAt(0);
  if (!exec(kCreate)) return false;
  // A history of another layout (a later program's) is not written into.
  Statement columns(db_, "select count(*) from pragma_table_info('runs')");
  if (!columns.ok() || sqlite3_step(columns.get()) != SQLITE_ROW || columns.integerAt(0) != 18) {
    lastError_ = QStringLiteral("%1: the runs table is not the program's").arg(path_);
    damaged_ = true;
    return false;
  }
  if (found == 0) return exec("pragma user_version=1");
  if (found != kSchemaVersion) {
    lastError_ = QStringLiteral("%1: history version %2").arg(path_).arg(found);
    return false;
  }
  return true;
}

bool RunHistory::record(RunRecord& r) {
  if (!db_) return false;
  if (!exec("begin immediate")) return false;
  Statement insert(db_,
                   "insert into runs (started, trigger_name, alias, user_name, universe_id, "
                   "universe_name, objects_packet, conditions_packet, object_names, prompts, "
                   "statement, outcome, rows_fetched, duration_ms, refusal, error, search_text) "
                   "values (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17)");
  bool ok = insert.ok();
  if (ok) {
    insert.text(1, r.startedAt.toString(Qt::ISODateWithMs));
    insert.text(2, runTriggerName(r.trigger));
    insert.text(3, r.alias);
    insert.text(4, r.user);
    insert.text(5, r.universeId);
    insert.text(6, r.universeName);
    insert.blob(7, r.objectsPacket);
    insert.blob(8, r.conditionsPacket);
    insert.text(9, r.objectNames.join(QLatin1Char('\n')));
    insert.text(10, promptsJson(r.promptAnswers));
    insert.text(11, r.statement);
    insert.text(12, outcomeName(r.outcome));
    insert.integer(13, r.rows);
    insert.integer(14, r.durationMs);
    insert.integer(15, r.refusal);
    insert.text(16, r.error);
    insert.text(17, (r.statement + QLatin1Char('\n') + r.objectNames.join(QLatin1Char('\n'))).toLower());
    ok = sqlite3_step(insert.get()) == SQLITE_DONE;
  }
  if (ok) {
    r.id = sqlite3_last_insert_rowid(db_);
    Statement trim(db_, "delete from runs where id <= ?1");
    ok = trim.ok();
    if (ok) {
      trim.integer(1, r.id - kKeptRuns);
      ok = sqlite3_step(trim.get()) == SQLITE_DONE;
    }
  }
  if (!ok) {
    lastError_ = QStringLiteral("%1: %2").arg(path_, QString::fromUtf8(sqlite3_errmsg(db_)));
    exec("rollback");
    return false;
  }
  return exec("commit");
}

QList<RunRecord> RunHistory::runs(const QString& search, int limit) const {
  QList<RunRecord> out;
  if (!db_) return out;
  const QByteArray sql = QByteArray("select ") + kColumns +
                         " from runs where ?1 = '' or instr(search_text, ?1) > 0 order by id desc limit ?2";
  Statement select(db_, sql.constData());
  if (!select.ok()) return out;
  select.text(1, search.trimmed().toLower());
  select.integer(2, limit < 0 ? kKeptRuns : limit);
  while (sqlite3_step(select.get()) == SQLITE_ROW) out << recordAt(select);
  return out;
}

std::optional<RunRecord> RunHistory::run(long long id) const {
  if (!db_) return std::nullopt;
  const QByteArray sql = QByteArray("select ") + kColumns + " from runs where id = ?1";
  Statement select(db_, sql.constData());
  if (!select.ok()) return std::nullopt;
  select.integer(1, id);
  if (sqlite3_step(select.get()) != SQLITE_ROW) return std::nullopt;
  return recordAt(select);
}

long long RunHistory::count() const {
  if (!db_) return 0;
  Statement select(db_, "select count(*) from runs");
  return select.ok() && sqlite3_step(select.get()) == SQLITE_ROW ? select.integerAt(0) : 0;
}

}  // namespace korvo::sqlgen

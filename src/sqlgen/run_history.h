#pragma once
// The run history: every run, whatever started it, as one row of a local
// SQLite file (by default $XDG_DATA_HOME/korvo-bo6/history.sqlite). Each
// record is committed when its run ends, so a crash of the program loses no
// finished run; the last kKeptRuns are kept. The query is kept as the two
// packets of a saved query (neutral connectors and operators), so it reopens
// in either language. No password is ever given to it.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

#include "builder/query_grids.h"

struct sqlite3;

namespace korvo::sqlgen {

// What started a run.
enum class RunTrigger { Builder, Editor, Refresh, Sort, CommandLine };
QString runTriggerName(RunTrigger trigger);  // "builder", "editor", "refresh", "sort", "cli"

struct RunRecord {
  enum class Outcome { Fetched, Refused, Failed, Cancelled };

  long long id = 0;  // given by record()
  QDateTime startedAt;
  RunTrigger trigger = RunTrigger::Builder;
  QString alias;  // the connection alias and user; never a password
  QString user;
  QString universeId;
  QString universeName;
  QByteArray objectsPacket;     // the result-object file's packet; empty for the editor's text
  QByteArray conditionsPacket;  // the condition file's packet
  QStringList objectNames;      // shown and searched
  QList<QPair<QString, QString>> promptAnswers;
  QString statement;  // as sent; for a refusal, what was to be sent
  Outcome outcome = Outcome::Fetched;
  long long rows = 0;  // rows fetched by the end of the run
  long long durationMs = 0;
  int refusal = -1;  // the catalogue entry of a refusal
  QString error;     // the database's text, or the refusal's

  bool hasQuery() const { return !objectsPacket.isEmpty(); }
};
QString outcomeName(RunRecord::Outcome outcome);  // "rows", "refused", "error", "cancelled"

// The query of the grids in the neutral form; false (with `error`) when a
// cell cannot be stored.
bool captureQuery(const builder::QueryGrids& grids, RunRecord& record, QString& error);
// Puts a recorded query back into both grids, in the grids' language;
// nothing changes on a refusal, which is returned.
std::optional<QString> restoreQuery(const RunRecord& record, builder::QueryGrids& grids);

class RunHistory {
 public:
  static constexpr int kKeptRuns = 10000;

  // $XDG_DATA_HOME/korvo-bo6/history.sqlite (~/.local/share when unset).
  static QString defaultPath();

  // Opens or creates the file. A file that is not a sound history is renamed
  // beside itself (".damaged-" and the time) and a new one started; noticeOf
  // then says so. Never throws: a history that cannot be opened at all
  // records nothing and says why in lastError.
  explicit RunHistory(const QString& path, const QString& language = QStringLiteral("FR"));
  ~RunHistory();
  RunHistory(const RunHistory&) = delete;
  RunHistory& operator=(const RunHistory&) = delete;

  bool isOpen() const { return db_ != nullptr; }
  QString path() const { return path_; }
  // The message for a damaged file set aside; empty otherwise.
  QString notice() const { return notice_; }
  QString setAsidePath() const { return setAside_; }
  QString lastError() const { return lastError_; }

  // Commits one run and drops the oldest beyond kKeptRuns; sets record.id.
  bool record(RunRecord& record);
  // Newest first; `search` (any case) in the statement or an object name.
  QList<RunRecord> runs(const QString& search = QString(), int limit = kKeptRuns) const;
  std::optional<RunRecord> run(long long id) const;
  long long count() const;

 private:
  bool openFile();
  bool prepareSchema();
  void closeFile();
  bool exec(const char* sql);

  QString path_;
  QString language_;
  sqlite3* db_ = nullptr;
  QString notice_;
  QString setAside_;
  mutable QString lastError_;
  bool damaged_ = false;  // the file is not a sound history (not merely busy)
};

}  // namespace korvo::sqlgen

#pragma once
// The run road in the window: every run trigger (both run buttons, refresh,
// F9 in the memo), the switch to result mode, the result grid with its
// title-click sort and the two copy commands. The logic lives in sqlgen; this
// object holds the result model for as long as the window lives.
#include <QObject>
#include <memory>

#include "sqlgen/prompts.h"
#include "sqlgen/run_history.h"
#include "sqlgen/file_export.h"
#include "sqlgen/run_provenance.h"

namespace korvo::builder {
class Workspace;
}
namespace korvo::db {
class Connection;
}
namespace korvo::kernel {
class Interaction;
}

namespace korvo::app {

class MainWindow;

class RunFeatures : public QObject {
  Q_OBJECT
 public:
  RunFeatures(MainWindow& window, builder::Workspace& workspace, db::Connection& connection,
              kernel::Interaction& messages);
  ~RunFeatures() override;

  // ProcExecuter: what every run trigger calls; the builder's run with the
  // query builder shown, the editor's otherwise.
  void run();
  void runFrom(sqlgen::RunTrigger trigger);
  // DBGridDataTitleClick.
  void sortBy(const QString& title);

  // The run history every run is recorded in, opened on first use (at
  // RunHistory::defaultPath() unless set before).
  void setHistoryPath(const QString& path) { historyPath_ = path; }
  sqlgen::RunHistory* history();

  // "Historique des exécutions..." (Ctrl+H): the history window, modal.
  void showHistory();
  // Puts a recorded run back without running it: its query into both grids
  // (query mode), or its text into the editor.
  void reopen(const sqlgen::RunRecord& run);
  // "Exporter...": every row of the result into a file the user chooses
  // (.csv, .xlsx, .html or .txt), with a progress box and Cancel.
  void exportToFile();
  // The same into `path`, without asking; the outcome.
  sqlgen::ExportOutcome exportResultTo(const QString& path);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The prompt dialog for `prompts`; false on Cancel.
  bool askPrompts(sqlgen::PromptList& prompts);
  // Opens the statement into the result grid; a database error is shown and
  // leaves the grid empty. The run, whatever its end, goes into the history.
  void openResult(const QString& statement, sqlgen::RunTrigger trigger, bool withQuery);
  void recordRefusal(sqlgen::RunTrigger trigger, bool withQuery, const QString& statement);

  struct Parts;
  std::unique_ptr<Parts> parts_;
  QString historyPath_;
  std::unique_ptr<sqlgen::RunHistory> history_;
  // The schema's universe, read again whenever the class tree was rebuilt.
  sqlgen::UniverseName universe_;
  int universeVersion_ = -1;
  // The provenance of the result shown: its run's query, answers and time.
  sqlgen::Provenance shownRun_;
};

}  // namespace korvo::app

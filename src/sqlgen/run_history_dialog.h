#pragma once
// The run history window: the runs newest first, a search box over the
// statements and the object names, the selected run's details. A double
// click (or Enter) asks for the run to be reopened, without running it.
#include <QDialog>
#include <QList>
#include <functional>

#include "sqlgen/run_history.h"

class QLineEdit;
class QTableWidget;
class QPlainTextEdit;
class QLabel;

namespace korvo::sqlgen {

// Texts of the window in the interface language ("FR" or "AN").
struct RunHistoryTexts {
  QString title, search, menuItem, exportItem;
  QStringList headers;  // time, origin, outcome, rows, duration, universe, statement
  QString triggerName(RunTrigger trigger) const;
  QString outcomeName(RunRecord::Outcome outcome) const;
  QString language;
};
RunHistoryTexts runHistoryTexts(const QString& language);

// The details pane of one run, in the window's language.
QString runDetails(const RunRecord& run, const RunHistoryTexts& texts);

class RunHistoryDialog : public QDialog {
  Q_OBJECT
 public:
  RunHistoryDialog(RunHistory& history, const QString& language, QWidget* parent = nullptr);

  // Reads the runs again with the search box's text.
  void refresh();
  QLineEdit* searchBox() const { return search_; }
  QTableWidget* runList() const { return list_; }
  QPlainTextEdit* details() const { return details_; }
  const QList<RunRecord>& shownRuns() const { return shown_; }

  // The run to reopen: its query into the grids, or its text into the editor.
  std::function<void(const RunRecord&)> onReopen;

 private:
  void showDetails();
  void reopen(int row);

  RunHistory& history_;
  RunHistoryTexts texts_;
  QLineEdit* search_;
  QTableWidget* list_;
  QPlainTextEdit* details_;
  QList<RunRecord> shown_;
};

}  // namespace korvo::sqlgen

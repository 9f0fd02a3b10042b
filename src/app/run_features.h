#pragma once
// The run road in the window: every run trigger (both run buttons, refresh,
// F9 in the memo), the switch to result mode, the result grid with its
// title-click sort and the two copy commands. The logic lives in sqlgen; this
// object holds the result model for as long as the window lives.
#include <QObject>
#include <memory>

#include "sqlgen/prompts.h"

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

  // ProcExecuter: what every run trigger calls.
  void run();
  // DBGridDataTitleClick.
  void sortBy(const QString& title);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The prompt dialog for `prompts`; false on Cancel.
  bool askPrompts(sqlgen::PromptList& prompts);
  // Opens the statement into the result grid; a database error is shown and
  // leaves the grid empty.
  void openResult(const QString& statement);

  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace korvo::app

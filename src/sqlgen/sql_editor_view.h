#pragma once
// The SQL editor's commands around MemoSql: new, open and save of scripts in
// the SCRIPTS folder (the current script's name offered again on save), the
// colouring of Oracle SQL in the memo, and the cursor's line and column for
// the status bar. The run is the window's (the launch of every run).
#include <QObject>
#include <QString>
#include <functional>

#include "kernel/app_state.h"
#include "kernel/interaction.h"

class QSyntaxHighlighter;

namespace korvo::sqlgen {

class SqlPanel;

class SqlEditorView : public QObject {
  Q_OBJECT
 public:
  // `showPosition` receives "Ligne L, colonne C" / "Line L, column C" as the
  // cursor moves in the memo.
  SqlEditorView(SqlPanel& panel, const kernel::AppState& state, kernel::Interaction& interaction,
                std::function<void(const QString&)> showPosition, QObject* parent = nullptr);
  ~SqlEditorView() override;

  void newScript();   // SBNewSqlClick
  void openScript();  // SBOpenSqlClick
  void saveScript();  // SBSaveSqlClick
  const QString& currentScript() const { return currentScript_; }
  QSyntaxHighlighter* highlighter() const { return highlighter_; }

 private:
  void cursorMoved();

  SqlPanel& panel_;
  const kernel::AppState& state_;
  kernel::Interaction& interaction_;
  std::function<void(const QString&)> showPosition_;
  QSyntaxHighlighter* highlighter_ = nullptr;
  QString currentScript_;
};

}  // namespace korvo::sqlgen

#include "app/run_features.h"

#include "db/statement_runner.h"

#include <QApplication>
#include <QDir>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QProgressDialog>
#include <QTableView>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QToolButton>

#include "app/main_window.h"
#include "builder/value_list.h"
#include "builder/value_list_dialog.h"
#include "builder/workspace.h"
#include "db/connection.h"
#include "kernel/interaction.h"
#include "kernel/toolbar_widget.h"
#include "sqlgen/prompt_dialog.h"
#include "sqlgen/query_run.h"
#include "sqlgen/result_export.h"
#include "sqlgen/result_grid_view.h"
#include "sqlgen/result_model.h"
#include "sqlgen/result_panel.h"
#include "sqlgen/result_sort.h"
#include "sqlgen/run_history_dialog.h"
#include "sqlgen/run_provenance.h"
#include "sqlgen/run_recording.h"
#include "sqlgen/sql_panel.h"

namespace korvo::app {

struct RunFeatures::Parts {
  Parts(MainWindow& w, builder::Workspace& ws, db::Connection& c, kernel::Interaction& m)
      : window(w), workspace(ws), connection(c), messages(m), view(*w.resultPanel(), model, m) {}

  MainWindow& window;
  builder::Workspace& workspace;
  db::Connection& connection;
  kernel::Interaction& messages;
  sqlgen::RunState runState;
  sqlgen::ResultModel model;
  sqlgen::ResultGridView view;
};

RunFeatures::RunFeatures(MainWindow& window, builder::Workspace& workspace,
                         db::Connection& connection, kernel::Interaction& messages)
    : parts_(std::make_unique<Parts>(window, workspace, connection, messages)) {
  Parts& p = *parts_;
  p.view.onTitleClicked = [this](const QString& title) { sortBy(title); };
  p.runState.askPrompts = [this](sqlgen::PromptList& prompts) { return askPrompts(prompts); };

  MainWindowHooks& hooks = window.hooks();
  hooks.runQuery = [this] { run(); };
  const auto exportRows = [this, &p](int mode) {
    p.view.withBusyCursor([&] {
      sqlgen::ResultExporter exporter(p.messages, p.window.opener(),
                                      [](const QString& text) {
                                        QApplication::clipboard()->setText(text);
                                      });
      // One clipboard item in two formats: the plain text as it always was,
      // and the same cells as a table for spreadsheets and mail.
      exporter.setRichClipboard = [](const QString& text, const QString& html) {
        auto* data = new QMimeData;
        data->setText(text);
        data->setHtml(html);
        QApplication::clipboard()->setMimeData(data);
      };
      exporter.setProvenance(shownRun_);
      exporter.exportRows(mode, p.model, p.window.texts());
    });
  };
  hooks.copyToClipboard = [exportRows] { exportRows(sqlgen::ResultExporter::Clipboard); };
  hooks.copyToSpreadsheet = [exportRows] { exportRows(sqlgen::ResultExporter::Spreadsheet); };

  // Added beside the menus' own items, in the language of the start.
  const sqlgen::RunHistoryTexts texts = sqlgen::runHistoryTexts(window.state().language);
  if (auto* fichier = window.findChild<QMenu*>(QStringLiteral("Fichier1"))) {
    auto* item = new QAction(texts.menuItem, fichier);
    item->setObjectName(QStringLiteral("HistoriqueExecutions1"));
    item->setShortcut(QKeySequence(QStringLiteral("Ctrl+H")));
    QAction* quit = window.findChild<QAction*>(QStringLiteral("Quitt1"));
    fichier->insertAction(quit && quit->parent() == fichier ? quit : nullptr, item);
    connect(item, &QAction::triggered, this, [this] { showHistory(); });
  }
  if (auto* grille = window.findChild<QMenu*>(QStringLiteral("Grille1"))) {
    auto* item = grille->addAction(texts.exportItem);
    item->setObjectName(QStringLiteral("ExporterGrille1"));
    connect(item, &QAction::triggered, this, [this] { exportToFile(); });
  }

  // The same command on the result toolbar, after the two copy buttons.
  sqlgen::ResultPanel* panel = window.resultPanel();
  QToolButton* exportButton = kernel::addToolButton(panel->toolBar2, QStringLiteral("SBExportGrid"),
                                                    QStringLiteral("export"));
  exportButton->setToolTip(texts.exportItem);
  for (QAction* action : panel->toolBar2->actions()) {
    if (panel->toolBar2->widgetForAction(action) != panel->sbRaf) continue;
    QAction* added = panel->toolBar2->actions().last();
    panel->toolBar2->removeAction(added);
    panel->toolBar2->insertAction(action, added);
    break;
  }
  connect(exportButton, &QToolButton::clicked, this, [this] { exportToFile(); });

  sqlgen::SqlPanel* editor = window.sqlPanel();
  connect(editor->sbExecuteSql, &QToolButton::clicked, this, [this] { run(); });
  connect(window.resultPanel()->sbRaf, &QToolButton::clicked, this,
          [this] { runFrom(sqlgen::RunTrigger::Refresh); });
  editor->memoSql->installEventFilter(this);
}

RunFeatures::~RunFeatures() = default;

bool RunFeatures::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parts_->window.sqlPanel()->memoSql && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_F9) {
    run();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void RunFeatures::run() {
  runFrom(parts_->window.mode() == WorkMode::Query ? sqlgen::RunTrigger::Builder
                                                   : sqlgen::RunTrigger::Editor);
}

sqlgen::RunHistory* RunFeatures::history() {
  if (!history_) {
    history_ = std::make_unique<sqlgen::RunHistory>(
        historyPath_.isEmpty() ? sqlgen::RunHistory::defaultPath() : historyPath_,
        parts_->window.state().language);
    if (!history_->notice().isEmpty()) parts_->messages.inform(history_->notice());
  }
  return history_->isOpen() ? history_.get() : nullptr;
}

void RunFeatures::runFrom(sqlgen::RunTrigger trigger) {
  Parts& p = *parts_;
  if (!p.window.isConnected()) return;
  if (auto* tap = dynamic_cast<sqlgen::MessageTap*>(&p.messages)) tap->last.clear();
  p.window.setStatusText(0, QString());
  p.window.setStatusText(1, QString());
  QPlainTextEdit* memo = p.window.sqlPanel()->memoSql;
  const bool builderShown = p.window.mode() == WorkMode::Query;
  QStringList memoLines = memo->toPlainText().split(QLatin1Char('\n'));
  const std::optional<QString> statement =
      sqlgen::procExecuter(p.workspace, p.runState, builderShown,
                           p.window.sqlPanel()->cbBloquerSql->isChecked(), memoLines);
  // The generation writes the memo even when the launch refuses it.
  // The memo shows the statement with the answers in it; the condition grid
  // shows the answers of its prompts.
  const QString memoText = memoLines.join(QLatin1Char('\n'));
  if (memoText != memo->toPlainText()) memo->setPlainText(memoText);
  if (builderShown && p.workspace.changed) p.workspace.changed();
  const bool withQuery = builderShown && trigger == sqlgen::RunTrigger::Builder;
  if (!statement) {
    recordRefusal(trigger, withQuery, memoText);
    return;
  }
  p.window.procPanelResultat();
  openResult(*statement, trigger, withQuery);
}

void RunFeatures::recordRefusal(sqlgen::RunTrigger trigger, bool withQuery, const QString& statement) {
  Parts& p = *parts_;
  sqlgen::RunHistory* runs = history();
  if (!runs) return;
  const kernel::AppState& state = p.window.state();
  sqlgen::RunRecording recording(trigger, p.workspace, withQuery, state.connectedAlias,
                                 state.connectedUser);
  recording.setStatement(statement);
  recording.setPrompts(p.runState.lastPrompts);
  const auto* tap = dynamic_cast<const sqlgen::MessageTap*>(&p.messages);
  // A prompt dialog left with Cancel is a refusal without a message.
  // A database error on the way (the cost estimate's) is the run's error.
  if (tap && tap->lastWasError)
    recording.failed(tap->last);
  else
    recording.refused(p.window.texts(), tap ? tap->last : QString());
  recording.commit(*runs);
}

bool RunFeatures::askPrompts(sqlgen::PromptList& prompts) {
  Parts& p = *parts_;
  QList<sqlgen::PromptField> fields;
  for (qsizetype n = 0; n < prompts.size(); ++n) {
    const sqlgen::PromptRequest& r = prompts[n];
    sqlgen::PromptField f;
    f.label = r.label;
    f.condition = r.kind == sqlgen::PromptRequest::Condition;
    // Condition prompts are named by their object, the others by a key made
    // of the prompt's number and the object id.
    f.name = f.condition ? r.objectId
                         : QString::number(n + 1) + r.objectId.rightJustified(5, QLatin1Char('0'));
    f.initial = r.answer;
    fields << f;
  }
  // Built afresh for every run; the main window waits while it is open.
  sqlgen::PromptDialog dialog(p.window.texts(), &p.window);
  dialog.build(fields);
  dialog.chooseValues = [&](int index) -> std::optional<QString> {
    const sqlgen::PromptRequest& r = prompts[index];
    const builder::ValueChoice choice = builder::valueChoiceFor(r.operatorLabel, p.window.texts());
    builder::ValueList values;
    try {
      values = builder::distinctValues(p.connection, p.workspace.catalogue(), r.objectId, true);
    } catch (const db::DbError& e) {
      p.messages.error(e.text());
      return std::nullopt;
    }
    builder::ValueListDialog list(p.window.texts(), &dialog);
    list.fill(r.label, values.values, choice);
    if (list.exec() != QDialog::Accepted) return std::nullopt;
    return list.chosenOperand();
  };
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList answers = dialog.answers();
  for (qsizetype n = 0; n < prompts.size(); ++n) prompts[n].answer = answers.value(n);
  return true;
}

void RunFeatures::sortBy(const QString& title) {
  Parts& p = *parts_;
  if (!p.window.isConnected()) return;
  kernel::AppState& state = p.window.state();
  const QString direction = sqlgen::nextSortDirection(state, title);
  const QString expression =
      sqlgen::sortExpression(p.workspace.grids().objects(), p.workspace.catalogue(), title);
  const QString statement = sqlgen::sortedStatement(p.window.sqlPanel()->memoSql->toPlainText(),
                                                    expression, direction);
  p.window.setStatusText(1, sqlgen::sortStatusText(p.window.texts(), title, direction));
  p.view.withBusyCursor([&] { openResult(statement, sqlgen::RunTrigger::Sort, false); });
}

void RunFeatures::openResult(const QString& statement, sqlgen::RunTrigger trigger, bool withQuery) {
  Parts& p = *parts_;
  const kernel::AppState& state = p.window.state();
  sqlgen::RunRecording recording(trigger, p.workspace, withQuery, state.connectedAlias,
                                 state.connectedUser);
  recording.setStatement(statement);
  recording.setPrompts(p.runState.lastPrompts);
  p.model.setRegionalFormat(state.decimalSeparator, state.shortDateFormat);
  p.view.attach();
  try {
    p.model.open(p.connection, statement);
    // Sized on the first packet only: later packets never move the columns.
    p.window.resultPanel()->dbGridData->resizeColumnsToContents();
    recording.fetched(p.model.fetchedRows());
    shownRun_ = sqlgen::provenanceOf(p.workspace.grids(), p.runState.lastPrompts, QString(), statement,
                                     recording.record().startedAt);
    // The editor's own text owes nothing to the grids.
    if (trigger == sqlgen::RunTrigger::Editor) {
      shownRun_.resultObjects.clear();
      shownRun_.conditions.clear();
    }
  } catch (const db::DbError& e) {
    // A Cancel is the user's own doing: the status bar says it, not a box.
    if (e.text() != db::cancelledText()) p.messages.error(e.text());
    recording.failed(e.text());
  }
  if (sqlgen::RunHistory* runs = history()) {
    if (universeVersion_ != p.workspace.treeVersion()) {
      universe_ = sqlgen::schemaUniverse(p.connection);
      universeVersion_ = p.workspace.treeVersion();
    }
    recording.setUniverse(universe_.id, universe_.name);
    recording.commit(*runs);
  }
  shownRun_.universe = universe_.name;
}

void RunFeatures::showHistory() {
  Parts& p = *parts_;
  sqlgen::RunHistory* runs = history();
  if (!runs) {
    p.messages.error(history_->lastError());
    return;
  }
  sqlgen::RunHistoryDialog dialog(*runs, p.window.state().language, &p.window);
  dialog.onReopen = [this](const sqlgen::RunRecord& run) { reopen(run); };
  dialog.exec();
}

void RunFeatures::reopen(const sqlgen::RunRecord& run) {
  Parts& p = *parts_;
  if (run.hasQuery()) {
    if (const std::optional<QString> refused = sqlgen::restoreQuery(run, p.workspace.grids())) {
      p.messages.error(*refused);
      return;
    }
    p.window.procPanelRequete();
    if (p.workspace.changed) p.workspace.changed();
    return;
  }
  p.window.sqlClick();
  p.window.sqlPanel()->memoSql->setPlainText(run.statement);
}

sqlgen::ExportOutcome RunFeatures::exportResultTo(const QString& path) {
  Parts& p = *parts_;
  sqlgen::ExportOptions options;
  options.format = sqlgen::exportFormatOfPath(path).value_or(sqlgen::ExportFormat::Csv);
  // The regional list separator of the program's decimal comma.
  options.separator = p.model.decimalSeparator() == QLatin1Char(',') ? QLatin1Char(';') : QLatin1Char(',');
  options.text = [&p](const QVariant& value) { return p.model.displayText(value); };
  if (!p.model.shortDateFormat().isEmpty()) options.dateFormat = p.model.shortDateFormat();
  options.provenance = shownRun_;
  QProgressDialog progress(&p.window);
  progress.setWindowModality(Qt::WindowModal);
  progress.setRange(0, 0);
  progress.setMinimumDuration(500);
  progress.setLabelText(path);
  options.progress = [&progress](long long rows) {
    progress.setLabelText(QString::number(rows));
    QCoreApplication::processEvents();
    return !progress.wasCanceled();
  };
  sqlgen::ModelRows rows(p.model);
  sqlgen::ExportOutcome outcome = sqlgen::exportToFile(path, rows, options);
  progress.reset();
  return outcome;
}

void RunFeatures::exportToFile() {
  Parts& p = *parts_;
  if (p.model.columnCount() == 0) return;
  const QString path = p.messages.chooseFile(true, QDir::homePath(), QStringLiteral("resultat.csv"));
  if (path.isEmpty()) return;
  const sqlgen::ExportOutcome outcome = exportResultTo(path);
  if (outcome.status == sqlgen::ExportOutcome::Failed) p.messages.error(outcome.error);
}

}  // namespace korvo::app

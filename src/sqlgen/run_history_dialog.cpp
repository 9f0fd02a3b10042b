#include "sqlgen/run_history_dialog.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace korvo::sqlgen {
namespace {

// The list shows this many runs; the search reaches every kept one.
constexpr int kListedRuns = 2000;

}  // namespace

RunHistoryTexts runHistoryTexts(const QString& language) {
  RunHistoryTexts t;
  t.language = language;
  if (language == u"AN") {
    t.title = QStringLiteral("Run history");
    t.search = QStringLiteral("Search:");
    t.menuItem = QStringLiteral("Run history...");
    t.exportItem = QStringLiteral("Export...");
    t.headers = {"Time", "Origin", "Outcome", "Rows", "Duration (ms)", "Universe", "Statement"};
  } else {
    t.title = QStringLiteral("Historique des exécutions");
    t.search = QStringLiteral("Rechercher :");
    t.menuItem = QStringLiteral("Historique des exécutions...");
    t.exportItem = QStringLiteral("Exporter...");
    t.headers = {"Heure", "Origine", "Résultat", "Lignes", "Durée (ms)", "Univers", "Requête"};
  }
  return t;
}

QString RunHistoryTexts::triggerName(RunTrigger trigger) const {
  const bool en = language == u"AN";
  switch (trigger) {
    case RunTrigger::Builder: return en ? QStringLiteral("Query builder") : QStringLiteral("Requête");
    case RunTrigger::Editor: return en ? QStringLiteral("SQL editor") : QStringLiteral("Éditeur SQL");
    case RunTrigger::Refresh: return en ? QStringLiteral("Refresh") : QStringLiteral("Rafraîchir");
    case RunTrigger::Sort: return en ? QStringLiteral("Sort") : QStringLiteral("Tri");
    case RunTrigger::CommandLine: return QStringLiteral("korvo run");
  }
  return QString();
}

QString RunHistoryTexts::outcomeName(RunRecord::Outcome outcome) const {
  const bool en = language == u"AN";
  switch (outcome) {
    case RunRecord::Outcome::Fetched: return en ? QStringLiteral("Rows") : QStringLiteral("Lignes");
    case RunRecord::Outcome::Refused: return en ? QStringLiteral("Refused") : QStringLiteral("Refusée");
    case RunRecord::Outcome::Failed: return en ? QStringLiteral("Error") : QStringLiteral("Erreur");
    case RunRecord::Outcome::Cancelled: return en ? QStringLiteral("Cancelled") : QStringLiteral("Annulée");
  }
  return QString();
}

QString runDetails(const RunRecord& r, const RunHistoryTexts& t) {
  const bool en = t.language == u"AN";
  QStringList lines;
  const auto line = [&](const char* fr, const char* an, const QString& value) {
    lines << QString::fromUtf8(en ? an : fr) + QStringLiteral(": ") + value;
  };
  line("Heure", "Time", r.startedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
  line("Origine", "Origin", t.triggerName(r.trigger));
  line("Connexion", "Connection", r.user + QLatin1Char('@') + r.alias);
  line("Univers", "Universe", r.universeName + (r.universeId.isEmpty() ? QString() : " (" + r.universeId + ")"));
  line("Objets", "Objects", r.objectNames.join(QStringLiteral(", ")));
  for (const auto& [question, answer] : r.promptAnswers) line("Invite", "Prompt", question + " = " + answer);
  QString outcome = t.outcomeName(r.outcome);
  if (r.outcome == RunRecord::Outcome::Fetched) outcome += QStringLiteral(" %1").arg(r.rows);
  if (r.refusal >= 0) outcome += QStringLiteral(" (%1)").arg(r.refusal);
  line("Résultat", "Outcome", outcome);
  line("Durée (ms)", "Duration (ms)", QString::number(r.durationMs));
  if (!r.error.isEmpty()) line("Message", "Message", r.error);
  lines << QString() << r.statement;
  return lines.join(QLatin1Char('\n'));
}

RunHistoryDialog::RunHistoryDialog(RunHistory& history, const QString& language, QWidget* parent)
    : QDialog(parent), history_(history), texts_(runHistoryTexts(language)) {
  setObjectName(QStringLiteral("RunHistoryDialog"));
  setWindowTitle(texts_.title);
  resize(900, 560);
  auto* layout = new QVBoxLayout(this);
  auto* searchRow = new QHBoxLayout;
  searchRow->addWidget(new QLabel(texts_.search, this));
  search_ = new QLineEdit(this);
  search_->setObjectName(QStringLiteral("EditSearch"));
  search_->setClearButtonEnabled(true);
  searchRow->addWidget(search_);
  layout->addLayout(searchRow);
  auto* split = new QSplitter(Qt::Vertical, this);
  list_ = new QTableWidget(0, static_cast<int>(texts_.headers.size()), split);
  list_->setObjectName(QStringLiteral("GridRuns"));
  list_->setHorizontalHeaderLabels(texts_.headers);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->verticalHeader()->hide();
  list_->horizontalHeader()->setStretchLastSection(true);
  details_ = new QPlainTextEdit(split);
  details_->setObjectName(QStringLiteral("MemoDetails"));
  details_->setReadOnly(true);
  split->addWidget(list_);
  split->addWidget(details_);
  layout->addWidget(split);

  connect(search_, &QLineEdit::textChanged, this, [this] { refresh(); });
  connect(list_, &QTableWidget::itemSelectionChanged, this, [this] { showDetails(); });
  connect(list_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { reopen(row); });
  refresh();
}

void RunHistoryDialog::refresh() {
  shown_ = history_.runs(search_->text(), kListedRuns);
  list_->setRowCount(static_cast<int>(shown_.size()));
  for (int row = 0; row < shown_.size(); ++row) {
    const RunRecord& r = shown_[row];
    const QStringList cells = {r.startedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                               texts_.triggerName(r.trigger),
                               texts_.outcomeName(r.outcome),
                               r.outcome == RunRecord::Outcome::Fetched ? QString::number(r.rows) : QString(),
                               QString::number(r.durationMs),
                               r.universeName,
                               r.statement.simplified().left(200)};
    for (int col = 0; col < cells.size(); ++col) list_->setItem(row, col, new QTableWidgetItem(cells[col]));
  }
  list_->resizeColumnsToContents();
  if (!shown_.isEmpty()) list_->selectRow(0);
  showDetails();
}

void RunHistoryDialog::showDetails() {
  const int row = list_->currentRow();
  details_->setPlainText(row >= 0 && row < shown_.size() ? runDetails(shown_[row], texts_) : QString());
}

void RunHistoryDialog::reopen(int row) {
  if (row < 0 || row >= shown_.size()) return;
  if (onReopen) onReopen(shown_[row]);
  accept();
}

}  // namespace korvo::sqlgen

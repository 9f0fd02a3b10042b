#include "app/statement_status_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "db/statement_runner.h"

namespace korvo::app {

namespace {

// The events by which a user starts something; the others (paint, timers,
// resizes) always pass.
bool isUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::Drop:
      return true;
    default:
      return false;
  }
}

bool inside(QObject* watched, const QWidget* ancestor) {
  for (QObject* o = watched; o; o = o->parent())
    if (o == ancestor) return true;
  return false;
}

QString seconds(qint64 ms) { return QString::number(double(ms) / 1000.0, 'f', 1); }

QString rowCount(qsizetype rows, bool french) {
  if (french) return rows == 1 ? QStringLiteral("1 ligne") : QStringLiteral("%1 lignes").arg(rows);
  return rows == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(rows);
}

}  // namespace

StatementStatusView::StatementStatusView(QMainWindow& window, db::StatementRunner& runner,
                                         std::function<bool()> french)
    : QObject(&window), window_(window), runner_(runner), french_(std::move(french)) {
  label_ = new QLabel(window.statusBar());
  label_->setObjectName(QStringLiteral("LabelExecution"));
  label_->setContentsMargins(4, 0, 4, 0);
  cancel_ = new QPushButton(window.statusBar());
  cancel_->setObjectName(QStringLiteral("BTAnnulerExecution"));
  cancel_->hide();
  window.statusBar()->addPermanentWidget(label_);
  window.statusBar()->addPermanentWidget(cancel_);
  connect(cancel_, &QPushButton::clicked, this, [this] { runner_.cancel(); });
  ticker_ = new QTimer(this);
  ticker_->setInterval(100);
  connect(ticker_, &QTimer::timeout, this, &StatementStatusView::refresh);
  cancelDelay_ = new QTimer(this);
  cancelDelay_->setSingleShot(true);
  cancelDelay_->setInterval(1000);
  connect(cancelDelay_, &QTimer::timeout, this, [this] {
    cancel_->setText(french_() ? QStringLiteral("Annuler") : QStringLiteral("Cancel"));
    cancel_->show();
  });

  db::StatementRunner::Observer observer;
  observer.started = [this](const QString& activity) { started(activity); };
  observer.fetched = [this](qsizetype rows) { fetched(rows); };
  observer.finished = [this](bool cancelled) { finished(cancelled); };
  runner_.setObserver(std::move(observer));
}

StatementStatusView::~StatementStatusView() {
  runner_.setObserver({});
  if (running_) qApp->removeEventFilter(this);
}

void StatementStatusView::started(const QString& activity) {
  running_ = true;
  activity_ = activity;
  rows_ = -1;
  clock_.start();
  qApp->installEventFilter(this);
  setCommandsEnabled(false);
  ticker_->start();
  cancelDelay_->start();
  refresh();
}

void StatementStatusView::fetched(qsizetype rows) {
  rows_ = rows;
  if (running_) refresh();
}

void StatementStatusView::finished(bool cancelled) {
  running_ = false;
  ticker_->stop();
  cancelDelay_->stop();
  cancel_->hide();
  qApp->removeEventFilter(this);
  setCommandsEnabled(true);
  if (!cancelled) {
    label_->clear();
    return;
  }
  const bool fr = french_();
  QString text = fr ? QString::fromUtf8("Annulé") : QStringLiteral("Cancelled");
  if (rows_ >= 0) text += QStringLiteral(" (") + rowCount(rows_, fr) + QLatin1Char(')');
  label_->setText(text);
}

void StatementStatusView::refresh() {
  const bool fr = french_();
  QString text = activity_.isEmpty()
                     ? (fr ? QString::fromUtf8("Exécution…") : QString::fromUtf8("Running…"))
                     : activity_;
  text += QStringLiteral("  ") + seconds(clock_.elapsed()) + QStringLiteral(" s");
  // The rows of a result; the reads inside an import or export are not one.
  if (rows_ >= 0 && activity_.isEmpty()) text += QStringLiteral("  ") + rowCount(rows_, fr);
  label_->setText(text);
}

void StatementStatusView::setCommandsEnabled(bool enabled) {
  if (QMenuBar* menus = window_.menuBar()) menus->setEnabled(enabled);
  for (QToolBar* bar : window_.findChildren<QToolBar*>()) bar->setEnabled(enabled);
}

bool StatementStatusView::inputAllowed(QObject* watched) const {
  if (inside(watched, cancel_)) return true;
  if (QWidget* modal = QApplication::activeModalWidget(); modal && inside(watched, modal))
    return true;
  const auto* grid = window_.findChild<QWidget*>(QStringLiteral("DBGridData"));
  return grid && inside(watched, grid);
}

bool StatementStatusView::eventFilter(QObject* watched, QEvent* event) {
  // Between two statements of one activity the window's own code runs (its
  // dialogs included): only a statement in progress holds the input back.
  if (!running_ || !runner_.isWaiting()) return false;
  const QEvent::Type type = event->type();
  if (type == QEvent::Close && watched == &window_) {
    runner_.cancel();
    event->ignore();
    return true;
  }
  // Escape cancels; taken before the window's own Escape shortcut sees it.
  if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride) &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    event->accept();
    runner_.cancel();
    return true;
  }
  if (type == QEvent::Wheel) return !inputAllowed(watched);
  if (!isUserInput(type)) return false;
  return !inputAllowed(watched);
}

}  // namespace korvo::app

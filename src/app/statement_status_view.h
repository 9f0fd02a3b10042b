#pragma once
// What the window shows while a statement runs on the runner's thread: in the
// status bar the activity, the elapsed time and the rows fetched so far, and
// after one second a Cancel button (Escape cancels too). Until the statement
// ends, the commands that would send another one are out of reach: menus and
// tool bars are disabled and user input goes only to the result grid (to
// scroll what is shown), to the Cancel button and to a modal dialog.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>

class QLabel;
class QMainWindow;
class QPushButton;
class QTimer;

namespace korvo::db {
class StatementRunner;
}

namespace korvo::app {

class StatementStatusView : public QObject {
  Q_OBJECT
 public:
  // `french` picks the texts; the runner's observer is set here.
  StatementStatusView(QMainWindow& window, db::StatementRunner& runner,
                      std::function<bool()> french);
  ~StatementStatusView() override;

  QLabel* label() const { return label_; }
  QPushButton* cancelButton() const { return cancel_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void started(const QString& activity);
  void fetched(qsizetype rows);
  void finished(bool cancelled);
  void refresh();
  void setCommandsEnabled(bool enabled);
  bool inputAllowed(QObject* watched) const;

  QMainWindow& window_;
  db::StatementRunner& runner_;
  std::function<bool()> french_;
  QLabel* label_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QTimer* ticker_ = nullptr;
  QTimer* cancelDelay_ = nullptr;
  QElapsedTimer clock_;
  QString activity_;
  qsizetype rows_ = -1;  // -1: no result is being read
  bool running_ = false;
};

}  // namespace korvo::app

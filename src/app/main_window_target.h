#pragma once
// The main window TForm1 as the connect procedure sees it: its connection,
// captions, class tree and universe mode.
#include "session/connect_target.h"

namespace korvo::app {

class MainWindow;

class MainWindowTarget : public session::ConnectTarget {
 public:
  explicit MainWindowTarget(MainWindow& window) : window_(window) {}

  db::Connection* connection() const override;
  void setConnection(std::unique_ptr<db::Connection> connection) override;
  void rememberLogin(const session::LoginParameters& login) override;
  // DBGridData lets go of its model; the next run gives it a new one.
  void detachResultGrid() override;
  void setWindowCaption(const QString& caption) override;
  // The application's name, which the program's start-up sets to "Korvo-Bo6".
  void setApplicationTitle(const QString& title) override;
  void clearClassTree() override;
  void showUniverseMode() override;

 private:
  MainWindow& window_;
};

}  // namespace korvo::app

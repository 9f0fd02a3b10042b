#pragma once
// What the connect procedure asks of the main window. MainWindowTarget
// (main_window_target.h) gives it for TForm1; tests give a double.
#include <QString>
#include <memory>

namespace korvo::db {
class Connection;
}

namespace korvo::session {

// The login of the connection, kept for the programs the window starts with
// it (the statistics client); never written anywhere.
struct LoginParameters {
  QString database;
  QString user;
  QString password;
};

class ConnectTarget {
 public:
  virtual ~ConnectTarget() = default;

  // The program's single connection, or nullptr before the first one.
  virtual db::Connection* connection() const = 0;
  // Takes the newly opened connection as the program's single connection;
  // the previous one (already closed) is released.
  virtual void setConnection(std::unique_ptr<db::Connection> connection) = 0;

  // The login the connection was opened with.
  virtual void rememberLogin(const LoginParameters& /*login*/) {}

  // The result grid lets go of its rows before the connection changes.
  virtual void detachResultGrid() = 0;
  // Main window caption: "KORVO-BO6 - banner - [USER@DATABASE]".
  virtual void setWindowCaption(const QString& caption) = 0;
  // Application (task bar) title: "Korvo-Bo6 - [USER@DATABASE]".
  virtual void setApplicationTitle(const QString& title) = 0;
  // Empties the class tree if it has nodes.
  virtual void clearClassTree() = 0;
  // Universe mode; being connected, it reads the universe list.
  virtual void showUniverseMode() = 0;
};

}  // namespace korvo::session

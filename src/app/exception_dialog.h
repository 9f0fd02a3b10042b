#pragma once
// The one place where an error no command caught is shown: the application
// object delivers every event inside a guard, shows the escaping exception's
// own text in an error box, abandons that event and carries on.
#include <QApplication>
#include <exception>
#include <functional>

namespace korvo::app {

// The text of an exception: a database error as the driver words it, the
// message of a standard exception, a fixed text for anything else.
QString exceptionText(std::exception_ptr error);

// Runs `deliver`; when an exception escapes it, passes its text to `show` and
// returns false (the event is abandoned).
bool deliverGuarded(const std::function<bool()>& deliver,
                    const std::function<void(const QString&)>& show);

class GuardedApplication : public QApplication {
  Q_OBJECT
 public:
  GuardedApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // How the error is shown; by default an error box over the active window.
  std::function<void(const QString&)> showError;
};

}  // namespace korvo::app

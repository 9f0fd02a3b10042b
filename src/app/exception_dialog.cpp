#include "app/exception_dialog.h"

#include <QMessageBox>

#include "db/connection.h"

namespace korvo::app {


QString exceptionText(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const db::DbError& e) {
    return e.text();
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  } catch (...) {
    return QStringLiteral("Unknown error");
  }
}

bool deliverGuarded(const std::function<bool()>& deliver,
                    const std::function<void(const QString&)>& show) {
  try {
    return deliver();
  } catch (...) {
    show(exceptionText(std::current_exception()));
    return false;
  }
}

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {
  showError = [](const QString& text) {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), text,
                          QMessageBox::Ok);
  };
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  return deliverGuarded([&] { return QApplication::notify(receiver, event); }, showError);
}

}  // namespace korvo::app

// korvo-bo6: the desktop program. Start-up in the order the program has
// always followed: application title, main window (settings, language, state,
// universe mode, grids, workstation identifier, layout), the window shown
// disabled behind the connection dialog, then the event loop.
#include <QCoreApplication>
#include <QTimer>

#include "app/desktop_opener_widget.h"
#include "app/exception_dialog.h"
#include "app/main_window.h"
#include "app/message_box_dialog.h"

int main(int argc, char** argv) {
  korvo::app::GuardedApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Korvo-Bo6"));
  QCoreApplication::setApplicationVersion(QLatin1String(korvo::app::kVersion));

  korvo::app::MessageBoxInteraction interaction;
  korvo::app::DesktopOpener opener;
  korvo::app::ShellServices services;
  services.interaction = &interaction;
  services.opener = &opener;
  korvo::app::MainWindow window(QCoreApplication::applicationDirPath(), services);
  interaction.setParent(&window);

  // The connection dialog (and the prompt and list-of-values dialogs) are
  // created here and handed to the window with setConnectionDialog(); the
  // window disables itself while the dialog is shown and stays disabled until
  // the dialog enables it again.
  window.showMaximized();
  window.showConnectionDialog();

  // A settings failure ends the program once start-up is over, even when a
  // message shown during start-up ran its own event loop in the meantime.
  if (window.settingsFailed()) QTimer::singleShot(0, &app, &QCoreApplication::quit);
  return app.exec();
}

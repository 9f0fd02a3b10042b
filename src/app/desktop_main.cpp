// korvo-bo6: the desktop program. Start-up in the order the program has
// always followed: application title, main window (settings, language, state,
// universe mode, grids, workstation identifier, layout), the window shown
// disabled behind the connection dialog, then the event loop.
#include <QCoreApplication>
#include <QScreen>
#include <QTimer>

#include "kernel/desktop_opener_widget.h"
#include "app/exception_dialog.h"
#include "app/main_window.h"
#include "app/main_window_features.h"
#include "kernel/message_box_dialog.h"
#include "kernel/program_folder.h"
#include "db/connection.h"
#include "session/connection_dialog.h"
#include "app/main_window_target.h"
#include "session/short_date_format.h"

int main(int argc, char** argv) {
  korvo::app::GuardedApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Korvo-Bo6"));
  QCoreApplication::setApplicationVersion(QLatin1String(korvo::kernel::kVersion));

  korvo::kernel::MessageBoxInteraction interaction;
  korvo::kernel::DesktopOpener opener;
  korvo::app::ShellServices services;
  services.interaction = &interaction;
  services.opener = &opener;
  // A portable folder keeps everything beside the executable; an installed
  // program works in the user's own folder. Either way the universe folder and
  // the help documents are looked up in the current folder.
  const korvo::kernel::ProgramFolderChoice folder =
      korvo::kernel::enterProgramFolder(QCoreApplication::applicationDirPath());
  if (!folder.error.isEmpty()) qWarning("korvo-bo6: %s", qPrintable(folder.error));
  korvo::app::MainWindow window(folder.folder, services);
  interaction.setParent(&window);

  // The window is shown disabled behind the connection dialog, which is created
  // once (it reads the profiles and may greet a first run) and enables the
  // window again whichever way it closes.
  // Without a window manager (a bare X server) "maximised" means nothing, so
  // the window also takes the screen's working area itself.
  if (auto* screen = window.screen()) window.setGeometry(screen->availableGeometry());
  window.showMaximized();
  korvo::app::MainWindowTarget target(window);
  korvo::session::ConnectionDialog dialog({window.state(), interaction, target,
                                           &korvo::db::connectionForAlias,
                                           korvo::session::regionalShortDateFormat()},
                                          opener, &window);
  window.setConnectionDialog(&dialog);
  korvo::app::MainWindowFeatures features(window, interaction);
  window.showConnectionDialog();

  // A settings failure ends the program once start-up is over, even when a
  // message shown during start-up ran its own event loop in the meantime.
  if (window.settingsFailed()) QTimer::singleShot(0, &app, &QCoreApplication::quit);
  return app.exec();
}

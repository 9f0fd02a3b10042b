#pragma once
// A main window built over a temporary program folder with recording
// doubles for messages, opened documents, started programs and the end of
// the program.
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "kernel/interaction.h"
#include "app/main_window.h"
#include "kernel/opener.h"

namespace korvo::app::testing {

struct MainWindowHarness {
  QTemporaryDir folder;
  kernel::RecordingInteraction interaction;
  kernel::RecordingOpener opener;
  int endRequests = 0;
  QStringList started;
  std::unique_ptr<MainWindow> window;

  // Writes the settings file first when `settings` is given.
  explicit MainWindowHarness(const QByteArray* settings = nullptr) {
    if (settings) {
      QFile f(folder.filePath("Korvo-BO6.ini"));
      if (f.open(QIODevice::WriteOnly)) f.write(*settings);
    }
    ShellServices services;
    services.interaction = &interaction;
    services.opener = &opener;
    services.endProgram = [this] { ++endRequests; };
    services.startProgram = [this](const QString& program) {
      started << program;
      return true;
    };
    window = std::make_unique<MainWindow>(folder.path(), services);
  }
};

}  // namespace korvo::app::testing

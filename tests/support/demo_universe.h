#pragma once
// One embedded schema with the demonstration universe imported and its
// catalogue loaded into a workspace, shared by the tests of a suite (the
// import is the slow part, so a suite builds it once).
#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "builder/workspace.h"
#include "db/connection.h"
#include "kernel/interaction.h"
#include "repository/universe_import.h"
#include "repository/universe_list.h"
#include "support/test_paths.h"

namespace korvo::testing {

struct DemoUniverse {
  QTemporaryDir schemas;
  QTemporaryDir programFolder;
  kernel::AppState app;
  std::unique_ptr<db::Connection> connection;
  kernel::RecordingInteraction interaction;
  std::unique_ptr<builder::Workspace> workspace;
  bool imported = false;

  DemoUniverse() {
    app.programFolder = programFolder.path();
    const QString alias = "local:" + schemas.path();
    connection = db::connectionForAlias(alias);
    connection->open(alias, "scott", "tiger");
    workspace = std::make_unique<builder::Workspace>(app, *connection, interaction);
    repository::UniverseList list(*connection, interaction, app);
    const QString folder = QDir(sourceRoot()).filePath("data/UNIVERS");
    imported = repository::UniverseImport(*connection, interaction, app, list, folder)
                   .ImporterUnivers() == repository::ImportOutcome::Finished;
    if (imported) imported = workspace->Init_Classes().built;
  }
  ~DemoUniverse() {
    workspace.reset();
    connection->close();
  }
};

}  // namespace korvo::testing

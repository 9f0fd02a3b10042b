// The connect road through the program's real main window and the embedded engine.
#include "app/main_window_target.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "kernel/interaction.h"
#include "app/main_window.h"
#include "kernel/opener.h"
#include "builder/query_panel.h"
#include "db/connection.h"
#include "session/connection_dialog.h"
#include "session/session_test_support.h"

namespace korvo::app {

using namespace korvo::kernel;
namespace {

using session::testing::TemporaryCurrentFolder;
using session::testing::writeFile;

TEST(MainWindowTargetTest, ConnectingEnablesTheMainWindowInUniverseMode) {
  TemporaryCurrentFolder folder;
  writeFile("ParamOra.dat", "4\r\n1\r\nBase\r\nUser\r\nDate\r\nPassword\r\n");
  kernel::RecordingInteraction interaction;
  kernel::RecordingOpener opener;
  ShellServices services;
  services.interaction = &interaction;
  services.opener = &opener;
  services.endProgram = [] {};
  MainWindow window(folder.path(), services);
  window.procPanelRequete();
  window.queryPanel()->treeViewClasse->addTopLevelItem(new QTreeWidgetItem({"Old class"}));

  MainWindowTarget target(window);
  session::ConnectionDialog dialog(
      {window.state(), interaction, target, &db::connectionForAlias, "DD/MM/YYYY"}, opener,
      &window);
  window.setConnectionDialog(&dialog);
  window.show();
  window.showConnectionDialog();
  ASSERT_FALSE(window.isEnabled());
  ASSERT_TRUE(dialog.isVisible());

  const QString alias = "local:" + folder.path() + "/db";
  dialog.findChild<QLineEdit*>("CnxOra")->setText(alias);
  dialog.findChild<QLineEdit*>("UsrOra")->setText("scott");
  dialog.findChild<QLineEdit*>("PwdOra")->setText("tiger");
  const QString previousName = QCoreApplication::applicationName();
  QTest::mouseClick(dialog.findChild<QPushButton*>("BTOk"), Qt::LeftButton);
  const QString applicationTitle = QCoreApplication::applicationName();
  QCoreApplication::setApplicationName(previousName);

  EXPECT_TRUE(interaction.errors.isEmpty()) << interaction.errors.join("; ").toStdString();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_TRUE(window.isEnabled());
  EXPECT_EQ(window.mode(), WorkMode::Universe);
  EXPECT_EQ(window.queryPanel()->treeViewClasse->topLevelItemCount(), 0);
  ASSERT_NE(window.connection(), nullptr);
  EXPECT_TRUE(window.connection()->isOpen());
  EXPECT_TRUE(window.connection()->inTransaction());
  EXPECT_EQ(window.windowTitle(),
            "KORVO-BO6 - " + window.state().banner + " - [SCOTT@" + alias.toUpper() + "]");
  EXPECT_EQ(applicationTitle, "Korvo-Bo6 - [SCOTT@" + alias.toUpper() + "]");
  EXPECT_TRUE(window.state().planTablePresent);

  // Cancelling a later showing leaves the window connected and enabled.
  window.showConnectionDialog();
  EXPECT_FALSE(window.isEnabled());
  QTest::mouseClick(dialog.findChild<QPushButton*>("BTAnnuler"), Qt::LeftButton);
  EXPECT_TRUE(window.isEnabled());
  EXPECT_TRUE(window.connection()->isOpen());
}

}  // namespace
}  // namespace korvo::app

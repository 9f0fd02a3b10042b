// The whole connect road against the embedded engine: dialog, procedure,
// session set-up, plan table and the main window's part through a double.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "kernel/opener.h"
#include "db/connection.h"
#include "session/connection_dialog.h"
#include "session/profile_file.h"
#include "session_test_support.h"

namespace korvo::session {
namespace {

using testing::RecordingTarget;
using testing::TemporaryCurrentFolder;
using testing::writeFile;

class MainWindowDouble : public QWidget, public RecordingTarget {};

QString firstValue(db::Connection& connection, const QString& sql) {
  auto cursor = connection.query(sql);
  QList<db::Row> rows;
  if (cursor->fetch(rows, 1) == 0 || rows.first().isEmpty()) return {};
  return rows.first().first().toString();
}

struct EmbeddedRoad {
  TemporaryCurrentFolder folder;
  QString alias = "local:" + folder.path() + "/schemas";
  kernel::AppState state;
  kernel::RecordingInteraction interaction;
  kernel::RecordingOpener opener;
  MainWindowDouble mainWindow;
  std::unique_ptr<ConnectionDialog> dialog;

  EmbeddedRoad() {
    writeFile("ParamOra.dat", "4\r\n1\r\nBase\r\nUser\r\nDate\r\nPassword\r\n");
    ConnectEnvironment env{state, interaction, mainWindow, &db::connectionForAlias, "M/D/YYYY"};
    dialog = std::make_unique<ConnectionDialog>(env, opener, &mainWindow);
  }

  bool connect(const QString& user, const QString& password) {
    mainWindow.show();
    mainWindow.setEnabled(false);
    dialog->show();
    dialog->findChild<QLineEdit*>("CnxOra")->setText(alias);
    dialog->findChild<QLineEdit*>("UsrOra")->setText(user);
    dialog->findChild<QLineEdit*>("PwdOra")->setText(password);
    QTest::mouseClick(dialog->findChild<QPushButton*>("BTOk"), Qt::LeftButton);
    return !dialog->isVisible();
  }
};

TEST(EmbeddedConnectTest, ConnectsPreparesTheSessionAndSavesTheProfiles) {
  EmbeddedRoad road;
  ASSERT_TRUE(road.connect("scott", "tiger")) << road.interaction.errors.join("; ").toStdString();
  EXPECT_TRUE(road.interaction.errors.isEmpty());
  EXPECT_TRUE(road.interaction.informed.isEmpty());
  EXPECT_TRUE(road.mainWindow.isEnabled());
  EXPECT_TRUE(road.mainWindow.calls.contains("showUniverseMode"));

  db::Connection* connection = road.mainWindow.connection();
  ASSERT_NE(connection, nullptr);
  EXPECT_TRUE(connection->isOpen());
  EXPECT_TRUE(connection->inTransaction());
  EXPECT_FALSE(road.state.banner.isEmpty());
  EXPECT_EQ(firstValue(*connection, "select banner from v$version"), road.state.banner);
  EXPECT_EQ(road.mainWindow.caption,
            "KORVO-BO6 - " + road.state.banner + " - [SCOTT@" + road.alias.toUpper() + "]");
  EXPECT_EQ(road.mainWindow.applicationTitle, "Korvo-Bo6 - [SCOTT@" + road.alias.toUpper() + "]");

  EXPECT_EQ(firstValue(*connection, "select module from v$session"), "KORVO-BO6 1.1.0");
  EXPECT_EQ(road.state.shortDateFormat, "MM/DD/YYYY");
  EXPECT_EQ(firstValue(*connection,
                       "select value from nls_session_parameters where parameter = "
                       "'NLS_DATE_FORMAT'"),
            "MM/DD/YYYY hh24:mi:ss");
  EXPECT_TRUE(road.state.planTablePresent);
  EXPECT_EQ(firstValue(*connection,
                       "select count(*) from user_tab_columns where table_name = 'PLAN_TABLE'"),
            "20");

  Grid saved;
  ChargerStringGrid(saved, "ParamOra.dat");
  EXPECT_EQ(saved.columnCount(), 4);
  EXPECT_EQ(saved.rowCount(), 1);
}

TEST(EmbeddedConnectTest, ReconnectingFindsThePlanTableAndKeepsTheDateFormat) {
  EmbeddedRoad road;
  ASSERT_TRUE(road.connect("scott", "tiger"));
  db::Connection* first = road.mainWindow.connection();
  ASSERT_TRUE(road.connect("scott", "tiger")) << road.interaction.errors.join("; ").toStdString();
  db::Connection* second = road.mainWindow.connection();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_TRUE(second->isOpen());
  EXPECT_TRUE(road.state.planTablePresent);
  EXPECT_EQ(road.state.shortDateFormat, "MM/DD/YYYY");
  EXPECT_TRUE(road.interaction.errors.isEmpty());
}

TEST(EmbeddedConnectTest, WrongPasswordKeepsTheDialogOpen) {
  EmbeddedRoad road;
  ASSERT_TRUE(road.connect("scott", "tiger"));
  EXPECT_FALSE(road.connect("scott", "lion"));
  ASSERT_EQ(road.interaction.errors.size(), 1);
  EXPECT_TRUE(road.interaction.errors.first().startsWith("ORA-01017"))
      << road.interaction.errors.first().toStdString();
  EXPECT_TRUE(road.dialog->isVisible());
  EXPECT_FALSE(road.mainWindow.isEnabled());
  // The user corrects the password and tries again.
  road.dialog->findChild<QLineEdit*>("PwdOra")->setText("tiger");
  QTest::mouseClick(road.dialog->findChild<QPushButton*>("BTOk"), Qt::LeftButton);
  EXPECT_FALSE(road.dialog->isVisible());
  EXPECT_TRUE(road.mainWindow.isEnabled());
}

}  // namespace
}  // namespace korvo::session

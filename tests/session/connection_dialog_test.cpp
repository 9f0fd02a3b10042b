#include "session/connection_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "kernel/app_state.h"
#include "kernel/interaction.h"
#include "kernel/language.h"
#include "kernel/opener.h"
#include "session/password_scrambler.h"
#include "session_test_support.h"

namespace korvo::session {
namespace {

using testing::readFile;
using testing::RecordingTarget;
using testing::Script;
using testing::ScriptedConnection;
using testing::TemporaryCurrentFolder;
using testing::writeFile;

// Title row and two profiles: local:demo/scott/tiger and orcl/hr/hr1.
QByteArray twoProfiles() {
  return "4\r\n3\r\nBase\r\nlocal:demo\r\norcl\r\nUser\r\nscott\r\nhr\r\nDate\r\n"
         "01/02/2026\r\n03/04/2026\r\nPassword\r\nPMCAV\r\nLV\x15\r\n";
}

class MainWindowDouble : public QWidget, public RecordingTarget {};

struct DialogHarness {
  TemporaryCurrentFolder folder;
  std::shared_ptr<Script> script = std::make_shared<Script>();
  kernel::AppState state;
  kernel::RecordingInteraction interaction;
  kernel::RecordingOpener opener;
  MainWindowDouble mainWindow;
  std::unique_ptr<ConnectionDialog> dialog;

  explicit DialogHarness(const QByteArray& profileFile = twoProfiles(), bool writeProfiles = true) {
    if (writeProfiles) writeFile("ParamOra.dat", profileFile);
    script->answers["select banner from v$version"] = {db::Row{QVariant("Oracle Database 10g")}};
  }
  ConnectionDialog& create() {
    ConnectEnvironment env{state, interaction, mainWindow,
                           [this](const QString&) -> std::unique_ptr<db::Connection> {
                             return std::make_unique<ScriptedConnection>(script);
                           },
                           "DD/MM/YYYY"};
    dialog = std::make_unique<ConnectionDialog>(env, opener, &mainWindow);
    return *dialog;
  }
  ConnectionDialog& createAndShow() {
    create();
    mainWindow.show();
    mainWindow.setEnabled(false);
    dialog->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    return *dialog;
  }
  template <typename T>
  T* find(const QString& name) {
    T* widget = dialog->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
  }
  QTableWidget* oracleGrid() { return find<QTableWidget>("StGridparamOra"); }
  void clickRow(QTableWidget* grid, int tableRow) {
    const QRect cell = grid->visualRect(grid->model()->index(tableRow, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
  }
  void clickTitle(QTableWidget* grid, int column) {
    QHeaderView* header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
  }
  void click(const QString& button) {
    QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
  }
  void retype(QLineEdit* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
  }
  QStringList columnOfGrid(int column) {
    QStringList cells;
    const Grid& grid = dialog->profiles().grid(LoginPage::Oracle);
    for (int r = 0; r < grid.rowCount(); ++r) cells << grid.cell(r, column);
    return cells;
  }
};

TEST(ConnectionDialogTest, CreationBuildsTheNamedControlsAndLoadsTheOracleProfiles) {
  DialogHarness h;
  auto previous = std::make_shared<Script>();
  h.mainWindow.held = std::make_unique<ScriptedConnection>(previous);
  h.state.dbmsType = "MSSQL";
  ConnectionDialog& dialog = h.create();

  EXPECT_EQ(dialog.objectName(), "TForm3");
  EXPECT_EQ(dialog.windowTitle(), "KORVO-BO6 Login, version 1.1.0");
  for (const char* name : {"CnxOra", "UsrOra", "PwdOra", "BddMsSql", "HstMsSql", "UsrMsSql",
                           "PwdMsSql", "BddMySql", "HstMysql", "UsrMySql", "PwdMySql"})
    h.find<QLineEdit>(name);
  for (const char* name : {"BTOk", "BTAnnuler", "BTAjouterOra", "BTSuppOra", "BTAjouterMsSql",
                           "BTSuppMsSql", "BTAjouterMySql", "BTSuppMySql"})
    h.find<QPushButton>(name);
  for (const char* name : {"StGridparamOra", "StGridparamMsSql", "StGridparamMysql"})
    h.find<QTableWidget>(name);
  h.find<QCheckBox>("CBOsAuth");
  h.find<QLabel>("Label16");
  EXPECT_EQ(h.find<QLineEdit>("PwdOra")->echoMode(), QLineEdit::Password);

  auto* pages = h.find<QTabWidget>("PageControlCnx");
  EXPECT_EQ(pages->currentIndex(), 0);
  EXPECT_EQ(pages->widget(0)->objectName(), "Oracle");
  EXPECT_TRUE(pages->isTabVisible(0));
  EXPECT_FALSE(pages->isTabVisible(1));
  EXPECT_FALSE(pages->isTabVisible(2));
  EXPECT_TRUE(h.find<QPushButton>("BTOk")->isDefault());

  EXPECT_EQ(h.state.dbmsType, "ORACLE");
  EXPECT_EQ(previous->log, QStringList{"close"});
  EXPECT_TRUE(h.interaction.informed.isEmpty());  // not a first run

  QTableWidget* grid = h.oracleGrid();
  EXPECT_FALSE(grid->horizontalHeader()->isHidden());
  EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "Base");
  ASSERT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(grid->item(1, 1)->text(), "hr");
}

TEST(ConnectionDialogTest, LanguageTextsAndFirstRunMessage) {
  for (const QString language : {"FR", "AN"}) {
    DialogHarness h;
    h.state.language = language;
    h.state.firstRun = true;
    h.create();
    const kernel::TextTables& texts = kernel::textTables(language);
    EXPECT_EQ(h.find<QLabel>("Label2")->text(), texts.loginTexts.value("Label2"));
    EXPECT_EQ(h.find<QLabel>("Label3")->text(), texts.loginTexts.value("Label3"));
    EXPECT_EQ(h.find<QPushButton>("BTAjouterOra")->text(), texts.loginTexts.value("BTAjouterOra"));
    EXPECT_EQ(h.find<QPushButton>("BTSuppOra")->text(), texts.loginTexts.value("BTSuppOra"));
    EXPECT_EQ(h.find<QPushButton>("BTAnnuler")->text(), texts.loginTexts.value("BTAnnuler"));
    EXPECT_EQ(h.find<QPushButton>("BTAjouterMySql")->text(), "<< Ajouter");
    EXPECT_EQ(h.find<QLabel>("Label16")->text(), texts.webPage);
    EXPECT_EQ(h.interaction.informed, QStringList{texts.messages.value(14)});
  }
  DialogHarness english;
  english.state.language = "AN";
  english.create();
  EXPECT_EQ(english.find<QPushButton>("BTAnnuler")->text(), "Cancel");
}

TEST(ConnectionDialogTest, MissingProfileFileIsReportedAndSkipsTheFirstRunMessage) {
  DialogHarness h({}, false);
  h.state.firstRun = true;
  h.create();
  ASSERT_EQ(h.interaction.errors.size(), 1);
  EXPECT_TRUE(h.interaction.errors.first().contains("ParamOra.dat"));
  EXPECT_TRUE(h.interaction.informed.isEmpty());
}

TEST(ConnectionDialogTest, TitleRowOnlyShowsOneOrdinaryRow) {
  DialogHarness h("4\r\n1\r\nBase\r\nUser\r\nDate\r\nPassword\r\n");
  h.create();
  QTableWidget* grid = h.oracleGrid();
  EXPECT_EQ(grid->rowCount(), 1);
  EXPECT_TRUE(grid->horizontalHeader()->isHidden());
  EXPECT_EQ(grid->item(0, 0)->text(), "Base");
}

TEST(ConnectionDialogTest, ClickingARowFillsTheFieldsWithTheStoredPassword) {
  DialogHarness h;
  h.createAndShow();
  h.clickRow(h.oracleGrid(), 0);
  EXPECT_EQ(h.find<QLineEdit>("CnxOra")->text(), "local:demo");
  EXPECT_EQ(h.find<QLineEdit>("UsrOra")->text(), "scott");
  auto* password = h.find<QLineEdit>("PwdOra");
  EXPECT_EQ(password->text(), "PMCAV");
  EXPECT_TRUE(password->hasFocus());

  // F5 shows the clear form, F5 again the stored one.
  QTest::keyClick(password, Qt::Key_F5);
  EXPECT_EQ(password->text(), "tiger");
  QTest::keyClick(password, Qt::Key_F5);
  EXPECT_EQ(password->text(), "PMCAV");
}

TEST(ConnectionDialogTest, AddingNeedsARetypedPasswordUnlessCtrlAltP) {
  DialogHarness h;
  h.createAndShow();
  h.clickRow(h.oracleGrid(), 1);
  h.click("BTAjouterOra");
  EXPECT_EQ(h.interaction.informed, QStringList{kernel::textTables("FR").messages.value(35)});
  EXPECT_EQ(h.dialog->profiles().grid(LoginPage::Oracle).rowCount(), 3);

  // Ctrl+Alt+P adds at once, and the copy logs in with the same password.
  auto* password = h.find<QLineEdit>("PwdOra");
  QTest::keyClick(password, Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
  ASSERT_EQ(h.dialog->profiles().grid(LoginPage::Oracle).rowCount(), 4);
  EXPECT_EQ(h.dialog->profiles().grid(LoginPage::Oracle).cell(3, 3),
            h.dialog->profiles().grid(LoginPage::Oracle).cell(2, 3));
  // Ctrl+Shift+Alt+P is not the shortcut.
  QTest::keyClick(password, Qt::Key_P, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
  EXPECT_EQ(h.dialog->profiles().grid(LoginPage::Oracle).rowCount(), 4);

  h.retype(password, "secret");
  h.find<QLineEdit>("CnxOra")->setText("prod");
  h.click("BTAjouterOra");
  const Grid& grid = h.dialog->profiles().grid(LoginPage::Oracle);
  ASSERT_EQ(grid.rowCount(), 5);
  EXPECT_EQ(grid.cell(4, 0), "prod");
  EXPECT_EQ(grid.cell(4, 2), QDate::currentDate().toString("dd/MM/yyyy"));
  EXPECT_EQ(grid.cell(4, 3), CrypterMotDePasse("secret", kPasswordKey));
  EXPECT_EQ(h.oracleGrid()->rowCount(), 4);
  EXPECT_EQ(readFile("ParamOra.dat"), twoProfiles());  // adding does not write the file
}

TEST(ConnectionDialogTest, UnstorablePasswordIsRefusedWithAMessage) {
  DialogHarness h;
  h.createAndShow();
  h.retype(h.find<QLineEdit>("PwdOra"), "pass.word");
  h.click("BTAjouterOra");
  EXPECT_EQ(h.interaction.informed.size(), 1);
  EXPECT_EQ(h.dialog->profiles().grid(LoginPage::Oracle).rowCount(), 3);
}

TEST(ConnectionDialogTest, ClickingATitleSortsAscendingThenDescending) {
  DialogHarness h;
  h.createAndShow();
  h.clickTitle(h.oracleGrid(), 0);
  EXPECT_EQ(h.state.sortDirection, "ASC");
  EXPECT_EQ(h.state.lastSortedTitle, "Base");
  EXPECT_EQ(h.columnOfGrid(0), (QStringList{"Base", "local:demo", "orcl"}));
  h.clickTitle(h.oracleGrid(), 0);
  EXPECT_EQ(h.state.sortDirection, "DESC");
  EXPECT_EQ(h.columnOfGrid(0), (QStringList{"Base", "orcl", "local:demo"}));
  EXPECT_EQ(h.oracleGrid()->item(0, 0)->text(), "orcl");
  EXPECT_EQ(h.oracleGrid()->item(0, 1)->text(), "hr");
  h.clickTitle(h.oracleGrid(), 1);
  EXPECT_EQ(h.state.sortDirection, "ASC");
  EXPECT_EQ(h.columnOfGrid(1), (QStringList{"User", "hr", "scott"}));
  EXPECT_EQ(readFile("ParamOra.dat"), twoProfiles());  // sorting saves nothing
}

TEST(ConnectionDialogTest, DeletingSavesAndTheLastDeletionKeepsTheTitleRow) {
  DialogHarness h;
  h.createAndShow();
  h.clickRow(h.oracleGrid(), 0);
  h.click("BTSuppOra");
  EXPECT_EQ(readFile("ParamOra.dat"),
            QByteArray("4\r\n2\r\nBase\r\norcl\r\nUser\r\nhr\r\nDate\r\n03/04/2026\r\n"
                       "Password\r\nLV\x15\r\n"));
  h.clickRow(h.oracleGrid(), 0);
  h.click("BTSuppOra");
  EXPECT_EQ(readFile("ParamOra.dat"), QByteArray("4\r\n1\r\nBase\r\nUser\r\nDate\r\nPassword\r\n"));
  EXPECT_EQ(h.oracleGrid()->rowCount(), 1);
}

TEST(ConnectionDialogTest, ClickedProfileLogsInWithAndWithoutF5) {
  for (const bool pressF5 : {false, true}) {
    DialogHarness h;
    h.createAndShow();
    h.clickRow(h.oracleGrid(), 0);
    if (pressF5) QTest::keyClick(h.find<QLineEdit>("PwdOra"), Qt::Key_F5);
    h.click("BTOk");
    ASSERT_FALSE(h.script->log.isEmpty());
    EXPECT_EQ(h.script->log.first(), "open local:demo/scott/tiger") << pressF5;
    EXPECT_FALSE(h.dialog->isVisible());
    EXPECT_TRUE(h.mainWindow.isEnabled());
    EXPECT_EQ(h.mainWindow.caption, "KORVO-BO6 - Oracle Database 10g - [SCOTT@LOCAL:DEMO]");
    EXPECT_TRUE(h.interaction.errors.isEmpty());
  }
}

TEST(ConnectionDialogTest, TypedPasswordIsSentAsTyped) {
  DialogHarness h;
  h.createAndShow();
  h.clickRow(h.oracleGrid(), 0);
  h.retype(h.find<QLineEdit>("PwdOra"), "PMCAV");  // typed, even if it looks scrambled
  h.click("BTOk");
  EXPECT_EQ(h.script->log.first(), "open local:demo/scott/PMCAV");
}

TEST(ConnectionDialogTest, RefusedConnectionKeepsTheDialogOpen) {
  DialogHarness h;
  h.script->openFailure = "ORA-01017: invalid username/password; logon denied";
  h.createAndShow();
  h.find<QLineEdit>("CnxOra")->setText("orcl");
  h.retype(h.find<QLineEdit>("PwdOra"), "wrong");
  h.click("BTOk");
  EXPECT_EQ(h.interaction.errors,
            QStringList{"ORA-01017: invalid username/password; logon denied"});
  EXPECT_TRUE(h.dialog->isVisible());
  EXPECT_FALSE(h.mainWindow.isEnabled());
}

TEST(ConnectionDialogTest, Oracle8iKeepsTheDialogOpen) {
  DialogHarness h;
  h.script->answers["select banner from v$version"] = {db::Row{QVariant("Oracle8i Release 8.1.7")}};
  h.createAndShow();
  h.click("BTOk");
  EXPECT_EQ(h.interaction.informed, QStringList{"Oracle 8i server is not supported..."});
  EXPECT_TRUE(h.dialog->isVisible());
  EXPECT_FALSE(h.mainWindow.isEnabled());
}

TEST(ConnectionDialogTest, CancelAndClosingEnableTheMainWindow) {
  {
    DialogHarness h;
    h.createAndShow();
    h.click("BTAnnuler");
    EXPECT_FALSE(h.dialog->isVisible());
    EXPECT_TRUE(h.mainWindow.isEnabled());
    EXPECT_TRUE(h.script->log.isEmpty());
    // Shown again later, it keeps its rows.
    h.mainWindow.setEnabled(false);
    h.dialog->show();
    EXPECT_EQ(h.oracleGrid()->rowCount(), 2);
  }
  {
    DialogHarness h;
    h.createAndShow();
    h.dialog->close();
    EXPECT_TRUE(h.mainWindow.isEnabled());
  }
  {
    DialogHarness h;
    h.createAndShow();
    QTest::keyClick(h.dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(h.dialog->isVisible());
    EXPECT_TRUE(h.mainWindow.isEnabled());
  }
}

TEST(ConnectionDialogTest, HelpAndProductPage) {
  DialogHarness h;
  h.createAndShow();
  QTest::keyClick(h.oracleGrid(), Qt::Key_F1);
  EXPECT_EQ(h.interaction.informed, QStringList{kernel::textTables("FR").messages.value(29)});
  EXPECT_TRUE(h.opener.opened.isEmpty());

  writeFile("Korvo-BO6.html", "<html></html>");
  QTest::keyClick(h.find<QLineEdit>("PwdOra"), Qt::Key_F1);
  ASSERT_EQ(h.opener.opened.size(), 1);
  EXPECT_EQ(h.opener.opened.first().fileName(), "Korvo-BO6.html");

  h.opener.opened.clear();
  h.state.programFolder = h.folder.path();
  QTest::mouseClick(h.find<QLabel>("Label16"), Qt::LeftButton);
  ASSERT_EQ(h.opener.opened.size(), 1);
  EXPECT_EQ(h.opener.opened.first(), kernel::productPageUrl(kernel::textTables("FR"), h.folder.path()));
}

TEST(ConnectionDialogTest, OsAuthenticationDisablesUserAndPassword) {
  DialogHarness h;
  h.create();
  auto* box = h.find<QCheckBox>("CBOsAuth");
  auto* user = h.find<QLineEdit>("UsrMsSql");
  auto* password = h.find<QLineEdit>("PwdMsSql");
  box->setChecked(true);
  EXPECT_FALSE(user->isEnabled());
  EXPECT_FALSE(password->isEnabled());
  box->setChecked(false);
  EXPECT_TRUE(user->isEnabled());
  EXPECT_TRUE(password->isEnabled());
  EXPECT_EQ(user->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
}

TEST(ConnectionDialogTest, PageChangeSetsTheTypeAndLoadsThePageFile) {
  DialogHarness h;
  writeFile("ParamMySql.dat",
            "6\r\n2\r\nB\r\nmydb\r\nU\r\nroot\r\nH\r\nhost\r\nD\r\nd\r\nP\r\nPMCAV\r\n\r\n\r\n");
  h.create();
  h.state.planTablePresent = true;
  auto* pages = h.find<QTabWidget>("PageControlCnx");
  pages->setCurrentIndex(2);
  EXPECT_EQ(h.state.dbmsType, "MYSQL5");
  EXPECT_FALSE(h.state.planTablePresent);
  EXPECT_EQ(h.find<QTableWidget>("StGridparamMysql")->item(0, 2)->text(), "host");
  pages->setCurrentIndex(1);  // ParamMsSql.dat is missing
  EXPECT_EQ(h.state.dbmsType, "MSSQL");
  EXPECT_EQ(h.interaction.errors.size(), 1);
  pages->setCurrentIndex(0);
  EXPECT_EQ(h.state.dbmsType, "ORACLE");
}

}  // namespace
}  // namespace korvo::session

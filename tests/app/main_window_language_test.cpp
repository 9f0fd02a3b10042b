// Start-up of the main window from its settings file: language, failures.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

#include "kernel/language.h"
#include "app/main_window.h"
#include "app/main_window_fixture.h"
#include "kernel/message_box_dialog.h"
#include "kernel/navigator_widget.h"
#include "support/when_modal.h"

namespace korvo::app {

using namespace korvo::kernel;
namespace {

using testing::MainWindowHarness;

QString menuText(MainWindow& w, const char* name) {
  if (auto* menu = w.findChild<QMenu*>(name)) return menu->title();
  if (auto* action = w.findChild<QAction*>(name)) return action->text();
  ADD_FAILURE() << name;
  return {};
}

TEST(MainWindowLanguage, EnglishCaptionsWithTheTwoDesignedMenuCaptions) {
  const QByteArray ini = "[PARAMETRES]\r\nLANG=AN\r\nCOST=100\r\nMESG_DEMO=YES\r\n";
  MainWindowHarness h(&ini);
  MainWindow& w = *h.window;
  EXPECT_EQ(w.state().language, "AN");
  EXPECT_EQ(w.state().costThreshold, 100);
  EXPECT_EQ(&w.texts(), &englishTexts());
  EXPECT_EQ(menuText(w, "AideKorvo1"), "Aide Korvo-Sql F1");
  EXPECT_EQ(menuText(w, "N1"), "?");
  EXPECT_EQ(menuText(w, "Fichier1"), "File");
  EXPECT_EQ(menuText(w, "Misejour1"), "Upgrade");
  EXPECT_EQ(menuText(w, "Copierdanslepressepapier1"), "Copy to ClipBoard");
  for (auto it = englishTexts().menuCaptions.cbegin(); it != englishTexts().menuCaptions.cend();
       ++it)
    EXPECT_EQ(menuText(w, it.key().toLatin1().constData()), it.value());
  EXPECT_EQ(w.findChild<QToolButton*>("Requete")->text(), "Query");
  EXPECT_EQ(w.findChild<QLabel*>("Label2")->text(), "Result objects   ");
  EXPECT_EQ(w.findChild<QLabel*>("Label4")->text(), "Query Filters   ");
  EXPECT_EQ(w.findChild<QPushButton*>("Button1")->text(), "Expand all");
  EXPECT_EQ(w.findChild<QPushButton*>("BTSelValeur")->text(), "Select >>");
  EXPECT_EQ(w.findChild<QCheckBox*>("CBBloquerSql")->text(),
            "Do not generate SQL before execution");
  EXPECT_EQ(w.findChild<QToolButton*>("SBExecuteSql")->toolTip(), "Run SQL script");
  EXPECT_EQ(w.findChild<QToolButton*>("SBAjouterPar")->toolTip(), "Add parenthese");
  EXPECT_EQ(w.findChild<QToolButton*>("nbLast")->toolTip(), "Last row");
  EXPECT_EQ(w.findChild<QTableWidget*>("StringGridUniv")->horizontalHeaderItem(5)->text(),
            "Encryted");
  EXPECT_EQ(w.findChild<QTableWidget*>("StringGridCond")->horizontalHeaderItem(5)->text(),
            "Operator");
  EXPECT_FALSE(w.state().firstRun);
  EXPECT_TRUE(h.interaction.informed.isEmpty());
}

TEST(MainWindowLanguage, FrenchByDefaultAndForAnUnknownCode) {
  const QByteArray lower = "[PARAMETRES]\r\nLANG=an\r\nCOST=0\r\nMESG_DEMO=\r\n";
  MainWindowHarness unknown(&lower);
  MainWindowHarness none;
  for (MainWindowHarness* h : {&unknown, &none}) {
    MainWindow& w = *h->window;
    EXPECT_EQ(&w.texts(), &frenchTexts());
    EXPECT_EQ(menuText(w, "Misejour1"), "Mise à jour");
    EXPECT_EQ(menuText(w, "AideKorvo1"), "Aide Korvo-Sql F1");
    EXPECT_EQ(w.findChild<QLabel*>("Label2")->text(), "Objets du resultat    ");
    EXPECT_EQ(w.findChild<QToolButton*>("sql")->text(), "Editeur");
    EXPECT_EQ(w.findChild<QToolButton*>("nbFirst")->toolTip(), "Premier enregistrement");
    EXPECT_EQ(h->endRequests, 0);
  }
  EXPECT_TRUE(unknown.window->state().firstRun);
  EXPECT_FALSE(none.window->state().firstRun);
  EXPECT_TRUE(QDir(none.folder.path()).entryList(QDir::Files).isEmpty());
}

TEST(MainWindowLanguage, SettingsFailuresShowTheMessageAndEndTheProgram) {
  const QByteArray badCost = "[PARAMETRES]\r\nLANG=AN\r\nCOST=abc\r\nMESG_DEMO=\r\n";
  MainWindowHarness h(&badCost);
  EXPECT_TRUE(h.window->settingsFailed());
  EXPECT_EQ(h.interaction.informed,
            QStringList({"Insufficient permissions, file \"Korvo-BO6.ini\""}));
  EXPECT_EQ(h.endRequests, 1);
  // The rest of the start-up still ran: the language read before the failure applies.
  EXPECT_EQ(h.window->findChild<QToolButton*>("Requete")->text(), "Query");
  EXPECT_EQ(h.window->mode(), WorkMode::Universe);
}

TEST(MainWindowLanguage, AnUnwritableSettingsFileEndsTheProgram) {
  QTemporaryDir folder;
  ASSERT_TRUE(QDir(folder.path()).mkdir("Korvo-BO6.ini"));
  RecordingInteraction interaction;
  RecordingOpener opener;
  int ends = 0;
  ShellServices services;
  services.interaction = &interaction;
  services.opener = &opener;
  services.endProgram = [&] { ++ends; };
  MainWindow w(folder.path(), services);
  EXPECT_TRUE(w.settingsFailed());
  EXPECT_EQ(interaction.informed, QStringList({QString(kSettingsPermissionMessage)}));
  EXPECT_EQ(ends, 1);
}

// Qt's own buttons follow the interface language: the question boxes of the
// French interface say Oui and Non, those of the English one Yes and No.
TEST(MainWindowLanguage, QuestionBoxesSpeakTheInterfaceLanguage) {
  const struct {
    QByteArray ini;
    const char* yes;
    const char* no;
  } cases[] = {{"[PARAMETRES]\r\nLANG=FR\r\nCOST=0\r\nMESG_DEMO=YES\r\n", "&Oui", "&Non"},
               {"[PARAMETRES]\r\nLANG=AN\r\nCOST=0\r\nMESG_DEMO=YES\r\n", "&Yes", "&No"}};
  for (const auto& c : cases) {
    MainWindowHarness h(&c.ini);
    MessageBoxInteraction boxes(h.window.get());
    QString yes, no;
    korvo::testing::whenModal<QMessageBox>([&](QMessageBox* box) {
      yes = box->button(QMessageBox::Yes)->text();
      no = box->button(QMessageBox::No)->text();
      box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(boxes.confirm("?"));
    EXPECT_EQ(yes, c.yes) << c.ini.constData();
    EXPECT_EQ(no, c.no) << c.ini.constData();
  }
}

}  // namespace
}  // namespace korvo::app

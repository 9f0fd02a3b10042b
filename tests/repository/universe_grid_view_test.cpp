#include "repository/universe_grid_view.h"

#include <gtest/gtest.h>

#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include "kernel/language.h"
#include "repository/universe_panel.h"
#include "repository/recording_connection.h"

using namespace korvo;
using namespace korvo::repository;
namespace fakes = korvo::repository::fakes;

TEST(UniverseGridView, ShowsTheListAndPassesClicksAndTheDropButton) {
  fakes::RecordingConnection connection;
  connection.answers = {fakes::countAnswer("'UNV_CLASS'", 0),
                        fakes::countAnswer("'KORVO_CLASS'", 7),
                        {"H_PERSFAM", {}, {}, "ORA-00942: table or view does not exist"},
                        {"from KORVO_UNIVERS",
                         {fakes::column("Id univers"), fakes::column("Nom univers"),
                          fakes::column("Version"), fakes::column("Date de création"),
                          fakes::column("Date de modification"), fakes::column("Cryptage")},
                         {db::Row{QVariant(5), QVariant("Ventes"), QVariant(2), QVariant(),
                                  QVariant(), QVariant("Y")},
                          db::Row{QVariant(9), QVariant("Stocks"), QVariant(1), QVariant(),
                                  QVariant(), QVariant("N")}},
                         QString()}};
  kernel::RecordingInteraction interaction;
  kernel::AppState state;
  UniverseList list(connection, interaction, state);
  repository::UniversePanel panel;
  connectUniversePanel(&panel, list);
  QTableWidget* table = panel.findChild<QTableWidget*>("StringGridUniv");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rowCount(), 1);
  EXPECT_EQ(table->horizontalHeaderItem(0)->text(), "Id univers");

  ASSERT_TRUE(list.Init_Univers());
  ASSERT_EQ(table->rowCount(), 2);
  ASSERT_EQ(table->columnCount(), 6);
  EXPECT_EQ(table->item(1, 1)->text(), "Stocks");
  EXPECT_EQ(table->item(0, 5)->text(), "Y");
  EXPECT_EQ(table->columnWidth(1), 300);

  panel.show();
  const QRect cell = table->visualRect(table->model()->index(1, 2));
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(list.selectedUniverseId(), "9");

  interaction.answers = {false};
  panel.findChild<QToolButton*>("SBdropUnivers")->click();
  EXPECT_EQ(interaction.asked, QStringList{kernel::textTables("FR").messages[49]});
  EXPECT_FALSE(connection.log.contains("drop table KORVO_CLASS"));
}

TEST(UniverseGridView, BusyProgressShowsTheStepAndEnds) {
  kernel::RecordingInteraction messages;
  QWidget parent;
  {
    BusyProgressInteraction busy(messages, &parent);
    busy.progress("TMP_CLASS");
    auto* dialog = parent.findChild<QProgressDialog*>("ProgressDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->labelText(), "TMP_CLASS");
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    busy.inform("done");
    busy.progress(QString());
    EXPECT_EQ(parent.findChild<QProgressDialog*>("ProgressDialog"), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    busy.progress("again");  // left busy: the destructor ends it
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(messages.informed, QStringList{"done"});
}

// A statement that runs for seconds in the window: the window's thread keeps
// turning (a 10 ms timer goes on ticking), the Cancel button comes after a
// second and stops the fetch, the grid keeps the rows fetched before it, the
// status bar says so, and the connection serves the next statement.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QCheckBox>
#include <QToolButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include "app/main_window.h"
#include "app/main_window_features.h"
#include "db/connection.h"
#include "kernel/navigator_widget.h"
#include "main_window_fixture.h"
#include "session/plan_table.h"
#include "sqlgen/result_panel.h"
#include "sqlgen/sql_panel.h"

namespace korvo::app {
namespace {

// A row for every (a, b) with c = 1: the first packet comes at once, all the
// 160,000 rows only after the 64 million combinations are walked.
const char* kSlowRows =
    "select a.V, b.V from N1 a, N1 b, N1 c where c.V = 1 or a.V + b.V + c.V > 5000";

class LongRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(schemas.isValid());
    const QByteArray ini = "[PARAMETRES]\r\nLANG=FR\r\nCOST=0\r\nMESG_DEMO=YES\r\n";
    harness = std::make_unique<testing::MainWindowHarness>(&ini);
    MainWindow& w = *harness->window;
    features = std::make_unique<MainWindowFeatures>(w, harness->interaction);
    const QString alias = "local:" + schemas.path();
    auto connection = db::connectionForAlias(alias);
    connection->open(alias, "scott", "tiger");
    connection->exec("create table N1 (V number)");
    connection->exec("insert into N1 select level from dual connect by level <= 400");
    connection->commit();
    session::InitPlanTable(*connection, w.state());
    w.setConnection(std::move(connection));
    w.resize(1280, 760);
    w.show();
    harness->interaction.defaultAnswer = true;
  }

  QTemporaryDir schemas;
  std::unique_ptr<testing::MainWindowHarness> harness;
  std::unique_ptr<MainWindowFeatures> features;
};

TEST_F(LongRun, TheWindowTurnsAndCancelStopsTheFetchKeepingItsRows) {
  MainWindow& w = *harness->window;
  sqlgen::SqlPanel* editor = w.sqlPanel();
  editor->cbBloquerSql->setChecked(true);
  w.sqlClick();
  editor->memoSql->setPlainText(kSlowRows);
  editor->sbExecuteSql->click();
  ASSERT_EQ(w.mode(), WorkMode::Result) << harness->interaction.errors.join(" | ").toStdString();
  QTableView* grid = w.resultPanel()->dbGridData;
  ASSERT_EQ(grid->model()->rowCount(), 500);

  auto* status = w.findChild<QLabel*>("LabelExecution");
  auto* cancel = w.findChild<QPushButton*>("BTAnnulerExecution");
  ASSERT_NE(status, nullptr);
  ASSERT_NE(cancel, nullptr);

  // The window's thread, watched by a timer while the fetch runs.
  QElapsedTimer sinceTick;
  qint64 longestGap = 0;
  int ticks = 0;
  QTimer watch;
  watch.setInterval(10);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (ticks++ > 0) longestGap = std::max(longestGap, sinceTick.elapsed());
    sinceTick.restart();
  });
  bool buttonShown = false;
  bool toolbarsHeld = false;
  QString statusWhileRunning;
  QTimer::singleShot(1300, [&] {
    // With KORVO_SCREENSHOT_DIR set (scripts/screenshots.sh): the window mid-run.
    if (const QByteArray folder = qgetenv("KORVO_SCREENSHOT_DIR"); !folder.isEmpty())
      w.grab().toImage().save(QDir(QString::fromLocal8Bit(folder)).filePath("screenshot-running.png"));
    buttonShown = cancel->isVisible();
    toolbarsHeld = !editor->toolBar6->isEnabled();
    statusWhileRunning = status->text();
    cancel->click();
  });
  watch.start();
  sinceTick.start();
  QElapsedTimer clock;
  clock.start();
  emit w.resultPanel()->dbNavigator1->lastClicked();  // fetch every row
  const qint64 took = clock.elapsed();
  watch.stop();

  EXPECT_TRUE(buttonShown);
  EXPECT_TRUE(toolbarsHeld);
  EXPECT_TRUE(statusWhileRunning.startsWith(QString::fromUtf8("Exécution…")))
      << statusWhileRunning.toStdString();
  EXPECT_GT(ticks, 50) << "the window's thread stood still during the fetch";
  EXPECT_LT(took, 4000) << "Cancel did not stop the fetch";
  const int kept = grid->model()->rowCount();
  EXPECT_GE(kept, 500);
  EXPECT_LT(kept, 160000);
  EXPECT_EQ(status->text(), QString::fromUtf8("Annulé (%1 lignes)").arg(kept));
  EXPECT_FALSE(cancel->isVisible());
  EXPECT_TRUE(editor->toolBar6->isEnabled());
  EXPECT_TRUE(harness->interaction.errors.isEmpty())
      << harness->interaction.errors.join(" | ").toStdString();

  // The connection goes on with the next statement.
  w.sqlClick();
  editor->memoSql->setPlainText("select count(*) from N1");
  editor->sbExecuteSql->click();
  ASSERT_EQ(w.mode(), WorkMode::Result)
      << (harness->interaction.errors + harness->interaction.informed).join(" | ").toStdString();
  EXPECT_EQ(grid->model()->data(grid->model()->index(0, 0)).toString(), "400");
}

}  // namespace
}  // namespace korvo::app

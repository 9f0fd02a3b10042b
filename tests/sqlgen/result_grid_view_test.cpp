// The result panel on screen (offscreen platform): packets fetched on
// scrolling only, the record numbers beside the rows, the null marks, the
// title click and the navigator.
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "kernel/interaction.h"
#include "kernel/navigator_widget.h"
#include "qt_print.h"
#include "result_fixture.h"
#include "sqlgen/null_cell_delegate_widget.h"
#include "sqlgen/result_grid_view.h"
#include "sqlgen/result_panel.h"
#include "sqlgen/row_numbers_widget.h"

using namespace korvo;
using namespace korvo::sqlgen;

namespace {

class ResultGridOnScreen : public korvo::testing::ResultEngineTest {
 protected:
  void show(int rows, const QString& statement = "select ID, NAME from NUMS order by ID") {
    korvo::testing::createNumberedTable(*connection, "NUMS", rows);
    model.open(*connection, statement);
    panel.resize(500, 400);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    QApplication::processEvents();
  }
  QTableView* grid() { return panel.dbGridData; }
  // A row's top in the row-number widget's coordinates.
  int rowTop(int row) {
    const QPoint inViewport(0, grid()->rowViewportPosition(row));
    return view.rowNumbers()->mapFrom(&panel, grid()->viewport()->mapTo(&panel, inViewport)).y();
  }

  ResultModel model;
  ResultPanel panel;
  kernel::RecordingInteraction interaction;
  ResultGridView view{panel, model, interaction};
};

TEST_F(ResultGridOnScreen, FetchesMoreOnlyWhenScrolledToTheEnd) {
  show(2000);
  EXPECT_EQ(model.fetchedRows(), 500);
  grid()->scrollTo(model.index(250, 0));
  QApplication::processEvents();
  EXPECT_EQ(model.fetchedRows(), 500);
  grid()->verticalScrollBar()->setValue(grid()->verticalScrollBar()->maximum());
  QApplication::processEvents();
  EXPECT_EQ(model.fetchedRows(), 1000);
}

TEST_F(ResultGridOnScreen, NumbersEveryVisibleRowBesideIt) {
  show(2000);
  const RowNumbersWidget* numbers = view.rowNumbers();
  EXPECT_EQ(numbers->parentWidget(), panel.toolBar10);
  EXPECT_EQ(numbers->geometry(), panel.toolBar10->rect());
  QList<RowNumbersWidget::Label> labels = numbers->labels();
  ASSERT_GE(labels.size(), 5);
  const int lastVisible = grid()->rowAt(grid()->viewport()->height() - 1);
  EXPECT_EQ(labels.front().record, 1);
  EXPECT_EQ(labels.back().record, lastVisible + 1);
  for (const RowNumbersWidget::Label& label : labels) {
    EXPECT_EQ(label.rect.top(), rowTop(label.record - 1)) << label.record;
    EXPECT_EQ(label.rect.height(), grid()->rowHeight(label.record - 1));
  }

  grid()->scrollTo(model.index(300, 0), QAbstractItemView::PositionAtTop);
  QApplication::processEvents();
  labels = numbers->labels();
  ASSERT_FALSE(labels.isEmpty());
  EXPECT_EQ(labels.front().record, 301);
  EXPECT_EQ(labels.front().rect.top(), rowTop(300));

  model.close();
  EXPECT_TRUE(numbers->labels().isEmpty());
}

TEST_F(ResultGridOnScreen, PaintsNumbersOnlyBesideRows) {
  show(3);
  RowNumbersWidget* numbers = view.rowNumbers();
  const QList<RowNumbersWidget::Label> labels = numbers->labels();
  ASSERT_EQ(labels.size(), 3);
  const QImage image = numbers->grab().toImage();
  const QColor face = numbers->palette().color(QPalette::Button);
  auto inked = [&](const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x)
        if (image.pixelColor(x, y) != face) ++count;
    return count;
  };
  const int scale = static_cast<int>(image.devicePixelRatio());
  for (const RowNumbersWidget::Label& label : labels)
    EXPECT_GT(inked(QRect(label.rect.topLeft() * scale, label.rect.size() * scale)), 0);
  const int below = labels.back().rect.bottom() + 1;
  EXPECT_EQ(inked(QRect(0, below * scale, image.width(), image.height() - below * scale)), 0);
}

TEST_F(ResultGridOnScreen, ATitleClickReportsTheColumn) {
  show(10);
  QStringList clicked;
  view.onTitleClicked = [&](const QString& title) { clicked << title; };
  QHeaderView* header = grid()->horizontalHeader();
  const QPoint second(header->sectionViewportPosition(1) + 5, header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, second);
  EXPECT_EQ(clicked, QStringList({"NAME"}));
  EXPECT_EQ(model.displayText(0, 0), "1");  // the grid itself does not reorder
}

TEST_F(ResultGridOnScreen, TheNavigatorMovesTheCurrentRowAndLastFetchesAll) {
  show(1200);
  view.goFirst();
  EXPECT_EQ(view.currentRow(), 0);
  view.goPrior();
  EXPECT_EQ(view.currentRow(), 0);
  view.goNext();
  EXPECT_EQ(view.currentRow(), 1);
  panel.dbNavigator1->button(kernel::NavigatorWidget::Prior)->click();
  EXPECT_EQ(view.currentRow(), 0);

  grid()->setCurrentIndex(model.index(499, 1));
  view.goNext();
  EXPECT_EQ(model.fetchedRows(), 1000);
  EXPECT_EQ(view.currentRow(), 500);

  bool busy = false;
  panel.dbNavigator1->button(kernel::NavigatorWidget::Last)->click();
  EXPECT_EQ(model.fetchedRows(), 1200);
  EXPECT_EQ(view.currentRow(), 1199);
  EXPECT_EQ(grid()->currentIndex().column(), 1);
  EXPECT_EQ(view.rowNumbers()->labels().back().record, 1200);
  view.goNext();
  EXPECT_EQ(view.currentRow(), 1199);

  view.withBusyCursor([&] {
    busy = QApplication::overrideCursor() &&
           QApplication::overrideCursor()->shape() == Qt::WaitCursor;
  });
  EXPECT_TRUE(busy);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_THROW(view.withBusyCursor([] { throw db::DbError("ORA-00942"); }), db::DbError);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ResultGridOnScreen, AFailedPacketIsShownAfterThePainting) {
  show(1200, "select ID, 1 / (ID - 700) Q from NUMS");
  panel.dbNavigator1->button(kernel::NavigatorWidget::Last)->click();
  EXPECT_EQ(model.fetchedRows(), 699);
  EXPECT_TRUE(interaction.errors.isEmpty());
  QApplication::processEvents();
  ASSERT_EQ(interaction.errors.size(), 1);
  EXPECT_TRUE(interaction.errors[0].startsWith("ORA-01476"));
  EXPECT_EQ(view.currentRow(), 698);
}

// Pixels of the marker colour in a painted cell.
int markPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 150 && c.green() < 100 && c.blue() < 100) ++count;
    }
  return count;
}

TEST_F(ResultGridOnScreen, EmptyCellsShowTheNullMark) {
  show(2, "select NAME, case when ID = 2 then 'x' end MAYBE from NUMS order by ID");
  auto paintCell = [&](int row, int col) {
    QImage image(120, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QStyleOptionViewItem option;
    option.initFrom(grid());
    option.rect = image.rect();
    option.palette.setColor(QPalette::Mid, Qt::red);
    QPainter painter(&image);
    grid()->itemDelegate()->paint(&painter, option, model.index(row, col));
    painter.end();
    return markPixels(image);
  };
  EXPECT_GT(paintCell(0, 1), 10);  // null
  EXPECT_EQ(paintCell(1, 1), 0);   // "x"
  EXPECT_EQ(paintCell(0, 0), 0);   // "n1"
  EXPECT_NE(qobject_cast<NullCellDelegate*>(grid()->itemDelegate()), nullptr);
}

}  // namespace

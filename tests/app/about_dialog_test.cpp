#include "app/about_dialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "kernel/language.h"
#include "kernel/link_label_widget.h"
#include "app/main_window_fixture.h"
#include "kernel/opener.h"

namespace korvo::app {

using namespace korvo::kernel;
namespace {

QString labelText(QWidget& box, const char* name) {
  auto* label = box.findChild<QLabel*>(name);
  EXPECT_NE(label, nullptr) << name;
  return label ? label->text() : QString();
}

TEST(AboutDialog, TextsOfBothLanguages) {
  RecordingOpener opener;
  const QUrl page = QUrl::fromLocalFile("/opt/korvo/web/index_en.html");
  AboutDialog en(englishTexts(), page, opener);
  EXPECT_EQ(en.objectName(), "TForm4");
  EXPECT_EQ(labelText(en, "LabelVersion"), "Release:");
  EXPECT_EQ(labelText(en, "LabelVersionNumber"), "1.1.0");
  EXPECT_TRUE(en.findChild<QLabel*>("LabelVersionNumber")->font().bold());
  EXPECT_EQ(labelText(en, "LabelDate"), "18 Janv 2012");
  EXPECT_EQ(labelText(en, "LabelProduct"), "Requestor for ORACLE");
  EXPECT_EQ(labelText(en, "LabelInterface"), "interfaced with BO Designer 6.5.1");
  EXPECT_EQ(labelText(en, "LabelWebSite"), "WebSite:");
  EXPECT_EQ(labelText(en, "LabelWebPage"), page.toString());

  AboutDialog fr(frenchTexts(), page, opener);
  EXPECT_EQ(labelText(fr, "LabelVersion"), "Version :");
  EXPECT_EQ(labelText(fr, "LabelProduct"), "Requeteur pour ORACLE");
  EXPECT_EQ(labelText(fr, "LabelInterface"), "interfacé avec BO Designer 6.5.1");
  EXPECT_EQ(labelText(fr, "LabelWebSite"), "Site Web:");
}

TEST(AboutDialog, LinkHoverLeaveAndClick) {
  RecordingOpener opener;
  const QUrl page = QUrl::fromLocalFile("/opt/korvo/web/index_fr.html");
  AboutDialog box(frenchTexts(), page, opener);
  box.show();
  LinkLabelWidget* link = box.link();
  EXPECT_TRUE(link->font().underline());
  EXPECT_EQ(link->palette().color(QPalette::WindowText), LinkLabelWidget::restColor());
  EXPECT_FALSE(link->testAttribute(Qt::WA_SetCursor));

  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  QApplication::sendEvent(link, &enter);
  EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::red));
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);

  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(link, &leave);
  EXPECT_EQ(link->palette().color(QPalette::WindowText), LinkLabelWidget::restColor());
  EXPECT_FALSE(link->testAttribute(Qt::WA_SetCursor));
  EXPECT_TRUE(opener.opened.isEmpty());

  QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_EQ(opener.opened, QList<QUrl>({page}));
}

TEST(AboutDialog, MenuDisablesTheWindowAndAnyCloseEnablesIt) {
  testing::MainWindowHarness h;
  MainWindow& w = *h.window;
  w.show();
  AboutDialog* box = w.aboutDialog();
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(box->isVisible());

  w.findChild<QAction*>("AproposdeKorvo1")->trigger();
  EXPECT_FALSE(w.isEnabled());
  EXPECT_TRUE(box->isVisible());
  EXPECT_TRUE(box->isEnabled());
  QTest::mouseClick(box->findChild<QPushButton*>("BTOk"), Qt::LeftButton);
  EXPECT_FALSE(box->isVisible());
  EXPECT_TRUE(w.isEnabled());

  w.showAbout();
  EXPECT_FALSE(w.isEnabled());
  box->close();  // the window's close button
  EXPECT_TRUE(w.isEnabled());

  w.showAbout();
  QTest::keyClick(box, Qt::Key_Escape);
  EXPECT_FALSE(box->isVisible());
  EXPECT_TRUE(w.isEnabled());
  EXPECT_EQ(labelText(*box, "LabelWebPage"),
            QUrl::fromLocalFile(h.folder.filePath("web/index_fr.html")).toString());
}

}  // namespace
}  // namespace korvo::app

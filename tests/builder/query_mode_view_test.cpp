// The query mode's widgets in the main window, on an embedded repository, in
// French and in English: entering the mode, double-clicks, buttons and their
// hints, drops, keys, the pick-list panels, placeholders and editing.
#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app/main_window_features.h"
#include "app/main_window_fixture.h"
#include "app/main_window_target.h"
#include "builder/condition_placeholder_view.h"
#include "builder/node_tree_widget.h"
#include "builder/query_grids.h"
#include "builder/query_panel.h"
#include "db/connection.h"
#include "kernel/tree_images_widget.h"
#include "repository/repository_schema.h"

using namespace korvo;
using namespace korvo::builder;

namespace {

struct QueryMode {
  QTemporaryDir schemas;
  std::unique_ptr<app::testing::MainWindowHarness> harness;
  std::unique_ptr<app::MainWindowFeatures> features;
  app::MainWindow* w = nullptr;
  QueryPanel* q = nullptr;
  int runs = 0;

  explicit QueryMode(const QByteArray& language) {
    const QByteArray ini = "[PARAMETRES]\r\nLANG=" + language + "\r\nCOST=0\r\nMESG_DEMO=YES\r\n";
    harness = std::make_unique<app::testing::MainWindowHarness>(&ini);
    w = harness->window.get();
    q = w->queryPanel();
    features = std::make_unique<app::MainWindowFeatures>(*w, harness->interaction);
    w->hooks().runQuery = [this] { ++runs; };
    const QString alias = "local:" + schemas.path();
    auto connection = db::connectionForAlias(alias);
    connection->open(alias, "scott", "tiger");
    for (const char* t : {"KORVO_UNIVERS", "KORVO_CLASS", "KORVO_OBJECT"})
      connection->exec(repository::repositoryTable(t).createStatement());
    for (const char* sql :
         {"insert into KORVO_UNIVERS (UN_IDUNIV, UN_NAME, UN_VERSION, UN_CRYPTAGE) values (1, "
          "'Demo', 1, 'N')",
          "insert into KORVO_CLASS (CL_IDCLASS, CL_IDUNIV, CL_NAME, CL_IDPERE, CL_HIDDEN, "
          "CL_POSITION) values (1, 1, 'Clients', 0, 'N', 1)",
          "insert into KORVO_CLASS (CL_IDCLASS, CL_IDUNIV, CL_NAME, CL_IDPERE, CL_HIDDEN, "
          "CL_POSITION) values (2, 1, 'Adresses', 1, 'N', 1)",
          "insert into KORVO_OBJECT (OB_IDOBJ, OB_IDUNIV, OB_IDCLASS, OB_NAME, OB_PROP, "
          "OB_HIDDEN, OB_POSITION, OB_SELECT, OB_COMMENT) values (10, 1, 1, 'Ville', 'Char,D', "
          "'N', 1, 'C.VILLE', 'Ville du client')",
          "insert into KORVO_OBJECT (OB_IDOBJ, OB_IDUNIV, OB_IDCLASS, OB_NAME, OB_PROP, "
          "OB_HIDDEN, OB_POSITION, OB_SELECT, OB_COMMENT) values (11, 1, 1, 'Chiffre', "
          "'Num,M', 'N', 2, 'sum(C.CA)', 'Total')",
          "insert into KORVO_OBJECT (OB_IDOBJ, OB_IDUNIV, OB_IDCLASS, OB_NAME, OB_PROP, "
          "OB_HIDDEN, OB_POSITION, OB_SELECT, OB_COMMENT) values (12, 1, 2, 'Rue', 'Char,D', "
          "'N', 1, 'A.RUE', 'Rue')"})
      connection->exec(sql);
    w->setConnection(std::move(connection));
    w->resize(1200, 800);
    w->show();
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
    w->procPanelRequete();
    q->treeViewClasse->expandAll();
  }

  QTreeWidgetItem* classItem() const { return q->treeViewClasse->topLevelItem(0); }
  QTreeWidgetItem* ville() const { return classItem()->child(0); }
  QTreeWidgetItem* chiffre() const { return classItem()->child(1); }
  QString cond(int tableRow, int column) const {
    const QTableWidgetItem* item = q->stringGridCond->item(tableRow, column);
    return item ? item->text() : QString();
  }
  QString obj(int tableRow, int column) const {
    const QTableWidgetItem* item = q->stringGridObj->item(tableRow, column);
    return item ? item->text() : QString();
  }

  static void doubleClick(QTreeWidget* tree, QTreeWidgetItem* item) {
    tree->scrollToItem(item);
    const QPoint at = tree->visualItemRect(item).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
  }
  static QTreeWidgetItem* itemNamed(QTreeWidget* tree, const QString& text) {
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
  }
  void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  // Sends a drag enter and a drop naming `tree` onto `grid`; true when both were taken.
  bool drop(QTableWidget* grid, QTreeWidget* tree) {
    QMimeData data;
    data.setData(kTreeNodeMimeType, tree->objectName().toUtf8());
    const QPointF at = grid->viewport()->rect().center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &enter);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid->viewport(), &dropped);
    return enter.isAccepted() && dropped.isAccepted();
  }
};

}  // namespace

TEST(QueryModeView, EnteringBuildsTheTreeAndThePickListsOnce) {
  for (const char* language : {"FR", "AN"}) {
    QueryMode m(language);
    QTreeWidget* tree = m.q->treeViewClasse;
    ASSERT_EQ(tree->topLevelItemCount(), 1) << language;
    EXPECT_EQ(m.classItem()->text(0), "Clients");
    EXPECT_EQ(m.classItem()->childCount(), 3);  // Ville, Chiffre, then the subclass Adresses
    EXPECT_EQ(kernel::nodeImage(m.ville()), kDimensionImage);
    EXPECT_EQ(kernel::nodeImage(m.chiffre()), kMeasureImage);
    EXPECT_EQ(kernel::nodeImage(m.classItem()->child(2)), kernel::kOpenFolder);  // expanded
    m.q->treeViewClasse->collapseAll();
    EXPECT_EQ(kernel::nodeImage(m.classItem()), kernel::kClosedFolder);

    const kernel::TextTables& texts = m.w->texts();
    ASSERT_EQ(m.q->treeViewOper->topLevelItemCount(), 14);
    EXPECT_EQ(m.q->treeViewOper->topLevelItem(10)->text(0), texts.operatorLabels[11]);
    EXPECT_EQ(kernel::nodeImage(m.q->treeViewOper->topLevelItem(0)), kListItemImage);
    ASSERT_EQ(m.q->treeViewOperande->topLevelItemCount(), 6);
    EXPECT_EQ(m.q->treeViewOperande->topLevelItem(4)->text(0), texts.operandTypeLabels[5]);

    m.w->procPanelUnivers();
    m.w->procPanelRequete();
    EXPECT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(m.classItem()->childCount(), 3);

    // A new connection empties the tree; the next entry builds it again.
    app::MainWindowTarget(*m.w).clearClassTree();
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    m.w->procPanelRequete();
    EXPECT_EQ(tree->topLevelItemCount(), 1);
  }
}

TEST(QueryModeView, ButtonHintsInBothLanguages) {
  const QList<std::pair<const char*, std::pair<const char*, const char*>>> hints = {
      {"SBtruncObj", {"Supprimer tous les objets", "Remove all objects"}},
      {"SBAjouter", {"Ajouter l'objet", "Add object"}},
      {"SBSupprimer", {"Supprimer l'objet", "Remove object"}},
      {"SBVersleBas", {"Déplacer l'objet vers le bas", "Move object down"}},
      {"SBVersleHaut", {"Déplacer l'objet vers le haut", "Move object up"}},
      {"SBTruncCond", {"Supprimer tous les filtres", "Remove all filters"}},
      {"SBAjouterCond", {"Ajouter un filtre", "Add filter"}},
      {"SBSupprimerCond", {"Supprimer le filtre", "Remove filter"}},
      {"SBCVersLeBas", {"Déplacer la ligne vers le bas", "Move line down"}},
      {"SBCVersLeHaut", {"Déplacer la ligne vers le haut", "Move line up"}},
      {"SBAjouterPar", {"Ajouter une parenthèse", "Add parenthese"}},
      {"SBSuppPar", {"Supprimer une parenthèse", "Remove parenthese"}},
      {"SBAjouterLine",
       {"Ajouter une ligne pour parenthèse fermante", "Add line for closing parenthese"}},
      {"SBNew", {"Nouvelle requête", "New query"}},
      {"SBClasses", {"Afficher les classes", "Show classes"}},
      {"SBOuvrir", {"Ouvrir une requête", "Open query"}},
      {"SBEnregistrer", {"Enregistrer une requête", "Save query"}},
  };
  QueryMode fr("FR");
  QueryMode en("AN");
  for (const auto& [name, texts] : hints) {
    EXPECT_EQ(fr.w->findChild<QToolButton*>(name)->toolTip(), QString::fromUtf8(texts.first));
    EXPECT_EQ(en.w->findChild<QToolButton*>(name)->toolTip(), QString::fromUtf8(texts.second));
  }
}

TEST(QueryModeView, DoubleClicksFillTheGridsAndThePanelsFollow) {
  QueryMode m("FR");
  EXPECT_FALSE(m.q->sbExecute->isEnabled());
  QueryMode::doubleClick(m.q->treeViewClasse, m.ville());
  EXPECT_EQ(m.obj(0, 2), "Ville");
  EXPECT_EQ(m.obj(0, 0), "10");
  EXPECT_TRUE(m.q->sbExecute->isEnabled());
  EXPECT_EQ(m.w->statusText(0), "  Ville du client");
  m.q->treeViewClasse->setCurrentItem(m.classItem());
  EXPECT_EQ(m.w->statusText(0), "");
  QueryMode::doubleClick(m.q->treeViewClasse, m.classItem());  // a class adds nothing
  EXPECT_EQ(m.q->stringGridObj->rowCount(), 1);

  m.q->treeViewClasse->setCurrentItem(m.chiffre());
  m.click(m.q->sbAjouterCond);
  EXPECT_EQ(m.cond(0, kCondObject), "Chiffre");
  EXPECT_EQ(m.cond(0, kCondConnector), "ET");
  EXPECT_EQ(m.cond(0, kCondMeasure), "1");
  EXPECT_TRUE(m.q->panelOper->isVisible());
  EXPECT_FALSE(m.q->panelClasse->isVisible());
  EXPECT_EQ(m.q->label1->text(), "Opérateurs   ");
  EXPECT_EQ(m.q->stringGridCond->currentColumn(), kCondOperator);

  QueryMode::doubleClick(m.q->treeViewOper, QueryMode::itemNamed(m.q->treeViewOper, "Supérieur à"));
  EXPECT_EQ(m.cond(0, kCondOperator), "Supérieur à");
  EXPECT_TRUE(m.q->panelOperande->isVisible());
  EXPECT_EQ(m.q->stringGridCond->currentColumn(), kCondOperand);

  QueryMode::doubleClick(
      m.q->treeViewOperande,
      QueryMode::itemNamed(m.q->treeViewOperande, "Insérer une nouvelle invite"));
  EXPECT_EQ(m.cond(0, kCondPrompt), "?");
  EXPECT_TRUE(m.q->panelClasse->isVisible());
  EXPECT_EQ(m.q->stringGridCond->currentColumn(), kCondId);
  EXPECT_EQ(m.q->label1->text(), "Classes et objets   ");

  // Operand type 5: the next double-click adds a continuation condition.
  m.q->stringGridCond->setCurrentCell(0, kCondOperand);
  QueryMode::doubleClick(m.q->treeViewOperande,
                         QueryMode::itemNamed(m.q->treeViewOperande, "Supprimer une invite"));
  EXPECT_EQ(m.cond(0, kCondPrompt), "");
  m.q->stringGridCond->setCurrentCell(0, kCondOperand);
  QueryMode::doubleClick(m.q->treeViewOperande,
                         QueryMode::itemNamed(m.q->treeViewOperande, "Sélectionner un objet"));
  QueryMode::doubleClick(m.q->treeViewClasse, m.ville());
  EXPECT_EQ(m.q->stringGridCond->rowCount(), 2);
  EXPECT_EQ(m.cond(1, kCondObject), "Ville");
  EXPECT_EQ(m.cond(1, kCondConnector), "");
  EXPECT_EQ(m.q->stringGridObj->rowCount(), 1);
}

TEST(QueryModeView, TypingAConstantAfterOperandTypeOne) {
  QueryMode m("AN");
  m.q->treeViewClasse->setCurrentItem(m.ville());
  m.click(m.q->sbAjouterCond);
  QueryMode::doubleClick(m.q->treeViewOper, QueryMode::itemNamed(m.q->treeViewOper, "Equal to"));
  QTableWidget* grid = m.q->stringGridCond;
  EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
  QueryMode::doubleClick(m.q->treeViewOperande,
                         QueryMode::itemNamed(m.q->treeViewOperande, "Type a new constant"));
  EXPECT_NE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
  // The operand cell shows its editor, which has the focus.
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->parentWidget(), grid->viewport());
  QTest::keyClicks(editor, "'Paris'");
  QTest::keyClick(editor, Qt::Key_Return);
  grid->setCurrentCell(0, kCondObject);
  EXPECT_EQ(m.cond(0, kCondOperand), "'Paris'");
  EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
  // The text lives in the core grid too: a redraw from it keeps it.
  m.click(m.q->sbAjouterLine);
  EXPECT_EQ(m.cond(0, kCondOperand), "'Paris'");
  EXPECT_EQ(m.cond(1, kCondMeasure), "0");
}

TEST(QueryModeView, PlaceholdersAreDrawnInTheCurrentCell) {
  for (const char* language : {"FR", "AN"}) {
    QueryMode m(language);
    const kernel::TextTables& texts = m.w->texts();
    m.q->treeViewClasse->setCurrentItem(m.ville());
    m.click(m.q->sbAjouterCond);
    const ConditionPlaceholderDelegate* delegate =
        qobject_cast<ConditionPlaceholderDelegate*>(m.q->stringGridCond->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    EXPECT_EQ(delegate->placeholder(0, kCondOperator), texts.operatorLabels[0]);
    EXPECT_EQ(delegate->placeholder(0, kCondOperand), "");
    EXPECT_EQ(delegate->placeholder(0, kCondObject), "");

    // Drawn white with the invitation in the desktop colour.
    QTableWidget* grid = m.q->stringGridCond;
    QApplication::processEvents();
    const QRect cell = grid->visualRect(grid->model()->index(0, kCondOperator));
    const QImage image = grid->viewport()->grab(cell).toImage();
    bool desktop = false;
    for (int y = 0; y < image.height() && !desktop; ++y)
      for (int x = 0; x < image.width() && !desktop; ++x)
        desktop = image.pixelColor(x, y) == kDesktopColour;
    EXPECT_TRUE(desktop) << language;

    QueryMode::doubleClick(m.q->treeViewOper, m.q->treeViewOper->topLevelItem(0));
    EXPECT_EQ(delegate->placeholder(0, kCondOperator), "");
    EXPECT_EQ(delegate->placeholder(0, kCondOperand), texts.operandTypeLabels[0]);
    m.click(m.q->sbCloseOperande);
    EXPECT_TRUE(m.q->panelClasse->isVisible());
    EXPECT_EQ(delegate->placeholder(0, kCondOperand), "");
  }
}

TEST(QueryModeView, DropsFromTheClassTreeOnly) {
  QueryMode m("FR");
  m.q->treeViewClasse->setCurrentItem(m.ville());
  EXPECT_TRUE(m.drop(m.q->stringGridObj, m.q->treeViewClasse));
  EXPECT_TRUE(m.drop(m.q->stringGridObj, m.q->treeViewClasse));
  EXPECT_EQ(m.q->stringGridObj->rowCount(), 2);
  EXPECT_TRUE(m.drop(m.q->stringGridCond, m.q->treeViewClasse));
  EXPECT_EQ(m.cond(0, kCondObject), "Ville");
  m.q->treeViewOper->setCurrentItem(m.q->treeViewOper->topLevelItem(0));
  m.q->treeViewOperande->setCurrentItem(m.q->treeViewOperande->topLevelItem(0));
  EXPECT_FALSE(m.drop(m.q->stringGridCond, m.q->treeViewOper));
  EXPECT_FALSE(m.drop(m.q->stringGridObj, m.q->treeViewOperande));
  m.q->treeViewClasse->setCurrentItem(m.classItem());
  EXPECT_FALSE(m.drop(m.q->stringGridObj, m.q->treeViewClasse));
  EXPECT_EQ(m.q->stringGridObj->rowCount(), 2);
  EXPECT_EQ(m.q->stringGridCond->rowCount(), 1);
}

TEST(QueryModeView, KeysConnectorToggleAndResets) {
  QueryMode m("AN");
  for (QTreeWidgetItem* item : {m.ville(), m.chiffre()})
    QueryMode::doubleClick(m.q->treeViewClasse, item);
  QTableWidget* obj = m.q->stringGridObj;
  obj->setFocus();
  obj->setCurrentCell(0, 0);
  QTest::keyClick(obj, Qt::Key_Delete);
  ASSERT_EQ(obj->rowCount(), 1);
  EXPECT_EQ(m.obj(0, 2), "Chiffre");
  QueryMode::doubleClick(m.q->treeViewClasse, m.ville());
  EXPECT_EQ(obj->rowCount(), 2);  // appended after the remaining object
  QTest::keyClick(obj, Qt::Key_F9);
  QTest::keyClick(m.q->stringGridCond, Qt::Key_F9);
  QTest::keyClick(m.q->treeViewClasse, Qt::Key_F9);
  m.click(m.q->sbExecute);
  EXPECT_EQ(m.runs, 4);

  m.q->treeViewClasse->setCurrentItem(m.ville());
  for (int i = 0; i < 2; ++i) m.click(m.q->sbAjouterCond);
  QTableWidget* cond = m.q->stringGridCond;
  // A click makes the cell current, the double-click toggles its connector.
  auto dclick = [&](int row, int column) {
    const QPoint at = cond->visualRect(cond->model()->index(row, column)).center();
    QTest::mouseClick(cond->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(cond->viewport(), Qt::LeftButton, {}, at);
  };
  dclick(0, kCondConnector);
  EXPECT_EQ(m.cond(0, kCondConnector), "AND");
  dclick(1, kCondConnector);
  EXPECT_EQ(m.cond(1, kCondConnector), "OR");
  dclick(1, kCondConnector);
  EXPECT_EQ(m.cond(1, kCondConnector), "AND");

  m.click(m.q->sbTruncObj);
  EXPECT_FALSE(m.q->sbExecute->isEnabled());
  EXPECT_EQ(obj->rowCount(), 1);
  EXPECT_EQ(cond->rowCount(), 2);
  m.click(m.q->sbNew);
  EXPECT_EQ(cond->rowCount(), 1);
  EXPECT_EQ(m.cond(0, kCondObject), "");
}

TEST(QueryModeView, SaveAndOpenThroughTheFileChoice) {
  QueryMode m("FR");
  const QString folder = m.w->state().programFolder;
  QDir(folder).mkdir("REQUETES");
  QDir(folder).mkdir("CONDITIONS");
  QueryMode::doubleClick(m.q->treeViewClasse, m.ville());
  m.harness->interaction.chosenFiles = {folder + "/REQUETES/q.xml"};
  m.click(m.q->sbEnregistrer);
  EXPECT_TRUE(QFile::exists(folder + "/CONDITIONS/q.xml"));
  m.click(m.q->sbNew);
  EXPECT_EQ(m.obj(0, 2), "");
  m.click(m.q->sbOuvrir);  // cancelled: nothing changes
  EXPECT_EQ(m.obj(0, 2), "");
  m.harness->interaction.chosenFiles = {folder + "/REQUETES/q.xml"};
  m.click(m.q->sbOuvrir);
  EXPECT_EQ(m.obj(0, 2), "Ville");
  EXPECT_TRUE(m.q->sbExecute->isEnabled());
  EXPECT_EQ(m.harness->interaction.fileRequests.size(), 3);
}

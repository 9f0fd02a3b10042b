#include "builder/query_panel.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "builder/node_tree_widget.h"
#include "builder/query_grids.h"
#include "kernel/language.h"
#include "kernel/toolbar_widget.h"

namespace korvo::builder {

using namespace korvo::kernel;
namespace {

QVBoxLayout* tightColumn(QWidget* owner) {
  auto* layout = new QVBoxLayout(owner);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  return layout;
}

QTreeWidget* makeTree(const QString& name, QWidget* parent) {
  auto* tree = new NodeTreeWidget(parent);
  tree->setObjectName(name);
  tree->setHeaderHidden(true);
  tree->setColumnCount(1);
  return tree;
}

QTableWidget* makeGrid(const QString& name, QWidget* parent) {
  auto* grid = new QTableWidget(parent);
  grid->setObjectName(name);
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setDefaultSectionSize(22);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return grid;
}

void resetGrid(QTableWidget* grid, const QStringList& headers, const QList<int>& widths) {
  grid->clear();
  grid->setColumnCount(headers.size());
  grid->setRowCount(1);
  grid->setHorizontalHeaderLabels(headers);
  for (int c = 0; c < headers.size(); ++c) {
    grid->setColumnWidth(c, widths.value(c));
    grid->setItem(0, c, new QTableWidgetItem());
  }
}

QLabel* makeTitle(const QString& name, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  QFont f = label->font();
  f.setBold(true);
  label->setFont(f);
  label->setContentsMargins(6, 0, 6, 0);
  return label;
}

QPushButton* makeButton(const QString& name, QToolBar* bar) {
  auto* button = new QPushButton(bar);
  button->setObjectName(name);
  bar->addWidget(button);
  return button;
}

}  // namespace

QWidget* QueryPanel::makeLeftPanel(const QString& name, QWidget* content, QToolBar* bar) {
  auto* panel = new QWidget(panelObj);
  panel->setObjectName(name);
  auto* layout = tightColumn(panel);
  content->setParent(panel);
  bar->setParent(panel);
  layout->addWidget(content, 1);
  layout->addWidget(bar);
  return panel;
}

QueryPanel::QueryPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PanelRequete"));
  auto* layout = tightColumn(this);

  toolBar25 = makeToolBar(QStringLiteral("ToolBar25"), this);
  sbNew = addToolButton(toolBar25, QStringLiteral("SBNew"), QStringLiteral("new"));
  sbOuvrir = addToolButton(toolBar25, QStringLiteral("SBOuvrir"), QStringLiteral("open"));
  sbEnregistrer = addToolButton(toolBar25, QStringLiteral("SBEnregistrer"), QStringLiteral("save"));
  toolBar25->addSeparator();
  sbClasses = addToolButton(toolBar25, QStringLiteral("SBClasses"), QStringLiteral("classes"));
  sbExecute = addToolButton(toolBar25, QStringLiteral("SBExecute"), QStringLiteral("execute"));
  layout->addWidget(toolBar25);

  panelReq = new QWidget(this);
  panelReq->setObjectName(QStringLiteral("PanelReq"));
  auto* reqLayout = tightColumn(panelReq);
  splitter1 = new QSplitter(Qt::Horizontal, panelReq);
  splitter1->setObjectName(QStringLiteral("Splitter1"));
  splitter1->setChildrenCollapsible(false);
  reqLayout->addWidget(splitter1);
  layout->addWidget(panelReq, 1);

  // Left column.
  panelObj = new QWidget(splitter1);
  panelObj->setObjectName(QStringLiteral("PanelObj"));
  auto* objLayout = tightColumn(panelObj);
  toolBar3 = makeToolBar(QStringLiteral("ToolBar3"), panelObj);
  label1 = makeTitle(QStringLiteral("Label1"), toolBar3);
  toolBar3->addWidget(label1);
  objLayout->addWidget(toolBar3);

  treeViewClasse = makeTree(QStringLiteral("TreeViewClasse"), panelObj);
  toolBar9 = makeToolBar(QStringLiteral("ToolBar9"), panelObj);
  button1 = makeButton(QStringLiteral("Button1"), toolBar9);
  button2 = makeButton(QStringLiteral("Button2"), toolBar9);
  panelClasse = makeLeftPanel(QStringLiteral("PanelClasse"), treeViewClasse, toolBar9);

  listBoxValeur = new QListWidget(panelObj);
  listBoxValeur->setObjectName(QStringLiteral("ListBoxValeur"));
  toolBar8 = makeToolBar(QStringLiteral("ToolBar8"), panelObj);
  sbCloseList = addToolButton(toolBar8, QStringLiteral("SBCloseList"), QStringLiteral("close"));
  speedButton2 = addToolButton(toolBar8, QStringLiteral("SpeedButton2"), QStringLiteral("values"));
  btSelValeur = makeButton(QStringLiteral("BTSelValeur"), toolBar8);
  panelValeur = makeLeftPanel(QStringLiteral("PanelValeur"), listBoxValeur, toolBar8);

  treeViewOper = makeTree(QStringLiteral("TreeViewOper"), panelObj);
  toolBar11 = makeToolBar(QStringLiteral("ToolBar11"), panelObj);
  sbCloseOper = addToolButton(toolBar11, QStringLiteral("SBCloseOper"), QStringLiteral("close"));
  panelOper = makeLeftPanel(QStringLiteral("PanelOper"), treeViewOper, toolBar11);

  treeViewOperande = makeTree(QStringLiteral("TreeViewOperande"), panelObj);
  toolBar5 = makeToolBar(QStringLiteral("ToolBar5"), panelObj);
  sbCloseOperande =
      addToolButton(toolBar5, QStringLiteral("SBCloseOperande"), QStringLiteral("close"));
  panelOperande = makeLeftPanel(QStringLiteral("PanelOperande"), treeViewOperande, toolBar5);

  for (QWidget* panel : {panelClasse, panelValeur, panelOper, panelOperande})
    objLayout->addWidget(panel, 1);
  showLeftPanel(panelClasse);

  // Right column.
  panelSel = new QWidget(splitter1);
  panelSel->setObjectName(QStringLiteral("PanelSel"));
  auto* selLayout = tightColumn(panelSel);
  toolBar4 = makeToolBar(QStringLiteral("ToolBar4"), panelSel);
  label2 = makeTitle(QStringLiteral("Label2"), toolBar4);
  toolBar4->addWidget(label2);
  sbTruncObj = addToolButton(toolBar4, QStringLiteral("SBtruncObj"), QStringLiteral("clear_all"));
  sbAjouter = addToolButton(toolBar4, QStringLiteral("SBAjouter"), QStringLiteral("add"));
  sbSupprimer = addToolButton(toolBar4, QStringLiteral("SBSupprimer"), QStringLiteral("remove"));
  sbVersleBas = addToolButton(toolBar4, QStringLiteral("SBVersleBas"), QStringLiteral("down"));
  sbVersleHaut = addToolButton(toolBar4, QStringLiteral("SBVersleHaut"), QStringLiteral("up"));
  selLayout->addWidget(toolBar4);

  stringGridObj = makeGrid(QStringLiteral("StringGridObj"), panelSel);
  stringGridObj->setSelectionBehavior(QAbstractItemView::SelectRows);
  selLayout->addWidget(stringGridObj, 1);

  toolBar1 = makeToolBar(QStringLiteral("ToolBar1"), panelSel);
  label4 = makeTitle(QStringLiteral("Label4"), toolBar1);
  toolBar1->addWidget(label4);
  sbTruncCond = addToolButton(toolBar1, QStringLiteral("SBTruncCond"), QStringLiteral("clear_all"));
  sbAjouterCond = addToolButton(toolBar1, QStringLiteral("SBAjouterCond"), QStringLiteral("add"));
  sbSupprimerCond =
      addToolButton(toolBar1, QStringLiteral("SBSupprimerCond"), QStringLiteral("remove"));
  sbCVersLeBas = addToolButton(toolBar1, QStringLiteral("SBCVersLeBas"), QStringLiteral("down"));
  sbCVersLeHaut = addToolButton(toolBar1, QStringLiteral("SBCVersLeHaut"), QStringLiteral("up"));
  sbAjouterPar =
      addToolButton(toolBar1, QStringLiteral("SBAjouterPar"), QStringLiteral("paren_add"));
  sbSuppPar = addToolButton(toolBar1, QStringLiteral("SBSuppPar"), QStringLiteral("paren_remove"));
  sbAjouterLine =
      addToolButton(toolBar1, QStringLiteral("SBAjouterLine"), QStringLiteral("paren_line"));
  selLayout->addWidget(toolBar1);

  stringGridCond = makeGrid(QStringLiteral("StringGridCond"), panelSel);
  stringGridCond->setSelectionBehavior(QAbstractItemView::SelectItems);
  selLayout->addWidget(stringGridCond, 2);

  splitter1->addWidget(panelObj);
  splitter1->addWidget(panelSel);
  splitter1->setStretchFactor(0, 0);
  splitter1->setStretchFactor(1, 1);
  splitter1->setSizes({250, 1000});
}

void QueryPanel::showLeftPanel(QWidget* panel) {
  for (QWidget* p : {panelClasse, panelValeur, panelOper, panelOperande}) p->setVisible(p == panel);
}

}  // namespace korvo::builder

namespace korvo::builder {

void initObjectGrid(QTableWidget* grid, const TextTables& texts) {
  resetGrid(grid, objectGridHeaders(texts), objectGridWidths());
}

void initConditionGrid(QTableWidget* grid, const TextTables& texts) {
  resetGrid(grid, conditionGridHeaders(texts), conditionGridWidths());
}

}  // namespace korvo::builder

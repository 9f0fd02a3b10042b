#pragma once
// PanelRequete, the query mode: the query toolbar, then the left column
// (class tree, list of values, operator list, operand-type list, one shown at
// a time) beside the result-object grid and the condition grid.
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class QSplitter;
class QTableWidget;
class QToolBar;
class QToolButton;
class QTreeWidget;

namespace korvo::kernel {
struct TextTables;
}

namespace korvo::builder {

class QueryPanel : public QWidget {
  Q_OBJECT
 public:
  explicit QueryPanel(QWidget* parent = nullptr);

  // Shows one of the four left panels and hides the three others.
  void showLeftPanel(QWidget* panel);

  QToolBar* toolBar25;
  QToolButton* sbNew;
  QToolButton* sbOuvrir;
  QToolButton* sbEnregistrer;
  QToolButton* sbClasses;
  QToolButton* sbExecute;

  QWidget* panelReq;
  QSplitter* splitter1;
  QWidget* panelObj;
  QToolBar* toolBar3;
  QLabel* label1;

  QWidget* panelClasse;
  QTreeWidget* treeViewClasse;
  QToolBar* toolBar9;
  QPushButton* button1;
  QPushButton* button2;

  QWidget* panelValeur;
  QListWidget* listBoxValeur;
  QToolBar* toolBar8;
  QToolButton* sbCloseList;
  QToolButton* speedButton2;
  QPushButton* btSelValeur;

  QWidget* panelOper;
  QTreeWidget* treeViewOper;
  QToolBar* toolBar11;
  QToolButton* sbCloseOper;

  QWidget* panelOperande;
  QTreeWidget* treeViewOperande;
  QToolBar* toolBar5;
  QToolButton* sbCloseOperande;

  QWidget* panelSel;
  QToolBar* toolBar4;
  QLabel* label2;
  QToolButton* sbTruncObj;
  QToolButton* sbAjouter;
  QToolButton* sbSupprimer;
  QToolButton* sbVersleBas;
  QToolButton* sbVersleHaut;
  QTableWidget* stringGridObj;
  QToolBar* toolBar1;
  QLabel* label4;
  QToolButton* sbTruncCond;
  QToolButton* sbAjouterCond;
  QToolButton* sbSupprimerCond;
  QToolButton* sbCVersLeBas;
  QToolButton* sbCVersLeHaut;
  QToolButton* sbAjouterPar;
  QToolButton* sbSuppPar;
  QToolButton* sbAjouterLine;
  QTableWidget* stringGridCond;

 private:
  QWidget* makeLeftPanel(const QString& name, QWidget* content, QToolBar* bar);
};

using kernel::TextTables;

// The two query grids empty (one empty data row) with their headers and
// column widths. The header row of a string grid is the table's horizontal
// header; grid row 1 is table row 0.
void initObjectGrid(QTableWidget* grid, const TextTables& texts);
void initConditionGrid(QTableWidget* grid, const TextTables& texts);

}  // namespace korvo::builder

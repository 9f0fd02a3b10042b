#pragma once
// PanelResultat, the result mode: copy, spreadsheet and refresh buttons, the
// record navigator, the row-number strip and the result grid.
#include <QWidget>

class QTableView;
class QToolBar;
class QToolButton;

namespace korvo::kernel {
class NavigatorWidget;
}

namespace korvo::sqlgen {

using kernel::NavigatorWidget;

class ResultPanel : public QWidget {
  Q_OBJECT
 public:
  explicit ResultPanel(QWidget* parent = nullptr);

  QToolBar* toolBar2;
  QToolButton* sbCopier;
  QToolButton* sbExcel;
  QToolButton* sbRaf;
  QToolButton* sbBlanc;  // disabled spacer
  NavigatorWidget* dbNavigator1;
  QToolBar* toolBar10;  // the 40-pixel strip left of the grid
  QTableView* dbGridData;
};

}  // namespace korvo::sqlgen

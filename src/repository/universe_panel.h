#pragma once
// PanelUnivers, the universe mode: the import, export and drop buttons over
// the universe grid.
#include <QWidget>

class QTableWidget;
class QToolBar;
class QToolButton;

namespace korvo::repository {

class UniversePanel : public QWidget {
  Q_OBJECT
 public:
  explicit UniversePanel(QWidget* parent = nullptr);

  QToolBar* toolBar7;
  QToolButton* sbImporter;
  QToolButton* sbExporter;
  QToolButton* sbDropUnivers;
  QTableWidget* stringGridUniv;
};

// Init_StringGridUniv: the header row and one empty data row, six columns
// with their widths. The header row of a string grid is the table's
// horizontal header; grid row 1 is table row 0.
void initUniverseGrid(QTableWidget* grid, const QStringList& headers);

}  // namespace korvo::repository

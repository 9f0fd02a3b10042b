#include "repository/universe_panel.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "kernel/toolbar_widget.h"

namespace korvo::repository {

using namespace korvo::kernel;

UniversePanel::UniversePanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PanelUnivers"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  toolBar7 = makeToolBar(QStringLiteral("ToolBar7"), this);
  sbImporter = addToolButton(toolBar7, QStringLiteral("SBImporter"), QStringLiteral("import"));
  sbExporter = addToolButton(toolBar7, QStringLiteral("SBExporter"), QStringLiteral("export"));
  sbDropUnivers = addToolButton(toolBar7, QStringLiteral("SBdropUnivers"), QStringLiteral("drop"));
  layout->addWidget(toolBar7);

  stringGridUniv = new QTableWidget(this);
  stringGridUniv->setObjectName(QStringLiteral("StringGridUniv"));
  stringGridUniv->setSelectionBehavior(QAbstractItemView::SelectRows);
  stringGridUniv->setSelectionMode(QAbstractItemView::SingleSelection);
  stringGridUniv->setEditTriggers(QAbstractItemView::NoEditTriggers);
  stringGridUniv->verticalHeader()->hide();
  stringGridUniv->setAlternatingRowColors(true);
  stringGridUniv->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  layout->addWidget(stringGridUniv, 1);
}

void initUniverseGrid(QTableWidget* grid, const QStringList& headers) {
  static const int widths[] = {80, 300, 250, 250, 250, 1000};
  grid->clear();
  grid->setColumnCount(6);
  grid->setRowCount(1);
  grid->setHorizontalHeaderLabels(headers);
  for (int c = 0; c < 6; ++c) {
    grid->setColumnWidth(c, widths[c]);
    grid->setItem(0, c, new QTableWidgetItem());
  }
}

}  // namespace korvo::repository

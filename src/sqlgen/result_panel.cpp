#include "sqlgen/result_panel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "kernel/navigator_widget.h"
#include "kernel/toolbar_widget.h"

namespace korvo::sqlgen {

using namespace korvo::kernel;

ResultPanel::ResultPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PanelResultat"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  toolBar2 = makeToolBar(QStringLiteral("ToolBar2"), this);
  sbCopier = addToolButton(toolBar2, QStringLiteral("SBCopier"), QStringLiteral("copy"));
  sbExcel = addToolButton(toolBar2, QStringLiteral("SBExcel"), QStringLiteral("spreadsheet"));
  sbRaf = addToolButton(toolBar2, QStringLiteral("SBraf"), QStringLiteral("refresh"));
  sbBlanc = addToolButton(toolBar2, QStringLiteral("SBBlanc"), QString());
  sbBlanc->setEnabled(false);
  dbNavigator1 = new NavigatorWidget(toolBar2);
  toolBar2->addWidget(dbNavigator1);
  layout->addWidget(toolBar2);

  auto* body = new QHBoxLayout;
  body->setContentsMargins(0, 0, 0, 0);
  body->setSpacing(0);
  toolBar10 = makeToolBar(QStringLiteral("ToolBar10"), this);
  toolBar10->setOrientation(Qt::Vertical);
  toolBar10->setFixedWidth(40);
  body->addWidget(toolBar10);

  dbGridData = new QTableView(this);
  dbGridData->setObjectName(QStringLiteral("DBGridData"));
  dbGridData->setEditTriggers(QAbstractItemView::NoEditTriggers);
  dbGridData->setSelectionBehavior(QAbstractItemView::SelectRows);
  dbGridData->setAlternatingRowColors(true);
  dbGridData->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  dbGridData->verticalHeader()->hide();  // the row numbers belong to ToolBar10
  body->addWidget(dbGridData, 1);
  layout->addLayout(body, 1);
}

}  // namespace korvo::sqlgen

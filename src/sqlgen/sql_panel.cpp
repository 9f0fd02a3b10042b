#include "sqlgen/sql_panel.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "kernel/toolbar_widget.h"

namespace korvo::sqlgen {

using namespace korvo::kernel;
namespace {

QPlainTextEdit* makeMemo(const QString& name, QWidget* parent) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(name);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return memo;
}

}  // namespace

SqlPanel::SqlPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PanelSql"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  toolBar6 = makeToolBar(QStringLiteral("ToolBar6"), this);
  sbNewSql = addToolButton(toolBar6, QStringLiteral("SBNewSql"), QStringLiteral("new"));
  sbOpenSql = addToolButton(toolBar6, QStringLiteral("SBOpenSql"), QStringLiteral("open"));
  sbSaveSql = addToolButton(toolBar6, QStringLiteral("SBSaveSql"), QStringLiteral("save"));
  sbExecuteSql = addToolButton(toolBar6, QStringLiteral("SBExecuteSql"), QStringLiteral("execute"));
  sb2 = addToolButton(toolBar6, QStringLiteral("SB2"), QString());
  sb2->setEnabled(false);
  cbBloquerSql = new QCheckBox(toolBar6);
  cbBloquerSql->setObjectName(QStringLiteral("CBBloquerSql"));
  toolBar6->addWidget(cbBloquerSql);
  layout->addWidget(toolBar6);

  memoSql = makeMemo(QStringLiteral("MemoSql"), this);
  layout->addWidget(memoSql, 1);
  memo1 = makeMemo(QStringLiteral("Memo1"), this);
  memo2 = makeMemo(QStringLiteral("Memo2"), this);
  memo1->hide();
  memo2->hide();
}

}  // namespace korvo::sqlgen

#pragma once
// PanelSql, the editor mode: script commands, the "do not generate" box and
// the SQL memo. Memo1 and Memo2 are hidden holders of the stored procedure
// texts installed with a universe.
#include <QWidget>

class QCheckBox;
class QPlainTextEdit;
class QToolBar;
class QToolButton;

namespace korvo::sqlgen {

class SqlPanel : public QWidget {
  Q_OBJECT
 public:
  explicit SqlPanel(QWidget* parent = nullptr);

  QToolBar* toolBar6;
  QToolButton* sbNewSql;
  QToolButton* sbOpenSql;
  QToolButton* sbSaveSql;
  QToolButton* sbExecuteSql;
  QToolButton* sb2;  // disabled spacer
  QCheckBox* cbBloquerSql;
  QPlainTextEdit* memoSql;
  QPlainTextEdit* memo1;
  QPlainTextEdit* memo2;
};

}  // namespace korvo::sqlgen

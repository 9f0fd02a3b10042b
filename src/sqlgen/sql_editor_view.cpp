#include "sqlgen/sql_editor_view.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QToolButton>

#include "sqlgen/script_files.h"
#include "sqlgen/sql_panel.h"
#include "sqlgen/sql_tokens.h"

namespace korvo::sqlgen {

namespace {

class SqlHighlighter : public QSyntaxHighlighter {
 public:
  explicit SqlHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    formats_[int(SqlTokenKind::Keyword)].setForeground(QColor(0x1f, 0x3f, 0xa0));
    formats_[int(SqlTokenKind::Keyword)].setFontWeight(QFont::Bold);
    formats_[int(SqlTokenKind::String)].setForeground(QColor(0xa0, 0x20, 0x20));
    formats_[int(SqlTokenKind::Comment)].setForeground(QColor(0x70, 0x70, 0x70));
    formats_[int(SqlTokenKind::Comment)].setFontItalic(true);
    formats_[int(SqlTokenKind::Number)].setForeground(QColor(0x80, 0x30, 0x90));
    formats_[int(SqlTokenKind::PromptCall)].setForeground(QColor(0x10, 0x70, 0x30));
    formats_[int(SqlTokenKind::PromptCall)].setFontWeight(QFont::Bold);
  }

 protected:
  void highlightBlock(const QString& text) override {
    const int previous = previousBlockState();
    const SqlLineState start = previous < 0 ? SqlLineState::Normal : SqlLineState(previous);
    const SqlLineTokens line = tokenizeSqlLine(text, start);
    for (const SqlToken& token : line.tokens)
      setFormat(token.start, token.length, formats_[int(token.kind)]);
    setCurrentBlockState(int(line.endState));
  }

 private:
  QTextCharFormat formats_[5];
};

}  // namespace

SqlEditorView::SqlEditorView(SqlPanel& panel, const kernel::AppState& state,
                             kernel::Interaction& interaction,
                             std::function<void(const QString&)> showPosition, QObject* parent)
    : QObject(parent),
      panel_(panel),
      state_(state),
      interaction_(interaction),
      showPosition_(std::move(showPosition)) {
  highlighter_ = new SqlHighlighter(panel.memoSql->document());
  connect(panel.sbNewSql, &QToolButton::clicked, this, &SqlEditorView::newScript);
  connect(panel.sbOpenSql, &QToolButton::clicked, this, &SqlEditorView::openScript);
  connect(panel.sbSaveSql, &QToolButton::clicked, this, &SqlEditorView::saveScript);
  connect(panel.memoSql, &QPlainTextEdit::cursorPositionChanged, this, &SqlEditorView::cursorMoved);
}

SqlEditorView::~SqlEditorView() = default;

void SqlEditorView::newScript() { panel_.memoSql->clear(); }

void SqlEditorView::openScript() {
  const QString file = interaction_.chooseFile(false, scriptFolder(state_.programFolder), QString());
  if (file.isEmpty()) return;
  const ScriptRead read = readScript(file, state_.language);
  if (!read.ok) {
    interaction_.error(read.error);
    return;
  }
  panel_.memoSql->setPlainText(read.lines.join(QLatin1Char('\n')));
  currentScript_ = QDir(file).absolutePath();
}

void SqlEditorView::saveScript() {
  const QString file =
      interaction_.chooseFile(true, scriptFolder(state_.programFolder), currentScript_);
  if (file.isEmpty()) return;
  const QStringList lines = panel_.memoSql->toPlainText().split(QLatin1Char('\n'));
  const ScriptWrite written = writeScript(file, lines, state_.language);
  if (!written.ok) {
    interaction_.error(written.error);
    return;
  }
  currentScript_ = QDir(file).absolutePath();
}

void SqlEditorView::cursorMoved() {
  if (!showPosition_ || !panel_.memoSql->isVisible()) return;
  const QTextCursor cursor = panel_.memoSql->textCursor();
  const int line = cursor.blockNumber() + 1;
  const int column = cursor.positionInBlock() + 1;
  showPosition_((state_.language == QLatin1String("FR") ? QStringLiteral("Ligne %1, colonne %2")
                                                         : QStringLiteral("Line %1, column %2"))
                    .arg(line)
                    .arg(column));
}

}  // namespace korvo::sqlgen

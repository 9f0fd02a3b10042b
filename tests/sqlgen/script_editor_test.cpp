// The SQL editor: script files in code page 1252 with CR LF, the refusals that
// leave the memo or the file as they were, the colouring of each kind of token,
// and the commands of the editor panel.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>

#include "kernel/interaction.h"
#include "sqlgen/script_files.h"
#include "sqlgen/sql_editor_view.h"
#include "sqlgen/sql_panel.h"
#include "sqlgen/sql_tokens.h"

namespace korvo::sqlgen {
namespace {

QByteArray bytesOf(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(ScriptFiles, AccentsAndBlankLinesMakeTheRoundTripInCodePage1252) {
  QTemporaryDir dir;
  const QString path = dir.filePath("accents.sql");
  const QStringList lines = {"", "select ENAME \"Employé\"", "", "from KORVO_EMP where JOB = 'Vendeur à l''essai'"};
  ASSERT_TRUE(writeScript(path, lines, "FR").ok);
  const QByteArray bytes = bytesOf(path);
  EXPECT_TRUE(bytes.contains("Employ\xe9"));  // one byte for é
  EXPECT_TRUE(bytes.contains("\r\nfrom"));
  EXPECT_TRUE(bytes.endsWith("\r\n"));
  const ScriptRead read = readScript(path, "FR");
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.lines, lines);
  // A file of the Windows program with bare LF or CR line ends reads line by line too.
  QFile mixed(dir.filePath("mixed.sql"));
  ASSERT_TRUE(mixed.open(QIODevice::WriteOnly));
  mixed.write("select 1\nfrom dual\rwhere 1 = 1");
  mixed.close();
  EXPECT_EQ(readScript(mixed.fileName(), "AN").lines, QStringList({"select 1", "from dual", "where 1 = 1"}));
}

TEST(ScriptFiles, ACharacterTheCodePageLacksIsNamedWithItsLineAndNothingIsWritten) {
  QTemporaryDir dir;
  const QString path = dir.filePath("old.sql");
  ASSERT_TRUE(writeScript(path, {"select 1 from dual"}, "FR").ok);
  const ScriptWrite refused = writeScript(path, {"select 1", "from dual -- \u2192 \U0001F600"}, "AN");
  EXPECT_FALSE(refused.ok);
  EXPECT_TRUE(refused.error.contains("\u2192")) << refused.error.toStdString();
  EXPECT_TRUE(refused.error.contains("U+2192"));
  EXPECT_TRUE(refused.error.contains("line 2"));
  EXPECT_EQ(bytesOf(path), QByteArray("select 1 from dual\r\n"));
  // A character beyond 16 bits is named whole.
  const ScriptWrite emoji = writeScript(path, {"-- \U0001F600"}, "AN");
  EXPECT_TRUE(emoji.error.contains("U+1F600")) << emoji.error.toStdString();
  // A file that cannot be read says which and why.
  const ScriptRead missing = readScript(dir.filePath("none.sql"), "AN");
  EXPECT_FALSE(missing.ok);
  EXPECT_TRUE(missing.error.contains("none.sql"));
}

QList<SqlToken> tokens(const QString& line, SqlLineState state = SqlLineState::Normal) {
  return tokenizeSqlLine(line, state).tokens;
}

TEST(SqlTokens, EachKindIsFound) {
  using K = SqlTokenKind;
  const QString line =
      "select E.ENAME, 12.5e3 from T where X = 'it''s -- no comment' and Y = @Prompt('Dept?','N',,mono,free) -- end";
  const QList<SqlToken> found = tokens(line);
  QStringList seen;
  for (const SqlToken& t : found) seen << QString::number(int(t.kind)) + ":" + line.mid(t.start, t.length);
  EXPECT_EQ(seen, QStringList({"0:select", "3:12.5e3", "0:from", "0:where", "1:'it''s -- no comment'", "0:and",
                               "4:@Prompt('Dept?','N',,mono,free)", "2:-- end"}));
  // Words that look like keywords are not, after a dot, inside quotes or inside a name.
  EXPECT_TRUE(tokens("select T.FROM, \"ORDER\", SELECTED, X1").size() == 1);
  // Digits inside a name are no number.
  EXPECT_TRUE(tokens("T1 A2B").isEmpty());
  EXPECT_EQ(tokens("@variable('BOUSER')").value(0).kind, K::PromptCall);
}

TEST(SqlTokens, TheDialectsWordsAndFunctionsAreKeywords) {
  // the engine's own word lists and function table: what it parses is coloured
  for (const char* word : {"select", "ROWS", "partition", "sysdate", "nvl", "Row_Number", "listagg"})
    EXPECT_TRUE(isSqlKeyword(QString::fromLatin1(word))) << word;
  for (const char* word : {"EMP", "ENAME", "SELECTED"})
    EXPECT_FALSE(isSqlKeyword(QString::fromLatin1(word))) << word;
}

TEST(SqlTokens, CommentsAndStringsGoOnOverLines) {
  const SqlLineTokens opened = tokenizeSqlLine("select /* a long", SqlLineState::Normal);
  EXPECT_EQ(opened.endState, SqlLineState::InComment);
  const SqlLineTokens middle = tokenizeSqlLine("still a comment select", SqlLineState::InComment);
  EXPECT_EQ(middle.endState, SqlLineState::InComment);
  ASSERT_EQ(middle.tokens.size(), 1);
  const SqlLineTokens closed = tokenizeSqlLine("end */ from", SqlLineState::InComment);
  EXPECT_EQ(closed.endState, SqlLineState::Normal);
  EXPECT_EQ(closed.tokens.size(), 2);  // the comment's end, then the keyword
  EXPECT_EQ(tokenizeSqlLine("where A = 'two", SqlLineState::Normal).endState, SqlLineState::InString);
  EXPECT_EQ(tokenizeSqlLine("lines' and", SqlLineState::InString).tokens.size(), 2);
}

// Lets the test answer the open and save dialogs.
struct EditorFixture : ::testing::Test {
  QTemporaryDir dir;
  kernel::AppState state;
  kernel::RecordingInteraction interaction;
  SqlPanel panel;
  QString position;
  std::unique_ptr<SqlEditorView> view;

  void SetUp() override {
    state.programFolder = dir.path();
    QDir(dir.path()).mkdir("SCRIPTS");
    view = std::make_unique<SqlEditorView>(panel, state, interaction,
                                           [this](const QString& p) { position = p; });
  }
};

TEST_F(EditorFixture, OpenAndSaveGoThroughTheScriptFolderAndOfferTheCurrentScript) {
  const QString first = dir.filePath("SCRIPTS/first.sql");
  ASSERT_TRUE(writeScript(first, {"select 'é' from dual"}, "FR").ok);
  interaction.chosenFiles = {first};
  panel.sbOpenSql->click();
  EXPECT_EQ(panel.memoSql->toPlainText(), QString::fromUtf8("select 'é' from dual"));
  EXPECT_EQ(view->currentScript(), first);
  EXPECT_EQ(interaction.fileRequests.last(), "open|" + dir.filePath("SCRIPTS") + "/|");

  panel.memoSql->setPlainText("select 2 from dual\nwhere 1 = 1");
  interaction.chosenFiles = {first};
  panel.sbSaveSql->click();
  EXPECT_EQ(interaction.fileRequests.last(), "save|" + dir.filePath("SCRIPTS") + "/|" + first);
  EXPECT_EQ(bytesOf(first), QByteArray("select 2 from dual\r\nwhere 1 = 1\r\n"));

  // A cancelled dialog changes nothing; a failed open leaves the memo as it was.
  panel.sbOpenSql->click();
  interaction.chosenFiles = {dir.filePath("SCRIPTS/missing.sql")};
  panel.sbOpenSql->click();
  EXPECT_EQ(panel.memoSql->toPlainText(), "select 2 from dual\nwhere 1 = 1");
  ASSERT_EQ(interaction.errors.size(), 1);
  EXPECT_TRUE(interaction.errors[0].contains("missing.sql"));
  EXPECT_EQ(view->currentScript(), first);

  panel.sbNewSql->click();
  EXPECT_TRUE(panel.memoSql->toPlainText().isEmpty());
  EXPECT_EQ(view->currentScript(), first);
}

TEST_F(EditorFixture, TheMemoIsColouredAndTheCursorPositionShown) {
  panel.show();
  panel.memoSql->setPlainText("select 1\nfrom dual -- x");
  QTextBlock second = panel.memoSql->document()->findBlockByNumber(1);
  const QList<QTextLayout::FormatRange> formats = second.layout()->formats();
  ASSERT_EQ(formats.size(), 3);  // from, dual, the comment
  EXPECT_EQ(formats[0].start, 0);
  EXPECT_EQ(formats[0].length, 4);
  EXPECT_EQ(formats[0].format.fontWeight(), QFont::Bold);
  EXPECT_TRUE(formats[2].format.fontItalic());
  QTextCursor cursor = panel.memoSql->textCursor();
  cursor.setPosition(second.position() + 3);
  panel.memoSql->setTextCursor(cursor);
  EXPECT_EQ(position, "Ligne 2, colonne 4");
}

}  // namespace
}  // namespace korvo::sqlgen

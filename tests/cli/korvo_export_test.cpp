// `korvo export` run as a program: the demonstration BusinessObjects
// repository loaded with `korvo sql`, a universe exported and imported again,
// and the refusals that write nothing.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "korvo_program.h"
#include "support/test_paths.h"

namespace {

using korvo::testing::ProgramRun;

class KorvoExport : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    program_ = korvo::testing::korvoProgram();
    ASSERT_FALSE(program_.isEmpty()) << "build the korvo target first";
    const QString script = QDir(korvo::testing::sourceRoot()).filePath("data/bo_demo_repository.sql");
    const ProgramRun loaded = korvo({"sql", connect("bo"), "@" + script});
    ASSERT_EQ(loaded.status, 0) << loaded.err.toStdString();
  }
  QString connect(const QString& schema) const {
    return "scott/tiger@local:" + dir_.filePath("schemas-" + schema);
  }
  ProgramRun korvo(const QStringList& arguments) {
    return korvo::testing::runKorvo(program_, dir_.path(), arguments);
  }
  QStringList written(const QString& folder) const {
    return QDir(dir_.filePath(folder)).entryList(QDir::Files);
  }

  QTemporaryDir dir_;
  QString program_;
};

TEST_F(KorvoExport, ExportsAUniverseThatImportsAgain) {
  const ProgramRun exported = korvo({"export", "--lang", "AN", connect("bo"), "2", "OUT"});
  ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
  EXPECT_EQ(exported.out, "Universe exported....\n");
  EXPECT_TRUE(exported.err.contains("Do you want to encrypt the universe? No"));
  EXPECT_EQ(written("OUT").size(), 10);
  const ProgramRun imported = korvo({"import", connect("demo"), "OUT"});
  EXPECT_EQ(imported.status, 0) << imported.err.toStdString();
  const ProgramRun listed = korvo({"universes", connect("demo")});
  EXPECT_TRUE(listed.out.contains("Effectifs par ville")) << listed.out.toStdString();
}

TEST_F(KorvoExport, ScrambleAnswersTheQuestionYes) {
  const ProgramRun exported = korvo({"export", connect("bo"), "1", "--scramble"});
  ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
  EXPECT_EQ(written("UNIVERS").size(), 10);  // the default folder, created
  EXPECT_TRUE(exported.err.contains(" Yes\n"));
}

TEST_F(KorvoExport, RefusalsWriteNothing) {
  for (const QString& id : {QString("1 or 1=1"), QString("x"), QString("-1"), QString("99")}) {
    const ProgramRun refused = korvo({"export", connect("bo"), id, "OUT"});
    EXPECT_EQ(refused.status, 1) << id.toStdString();
    EXPECT_FALSE(refused.err.isEmpty()) << id.toStdString();
    EXPECT_TRUE(written("OUT").isEmpty()) << id.toStdString();
  }
  // A schema without the BusinessObjects repository: catalogue entry 18.
  const ProgramRun none = korvo({"export", "--lang", "AN", connect("empty"), "1", "OUT"});
  EXPECT_EQ(none.status, 1);
  EXPECT_TRUE(none.out.contains("BusinessObject repository not found...")) << none.out.toStdString();
  EXPECT_EQ(korvo({"export", connect("bo")}).status, 2);
}

}  // namespace

// `korvo tree` run as a program: the demonstration universe imported with
// `korvo import`, then printed node by node; the refusals and their statuses.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "korvo_program.h"
#include "support/test_paths.h"

namespace {

using korvo::testing::ProgramRun;

class KorvoTree : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    program_ = korvo::testing::korvoProgram();
    ASSERT_FALSE(program_.isEmpty()) << "build the korvo target first";
  }

  QString connect() const { return "scott/tiger@local:" + dir_.filePath("schemas"); }

  ProgramRun korvo(const QStringList& arguments) {
    return korvo::testing::runKorvo(program_, dir_.path(), arguments);
  }

  QTemporaryDir dir_;
  QString program_;
};

}  // namespace

TEST_F(KorvoTree, DemonstrationUniverseNodeByNode) {
  const QString folder = QDir(korvo::testing::sourceRoot()).filePath("data/UNIVERS");
  const ProgramRun imported = korvo({"import", connect(), folder});
  ASSERT_EQ(imported.status, 0) << imported.err.toStdString();

  const ProgramRun tree = korvo({"tree", connect()});
  ASSERT_EQ(tree.status, 0) << tree.err.toStdString();
  const QStringList lines = tree.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_GT(lines.size(), 20);
  EXPECT_EQ(lines[0], "DEPTH\tKIND\tID\tNAME");
  EXPECT_EQ(lines[1], "1\tclass\t\tDépartements");
  EXPECT_EQ(lines[2], "2\tdimension\t1\tNuméro de département");
  EXPECT_TRUE(lines.contains("2\tclass\t\tResponsable"));
  int measures = 0;
  for (const QString& line : lines) {
    EXPECT_EQ(line.count('\t'), 3) << line.toStdString();
    if (line.section('\t', 1, 1) == "measure") ++measures;
  }
  EXPECT_GT(measures, 0);
  // The language does not change names.
  EXPECT_EQ(korvo({"tree", "--lang", "AN", connect()}).out, tree.out);
}

TEST_F(KorvoTree, RefusalsAndUsage) {
  ProgramRun run = korvo({"tree", connect()});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("ORA-00942")) << run.err.toStdString();
  EXPECT_TRUE(run.out.isEmpty());

  // The repository tables without a universe row.
  korvo::testing::runKorvo(program_, dir_.path(), {"sql", connect(), "-"},
      "create table KORVO_UNIVERS (UN_IDUNIV NUMBER(10), UN_CRYPTAGE CHAR(1));\n"
      "create table KORVO_CLASS (CL_IDCLASS NUMBER(10), CL_IDPERE NUMBER(10), CL_NAME "
      "VARCHAR2(35), CL_HIDDEN VARCHAR2(1), CL_POSITION NUMBER(10));\n"
      "create table KORVO_OBJECT (OB_IDOBJ NUMBER(10), OB_NAME VARCHAR2(35), OB_IDCLASS "
      "NUMBER(10), OB_SELECT VARCHAR2(4000), OB_WHERE VARCHAR2(4000), OB_COMMENT "
      "VARCHAR2(255), OB_POSITION NUMBER(10), OB_PROP VARCHAR2(35), OB_HIDDEN VARCHAR2(1), "
      "OB_BASICDATE_ID NUMBER(10));\n");
  run = korvo({"tree", connect()});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.err.contains("KORVO_UNIVERS is empty")) << run.err.toStdString();

  // One node is one line whatever its name holds.
  korvo::testing::runKorvo(program_, dir_.path(), {"sql", connect(), "-"},
      "insert into KORVO_UNIVERS values (1, 'N');\n"
      "insert into KORVO_CLASS values (1, 0, 'Tab' || CHR(9) || 'and\\slash', 'N', 1);\n"
      "insert into KORVO_OBJECT values (5, 'Two' || CHR(10) || 'lines' || CHR(13), 1, "
      "'sum(X)', null, null, 1, 'Num,M', 'N', null);\n"
      "commit;\n");
  run = korvo({"tree", connect()});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(run.out,
            "DEPTH\tKIND\tID\tNAME\n1\tclass\t\tTab\\tand\\\\slash\n"
            "2\tmeasure\t5\tTwo\\nlines\\r\n");

  EXPECT_EQ(korvo({"tree"}).status, 2);
  EXPECT_EQ(korvo({"tree", "scott"}).status, 2);
  EXPECT_EQ(korvo({"tree", "--lang", "DE", connect()}).status, 2);
  const ProgramRun help = korvo({"tree", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE((help.out + help.err).contains("DEPTH"));
}

// The saved queries shipped in data/REQUETES run end to end through `korvo
// run` over the imported demonstration universe, with the rows the scott
// tables give.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "korvo_program.h"
#include "support/test_paths.h"

namespace {

using korvo::testing::ProgramRun;

class DemoQueries : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    program_ = korvo::testing::korvoProgram();
    ASSERT_FALSE(program_.isEmpty()) << "build the korvo target first";
    const ProgramRun imported =
        korvo({"import", connect(), QDir(data()).filePath("UNIVERS")});
    ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
  }
  static QString data() { return QDir(korvo::testing::sourceRoot()).filePath("data"); }
  QString connect() const { return "scott/tiger@local:" + dir_.filePath("schemas"); }
  ProgramRun korvo(const QStringList& arguments) {
    return korvo::testing::runKorvo(program_, dir_.path(), arguments);
  }
  // The rows of a shipped query, heading first, as `korvo run --yes` prints them.
  QStringList rows(const char* name, const QStringList& more = {}) {
    const QString file = QDir(data()).filePath(QStringLiteral("REQUETES/") +
                                                QString::fromUtf8(name) + ".xml");
    const ProgramRun run = korvo(QStringList({"run", connect(), file, "--yes"}) + more);
    EXPECT_EQ(run.status, 0) << name << ": " << run.err.toStdString();
    return run.out.split('\n', Qt::SkipEmptyParts);
  }

  QTemporaryDir dir_;
  QString program_;
};

TEST_F(DemoQueries, EachShippedQueryGivesItsRows) {
  EXPECT_EQ(rows("Masse salariale par département"),
            QStringList({QString::fromUtf8("Département\tMasse salariale\tEffectif"),
                         "ACCOUNTING\t8750\t3", "RESEARCH\t10875\t5", "SALES\t9400\t6"}));
  // A measure compared in HAVING.
  EXPECT_EQ(rows("Départements de plus de quatre employés"),
            QStringList({QString::fromUtf8("Département\tEffectif"), "RESEARCH\t5",
                         "SALES\t6"}));
  // (SALESMAN or ANALYST) and a salary above 1500.
  QStringList group = rows("Vendeurs et analystes payés plus de 1500");
  ASSERT_FALSE(group.isEmpty());
  group.removeFirst();
  group.sort();
  EXPECT_EQ(group, QStringList({"ALLEN\tSALESMAN\t1600", "FORD\tANALYST\t3000",
                                "SCOTT\tANALYST\t3000"}));
  // An object compared with another object.
  EXPECT_EQ(rows("Commission au-dessus du salaire"),
            QStringList({QString::fromUtf8("Employé\tSalaire\tCommission"), "MARTIN\t1250\t1400"}));
  // A condition prompt under "Dans liste", answered with a list.
  EXPECT_EQ(rows("Employés des fonctions choisies", {"--prompt", "Fonction=('PRESIDENT','ANALYST')"}),
            QStringList({QString::fromUtf8("Employé\tFonction\tSalaire"), "SCOTT\tANALYST\t3000",
                         "KING\tPRESIDENT\t5000", "FORD\tANALYST\t3000"}));
}

TEST_F(DemoQueries, PromptsAreListedAndAnsweredOnTheCommandLine) {
  const QString file = QDir(data()).filePath(
      QString::fromUtf8("REQUETES/Employés des fonctions choisies.xml"));
  ProgramRun run = korvo({"prompts", connect(), file});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(run.out, QString::fromUtf8("condition\tFonction\tDans liste\n"));

  run = korvo({"generate", connect(), file});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(run.out.isEmpty());
  EXPECT_TRUE(run.err.contains("the prompt \"Fonction\" has no answer")) << run.err.toStdString();

  run = korvo({"generate", connect(), file, "--prompt", "Fonction=('CLERK','MANAGER')"});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_TRUE(run.out.contains("KORVO_EMP.JOB IN ('CLERK','MANAGER')")) << run.out.toStdString();

  // A query without prompts lists none.
  run = korvo({"prompts", connect(),
               QDir(data()).filePath(QString::fromUtf8("REQUETES/Masse salariale par département.xml"))});
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.out.isEmpty());
}

}  // namespace

// The checks on the road from the run command to an opened statement: the
// condition grid's syntax, the prompt refusal, the launch rules and the cost
// estimate, first against a recording connection (the exact conversation),
// then on the embedded engine over the imported demonstration universe.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "builder/workspace.h"
#include "qt_print.h"
#include "repository/recording_connection.h"
#include "repository/universe_import.h"
#include "repository/universe_list.h"
#include "session/plan_table.h"
#include "sqlgen/condition_check.h"
#include "sqlgen/cost_estimate.h"
#include "sqlgen/prompts.h"
#include "sqlgen/query_launch.h"
#include "support/demo_universe.h"
#include "sqlgen/query_run.h"
#include "support/test_paths.h"

using namespace korvo;
using repository::fakes::PreparedAnswer;
using repository::fakes::RecordingConnection;
using sqlgen::conditionSyntaxFaults;

namespace {

// Condition rows: id, ")", connector, "(", object, operator, "?", operand.
kernel::Grid conditionGrid(const QList<QStringList>& rows) {
  kernel::Grid grid = kernel::Grid::withHeaders(
      {"Id", ")", "Op", "(", "Objet", "Opérateur", "?", "Opérande", "Type", "M"}, 0);
  for (QStringList row : rows) {
    while (row.size() < 8) row << "";
    grid.appendRow(row + QStringList{"Char", "0"});
  }
  return grid;
}

// The plan table's answer to the cost question: one row holding `cost`, or none.
PreparedAnswer costAnswer(std::optional<QVariant> cost) {
  PreparedAnswer answer;
  answer.sqlPart = "plan_table";
  db::ColumnInfo column;
  column.name = "COST";
  answer.columns = {column};
  if (cost) answer.rows = {db::Row{*cost}};
  return answer;
}

QString fault(const kernel::TextTables& texts, const QString& id) {
  return texts.messages[42] + id + ")";
}

}  // namespace

TEST(ConditionCheck, ParenthesesCountOverTheWholeGrid) {
  for (const kernel::TextTables* texts : {&kernel::frenchTexts(), &kernel::englishTexts()}) {
    const QString equal = texts->operatorLabels[1];
    // Unbalanced: entry 26 alone, even over rows that break other rules.
    EXPECT_EQ(
        conditionSyntaxFaults(conditionGrid({{"6", "", "ET", "((", "Fonction", equal}}), *texts),
        QStringList{texts->messages[26]});
    // Only the total counts: ")(" on one row passes.
    EXPECT_TRUE(conditionSyntaxFaults(
                    conditionGrid({{"6", ")", "ET", "(", "Fonction", equal, "", "x"}}), *texts)
                    .isEmpty());
    EXPECT_TRUE(
        conditionSyntaxFaults(
            conditionGrid({{"6", "", "ET", "(", "Fonction", equal, "", "x"}, {"", ")"}}), *texts)
            .isEmpty());
  }
  EXPECT_EQ(kernel::englishTexts().messages[26], "Invalide Syntaxe, check parentheses...");
}

TEST(ConditionCheck, EveryRuleInBothLanguages) {
  for (const kernel::TextTables* t : {&kernel::frenchTexts(), &kernel::englishTexts()}) {
    const QStringList& op = t->operatorLabels;
    const auto faults = [&](const QList<QStringList>& rows) {
      return conditionSyntaxFaults(conditionGrid(rows), *t);
    };
    // Null tests take no operand.
    EXPECT_EQ(faults({{"8", "", "ET", "", "Commission", op[11], "", "0"}}),
              QStringList{fault(*t, "8")});
    EXPECT_EQ(faults({{"8", "", "ET", "", "Commission", op[12], "", "0"}}),
              QStringList{fault(*t, "8")});
    EXPECT_TRUE(faults({{"8", "", "ET", "", "Commission", op[12]}}).isEmpty());

    // A comparison without operand takes a bare object from the next row ...
    EXPECT_TRUE(
        faults({{"7", "", "ET", "", "Salaire", op[4]}, {"18", "", "", "", "Plancher"}}).isEmpty());
    // Any of columns 1, 2, 3, 5 and 7 filled on that row breaks the rule.
    const QStringList filled = {")(", "ET", "()", "", op[11], "", "800"};
    for (int column : {1, 2, 3, 5, 7}) {
      QStringList next = {"18", "", "", "", "Plancher", "", "", ""};
      next[column] = filled[column - 1];
      EXPECT_EQ(faults({{"7", "", "ET", "", "Salaire", op[4]}, next}), QStringList{fault(*t, "7")})
          << column;
    }
    EXPECT_EQ(faults({{"7", "", "ET", "", "Salaire", op[1]}}), QStringList{fault(*t, "7")});
    EXPECT_EQ(faults({{"7", "", "ET", "", "Salaire", op[6]}, {"", "", "", "", "Plancher"}}),
              QStringList{fault(*t, "7")});
    // ... unless the operand is asked for at run time.
    EXPECT_TRUE(faults({{"7", "", "ET", "", "Salaire", op[1], "?"}}).isEmpty());
    // A range takes any object from the next row.
    EXPECT_EQ(faults({{"7", "", "ET", "", "Salaire", op[7]}}), QStringList{fault(*t, "7")});
    EXPECT_TRUE(faults({{"7", "", "ET", "", "Salaire", op[8]},
                        {"18", "", "ET", "", "Plancher", op[1], "", "1"}})
                    .isEmpty());
    // Other operators pass that rule.
    EXPECT_TRUE(faults({{"6", "", "ET", "", "Fonction", op[13]}}).isEmpty());

    // A row without connector may not follow a list, null or pattern test.
    for (int previous : {9, 10, 11, 12, 13, 14}) {
      EXPECT_EQ(faults({{"6", "", "ET", "", "Fonction", op[previous]},
                        {"7", "", "", "", "Salaire", op[1], "", "1"}}),
                QStringList{fault(*t, "7")})
          << previous;
    }
    // The first row continues the header, which passes; a comparison passes.
    EXPECT_TRUE(faults({{"6", "", "", "", "Fonction", op[1], "", "x"}}).isEmpty());

    // Every row and every rule: one message each, in order; rows without id are skipped.
    EXPECT_EQ(faults({{"6", "", "ET", "", "Fonction", op[9], "", "x"},
                      {"8", "", "", "", "Commission", op[11], "", "0"},
                      {"", "", "", "", "", op[11], "", "0"},
                      {"7", "", "ET", "", "Salaire", op[7]}}),
              QStringList({fault(*t, "8"), fault(*t, "8"), fault(*t, "7")}));
  }
  EXPECT_EQ(fault(kernel::frenchTexts(), "40"), "Syntaxe invalide, Vérifiez la condition (id=40)");
  // The words of the other language are not operators.
  EXPECT_TRUE(
      conditionSyntaxFaults(conditionGrid({{"8", "", "ET", "", "Commission", "Is null", "", "0"}}),
                            kernel::frenchTexts())
          .isEmpty());
}

TEST(Prompts, CollectedInTheDialogsOrderEachQuestionOnce) {
  builder::Catalogue catalogue;
  const auto object = [&](const char* id, const char* select, const char* where) {
    builder::CatalogueRow row;
    row.OB_IDOBJ = id;
    row.OB_SELECT = select;
    row.OB_WHERE = where;
    catalogue.append(row);
  };
  object("1", "EMP.ENAME", "");
  object("2", "nvl(EMP.SAL, @variable('BOUSER'))", "EMP.JOB = @Prompt('Job?','A',,mono,free)");
  object("3", "EMP.JOB", "EMP.JOB in @PROMPT ('job?', 'A', lov(x), multi)  and 1=1");
  object("4", "EMP.JOB", "EMP.JOB = @Prompt('never closed'");
  object("5", "EMP.DEPTNO", "EMP.DEPTNO = @Prompt('Dept?','N',,mono,free)");
  kernel::Grid objects = kernel::Grid::withHeaders({"Id", "M", "Name", "Type"}, 0);
  objects.appendRow({"2", "0", "", ""});
  objects.appendRow({"3", "0", "", ""});
  // Two condition prompts on one object, and an object used only in a condition.
  kernel::Grid conditions =
      conditionGrid({{"7", "", "ET", "", "Salaire", "Egal à", "?"},
                     {"7", "", "ET", "", "Salaire", "Dans liste", "?", "(1,2)"},
                     {"5", "", "ET", "", "Dept", "Renseigné", ""}});
  const sqlgen::PromptCollection c = sqlgen::collectPrompts(objects, conditions, catalogue);
  ASSERT_TRUE(c.error.isEmpty()) << c.error.call.toStdString();
  QStringList labels;
  for (const sqlgen::PromptRequest& p : c.prompts) labels << p.label;
  EXPECT_EQ(labels, QStringList({"Salaire", "Salaire", "Job?", "Dept?", "BOUSER"}));
  EXPECT_EQ(c.prompts[1].operatorLabel, QString::fromUtf8("Dans liste"));
  EXPECT_EQ(c.prompts[1].answer, "(1,2)");
  EXPECT_TRUE(c.prompts[3].numeric);
  EXPECT_EQ(c.prompts[4].kind, sqlgen::PromptRequest::Variable);

  objects.appendRow({"4", "0", "", ""});
  const sqlgen::PromptCollection broken = sqlgen::collectPrompts(objects, conditions, catalogue);
  EXPECT_TRUE(broken.prompts.isEmpty());
  EXPECT_EQ(broken.error.kind, sqlgen::PromptFault::Malformed);
  EXPECT_TRUE(broken.error.call.startsWith("@Prompt('never closed'")) << broken.error.call.toStdString();
  EXPECT_TRUE(sqlgen::promptFaultMessage("FR", broken.error)
                  .startsWith(QString::fromUtf8("Appel mal formé, rien n'a été exécuté : @Prompt(")));
  EXPECT_TRUE(sqlgen::promptFaultMessage("AN", broken.error)
                  .startsWith("Malformed call, nothing was run: @Prompt("));
}

TEST(Prompts, CallsAreReplacedByTheirAnswersInOnePass) {
  sqlgen::PromptList answers;
  sqlgen::PromptRequest dept;
  dept.kind = sqlgen::PromptRequest::ObjectPrompt;
  dept.label = "Dept?";
  dept.answer = "10";
  sqlgen::PromptRequest name = dept;
  name.label = "Name?";
  name.answer = "O'Neil";
  sqlgen::PromptRequest region = dept;
  region.kind = sqlgen::PromptRequest::Variable;
  region.label = "Region";
  region.answer = "@Prompt('Dept?','N',,mono,free)";  // an answer is never read as a call
  answers << dept << name << region;
  const QString text =
      "where D = @Prompt('Dept?','N',,mono,free) and N = @prompt('NAME?','A',,mono,free)\n"
      " and E = @Prompt('Dept?','N',,mono,free) and R = @Variable('Region')";
  const sqlgen::Replacement r = sqlgen::replacePromptCalls(text, answers);
  ASSERT_TRUE(r.error.isEmpty()) << r.error.call.toStdString();
  EXPECT_EQ(r.text, "where D = 10 and N = 'O''Neil'\n and E = 10 and R = "
                    "'@Prompt(''Dept?'',''N'',,mono,free)'");

  // Calls the last answers do not know are the ones to ask; a malformed call stops.
  const sqlgen::PromptCollection missing =
      sqlgen::unansweredCalls(text + " and @Variable('BOUSER')", answers);
  ASSERT_EQ(missing.prompts.size(), 1);
  EXPECT_EQ(missing.prompts[0].label, "BOUSER");
  const sqlgen::Replacement unknown = sqlgen::replacePromptCalls("x = @Variable('BOUSER')", answers);
  EXPECT_EQ(unknown.error.kind, sqlgen::PromptFault::NoAnswer);
  EXPECT_EQ(unknown.error.call, "@Variable('BOUSER')");
  EXPECT_TRUE(unknown.text.isEmpty());
  EXPECT_EQ(sqlgen::replacePromptCalls("x = @Variable('open", answers).error.kind,
            sqlgen::PromptFault::Malformed);
  EXPECT_EQ(sqlgen::replacePromptCalls("no calls", {}).text, "no calls");

  EXPECT_TRUE(sqlgen::unansweredPromptMessage("AN", "Salaire")
                  .startsWith("This query asks for values at run time (Salaire): "));
}

TEST(LaunchRules, FirstWordMustBeSelect) {
  for (const char* text :
       {"select * from dual", " \t\r\n SELECT\n*\nfrom dual", "Select", "SeLeCt\t1"})
    EXPECT_TRUE(sqlgen::isSelectStatement(text)) << text;
  for (const char* text : {"(select 1 from dual)", "with x as (select 1 from dual) select * from x",
                           "SELECT*FROM DUAL", "selected", "", "  ", "delete from emp"})
    EXPECT_FALSE(sqlgen::isSelectStatement(text)) << text;
}

TEST(CostEstimate, ConversationWithThePlanTable) {
  EXPECT_EQ(sqlgen::planStatementId("0A1B"), "P.0A1B");
  EXPECT_EQ(sqlgen::planStatements("0A1B", "select 1 from dual"),
            QStringList(
                {"delete from PLAN_TABLE where STATEMENT_ID='P.0A1B'", "commit",
                 "EXPLAIN PLAN SET STATEMENT_ID='P.0A1B' INTO plan_table FOR select 1 from dual"}));
  EXPECT_EQ(sqlgen::planCostQuery("0A1B"),
            "select  COST  from plan_table  where id = 0 and statement_id = 'P.0A1B'");

  RecordingConnection db;
  EXPECT_EQ(sqlgen::estimateCost(db, false, "0A1B", "select 1 from dual"), 0);
  EXPECT_TRUE(db.log.isEmpty());

  db.answers = {costAnswer(QVariant(qlonglong(42)))};
  EXPECT_EQ(sqlgen::estimateCost(db, true, "0A1B", "select 1 from dual"), 42);
  EXPECT_EQ(db.log, sqlgen::planStatements("0A1B", "select 1 from dual") +
                        QStringList{sqlgen::planCostQuery("0A1B")});
  db.answers = {costAnswer(QVariant())};
  EXPECT_EQ(sqlgen::estimateCost(db, true, "X", "select 1 from dual"), 0);
  db.answers = {costAnswer(std::nullopt)};
  EXPECT_EQ(sqlgen::estimateCost(db, true, "X", "select 1 from dual"), 0);
  db.failures = {{"EXPLAIN", "ORA-00942: table or view does not exist"}};
  EXPECT_THROW(sqlgen::estimateCost(db, true, "X", "select 1 from nosuch"), db::DbError);
}

TEST(LaunchRules, RefusalsQuestionAndErrors) {
  for (const kernel::TextTables* t : {&kernel::frenchTexts(), &kernel::englishTexts()}) {
    RecordingConnection db;
    db.answers = {costAnswer(QVariant(qlonglong(7)))};
    kernel::AppState state;
    state.planTablePresent = true;
    state.workstationId = "W1";
    kernel::RecordingInteraction ui;
    const auto check = [&](const QString& text, bool cartesian, bool bloquer) {
      return sqlgen::checkLaunch(text, cartesian, bloquer, db, state, *t, ui);
    };

    EXPECT_EQ(check("update emp set sal = 0", false, false).outcome,
              sqlgen::LaunchOutcome::NotSelect);
    EXPECT_EQ(check("select * from emp, dept", true, false).outcome,
              sqlgen::LaunchOutcome::Cartesian);
    EXPECT_EQ(ui.informed, QStringList({t->messages[27], t->messages[41]}));
    EXPECT_TRUE(db.log.isEmpty());

    // The user's own text is run without the Cartesian test; 7 > 0 asks.
    ui.answers = {true, false};
    sqlgen::LaunchCheck c = check("select * from emp, dept", true, true);
    EXPECT_EQ(c.outcome, sqlgen::LaunchOutcome::Go);
    EXPECT_TRUE(c.asked);
    EXPECT_EQ(c.cost, 7);
    EXPECT_EQ(ui.asked, QStringList{t->messages[45] + "7" + t->messages[46]});
    EXPECT_EQ(check("select 1 from dual", false, false).outcome,
              sqlgen::LaunchOutcome::CostDeclined);

    // A cost equal to the threshold is not asked about; without plan table nothing is sent.
    state.costThreshold = 7;
    c = check("select 1 from dual", false, false);
    EXPECT_EQ(c.outcome, sqlgen::LaunchOutcome::Go);
    EXPECT_FALSE(c.asked);
    state.costThreshold = 0;
    state.planTablePresent = false;
    db.log.clear();
    EXPECT_EQ(check("select 1 from dual", false, false).outcome, sqlgen::LaunchOutcome::Go);
    EXPECT_TRUE(db.log.isEmpty());
    EXPECT_EQ(ui.asked.size(), 2);

    state.planTablePresent = true;
    db.failures = {{"EXPLAIN", "ORA-00904: \"NOSUCH\": invalid identifier"}};
    c = check("select nosuch from dual", false, false);
    EXPECT_EQ(c.outcome, sqlgen::LaunchOutcome::DatabaseError);
    EXPECT_EQ(ui.errors, QStringList{"ORA-00904: \"NOSUCH\": invalid identifier"});
  }
  EXPECT_EQ(kernel::englishTexts().messages[45] + "12" + kernel::englishTexts().messages[46],
            "The query cost is estimated at: 12, want to continue?");
}

namespace {

class DemoRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    demo_ = new korvo::testing::DemoUniverse;
    app_ = &demo_->app;
    connection_ = demo_->connection.get();
    interaction_ = &demo_->interaction;
    workspace_ = demo_->workspace.get();
    imported_ = demo_->imported;
    session::InitPlanTable(*connection_, *app_);
  }
  static void TearDownTestSuite() { delete demo_; }
  void SetUp() override {
    ASSERT_TRUE(imported_) << interaction_->errors.join(" | ").toStdString();
    ASSERT_TRUE(app_->planTablePresent);
    *interaction_ = kernel::RecordingInteraction();
    app_->language = "FR";
    app_->costThreshold = 1000000;
    app_->workstationId = "0011223344AA";
  }
  std::optional<QString> execute(bool builderShown, bool bloquer = false) {
    return sqlgen::procExecuter(*workspace_, run_, builderShown, bloquer, memo_);
  }
  static QString single(const QString& sql) {
    auto cursor = connection_->query(sql);
    QList<db::Row> rows;
    cursor->fetch(rows, 1);
    return rows.isEmpty() ? QString() : connection_->display(rows.first().value(0));
  }

  sqlgen::RunState run_;
  QStringList memo_;
  static inline korvo::testing::DemoUniverse* demo_ = nullptr;
  static inline kernel::AppState* app_ = nullptr;
  static inline db::Connection* connection_ = nullptr;
  static inline kernel::RecordingInteraction* interaction_ = nullptr;
  static inline builder::Workspace* workspace_ = nullptr;
  static inline bool imported_ = false;
};

}  // namespace

TEST_F(DemoRun, GeneratedQueryIsEstimatedAndGiven) {
  workspace_->grids().replaceObjects(
      {{"2", "0", "Department", "Char"}, {"20", "1", "Total", "Num"}});
  workspace_->grids().replaceConditions(
      {{"6", "", "ET", "", "Fonction", "Egal à", "", "clerk", "Char", "0"}});
  std::optional<QString> statement = execute(true);
  ASSERT_TRUE(statement) << interaction_->informed.join(" | ").toStdString()
                         << interaction_->errors.join(" | ").toStdString();
  EXPECT_EQ(*statement, memo_.join('\n'));
  EXPECT_EQ(memo_.first(), "Select distinct ");
  EXPECT_TRUE(statement->contains("KORVO_EMP.JOB = 'CLERK'"));
  EXPECT_FALSE(run_.cartesian);
  const int cost =
      single("select COST from PLAN_TABLE where ID = 0 and STATEMENT_ID = 'P.0011223344AA'")
          .toInt();
  EXPECT_GT(cost, 0);

  // Above the threshold the question comes; No stops the run.
  app_->costThreshold = cost - 1;
  interaction_->answers = {false};
  EXPECT_FALSE(execute(true));
  EXPECT_EQ(interaction_->asked,
            QStringList{kernel::frenchTexts().messages[45] + QString::number(cost) +
                        kernel::frenchTexts().messages[46]});
}

TEST_F(DemoRun, RefusalsBeforeGeneration) {
  memo_ = QStringList{"kept"};
  workspace_->grids().replaceObjects(
      {{"5", "0", "Employé", "Char"}, {"9", "0", "Par fonction", "Char"}});
  workspace_->grids().replaceConditions({});
  EXPECT_FALSE(execute(true));
  EXPECT_EQ(interaction_->informed,
            QStringList{sqlgen::unansweredPromptMessage("FR", "Quelle fonction ?")});

  app_->language = "AN";
  workspace_->grids().replaceObjects({{"5", "0", "Employee", "Char"}});
  workspace_->grids().replaceConditions(
      {{"7", "", "AND", "", "Salary", "Greater than", "?", "", "Num", "0"}});
  EXPECT_FALSE(execute(true));
  EXPECT_EQ(interaction_->informed.last(), sqlgen::unansweredPromptMessage("AN", "Salary"));

  workspace_->grids().replaceConditions(
      {{"8", "", "AND", "", "Commission", "Is null", "", "0", "Num", "0"}});
  EXPECT_FALSE(execute(true));
  EXPECT_EQ(interaction_->informed.last(), "Invalide Syntaxe, check condition (id=8)");

  workspace_->grids().replaceObjects({});
  workspace_->grids().replaceConditions({});
  EXPECT_FALSE(execute(true));
  EXPECT_TRUE(interaction_->informed.last().contains("no result object: nothing was run"));
  EXPECT_EQ(memo_, QStringList{"kept"});
  EXPECT_TRUE(interaction_->errors.isEmpty());
}

TEST_F(DemoRun, MemoRunsAsItStands) {
  memo_ = QStringList{"  select ENAME", "from KORVO_EMP, KORVO_DEPT"};
  run_.cartesian = true;  // the last generation's flag
  EXPECT_FALSE(execute(false));
  EXPECT_EQ(interaction_->informed, QStringList{kernel::frenchTexts().messages[41]});
  EXPECT_EQ(execute(false, true), memo_.join('\n'));

  memo_ = QStringList{"delete from KORVO_EMP"};
  EXPECT_FALSE(execute(false, true));
  EXPECT_EQ(interaction_->informed.last(), kernel::frenchTexts().messages[27]);
  EXPECT_EQ(single("select count(*) from KORVO_EMP"), "14");

  memo_ = QStringList{"select NOSUCH from KORVO_EMP"};
  EXPECT_FALSE(execute(false, true));
  ASSERT_EQ(interaction_->errors.size(), 1);
  EXPECT_TRUE(interaction_->errors.first().contains("ORA-00904"))
      << interaction_->errors.first().toStdString();
}

TEST_F(DemoRun, WorkstationsKeepTheirOwnPlanRows) {
  const QString sql = "select ENAME from KORVO_EMP where SAL > 1000";
  const int a = sqlgen::estimateCost(*connection_, true, "AAAA", sql);
  const int b = sqlgen::estimateCost(*connection_, true, "BBBB", sql + " order by ENAME");
  EXPECT_GT(a, 0);
  EXPECT_GT(b, 0);
  const QString rowsOf = "select count(*) from PLAN_TABLE where STATEMENT_ID = '%1'";
  const QString rowsA = single(rowsOf.arg("P.AAAA"));
  EXPECT_NE(rowsA, "0");
  EXPECT_NE(single(rowsOf.arg("P.BBBB")), "0");
  // Estimating again replaces only that workstation's rows.
  EXPECT_EQ(sqlgen::estimateCost(*connection_, true, "AAAA", sql), a);
  EXPECT_EQ(single(rowsOf.arg("P.AAAA")), rowsA);
  EXPECT_EQ(single(rowsOf.arg("P.BBBB") + " and ID = 0"), "1");
}

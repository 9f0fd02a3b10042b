#pragma once
// The values a query asks for at run time: condition rows marked "?", and the
// @Prompt('question','type',...) and @Variable('name') calls a universe
// designer wrote into object definitions. They are collected in the order the
// prompt dialog shows them, answered, and the calls replaced in the statement.
#include <QList>
#include <QString>
#include <optional>

#include "builder/catalogue.h"
#include "kernel/grid.h"

namespace korvo::sqlgen {

struct PromptRequest {
  enum Kind { Condition, ObjectPrompt, Variable };
  Kind kind = Condition;
  QString label;          // what the dialog shows: object name, question or variable name
  bool numeric = false;   // a prompt whose type holds 'N': its answer goes in unquoted
  int conditionRow = 0;   // Condition: the row of the condition grid
  QString operatorLabel;  // Condition: the row's operator
  QString objectId;       // the condition's object, or the object whose definition holds the call
  QString answer;
};
using PromptList = QList<PromptRequest>;

// Why calls could not be read or replaced: the call is quoted (its first 80
// characters) so that the message shows the user what to mend.
struct PromptFault {
  enum Kind { None, Malformed, NoAnswer };
  Kind kind = None;
  QString call;
  bool isEmpty() const { return kind == None; }
};

// The message of a fault: French for "FR", English otherwise.
QString promptFaultMessage(const QString& language, const PromptFault& fault);

// One call found in a text.
struct PromptCall {
  PromptRequest::Kind kind = PromptRequest::ObjectPrompt;
  qsizetype start = 0;  // of the "@"
  qsizetype end = 0;    // one past the closing ")"
  QString question;     // the question, or the variable's name
  bool numeric = false;
};

// The calls of `text` in order. A call without its closing quote, the comma
// after its type or its closing parenthesis gives the error (quoting the
// call) instead.
struct PromptScan {
  QList<PromptCall> calls;
  PromptFault error;
};
PromptScan scanPromptCalls(const QString& text);

// The dialog's prompts: condition rows whose column 6 is "?" (each its own
// prompt, also when two are on one object), then the prompts of the objects'
// definitions, then their variables (result objects first, then the objects
// used only in conditions); one question is asked once. `error` names a
// malformed call.
struct PromptCollection {
  PromptList prompts;
  PromptFault error;
};
PromptCollection collectPrompts(const kernel::Grid& objects, const kernel::Grid& conditions,
                                const builder::Catalogue& catalogue);

// The calls of `text` whose question `known` does not answer, as prompts to ask.
PromptCollection unansweredCalls(const QString& text, const PromptList& known);

// remplacer_prompt_BO then remplacer_variable_BO: every call replaced by its
// answer (a numeric prompt as typed; otherwise quoted, inner quotes doubled,
// the case kept). A call that `answers` does not know, or a malformed one,
// gives an error and no text.
struct Replacement {
  QString text;
  PromptFault error;
};
Replacement replacePromptCalls(const QString& text, const PromptList& answers);

// The refusal when a prompt has no one to answer it (the command line
// without --prompt for it): French for "FR", English otherwise.
QString unansweredPromptMessage(const QString& language, const QString& label);

// Recuperer_invites: each condition prompt's answer into column 7 of its row.
void writeConditionAnswers(const PromptList& prompts, kernel::Grid& conditions);

}  // namespace korvo::sqlgen

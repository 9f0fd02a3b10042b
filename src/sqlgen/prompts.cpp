#include "sqlgen/prompts.h"

#include "builder/query_grids.h"

namespace korvo::sqlgen {
namespace {

const QString kPrompt = QStringLiteral("@PROMPT");
const QString kVariable = QStringLiteral("@VARIABLE");

// The first call of either kind from `from` on; -1 when there is none.
qsizetype nextCall(const QString& text, qsizetype from, PromptRequest::Kind& kind) {
  const qsizetype p = text.indexOf(kPrompt, from, Qt::CaseInsensitive);
  const qsizetype v = text.indexOf(kVariable, from, Qt::CaseInsensitive);
  if (p < 0 && v < 0) return -1;
  if (v < 0 || (p >= 0 && p < v)) {
    kind = PromptRequest::ObjectPrompt;
    return p;
  }
  kind = PromptRequest::Variable;
  return v;
}

QString quoted(const QString& text, qsizetype start) {
  QString call = text.mid(start, 80).simplified();
  if (text.size() - start > 80) call += QStringLiteral("...");
  return call;
}

bool sameQuestion(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool knows(const PromptList& list, const PromptCall& call) {
  for (const PromptRequest& p : list)
    if (p.kind != PromptRequest::Condition && sameQuestion(p.label, call.question)) return true;
  return false;
}

// Adds the calls of one definition, the prompts or the variables.
PromptFault addCalls(const QString& text, const QString& objectId, PromptRequest::Kind kind,
                 PromptList& into) {
  const PromptScan scan = scanPromptCalls(text);
  if (!scan.error.isEmpty()) return scan.error;
  for (const PromptCall& call : scan.calls) {
    if (call.kind != kind || knows(into, call)) continue;
    PromptRequest p;
    p.kind = kind;
    p.label = call.question;
    p.numeric = call.numeric;
    p.objectId = objectId;
    into << p;
  }
  return PromptFault();
}

QString answerText(const PromptRequest& p) {
  if (p.kind == PromptRequest::ObjectPrompt && p.numeric) return p.answer;
  QString inner = p.answer;
  inner.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

}  // namespace

PromptScan scanPromptCalls(const QString& text) {
  PromptScan out;
  qsizetype from = 0;
  PromptRequest::Kind kind = PromptRequest::ObjectPrompt;
  for (qsizetype at = nextCall(text, from, kind); at >= 0; at = nextCall(text, from, kind)) {
    const qsizetype keyEnd = at + (kind == PromptRequest::Variable ? kVariable : kPrompt).size();
    const qsizetype open = text.indexOf(QLatin1Char('\''), keyEnd);
    PromptCall call;
    call.kind = kind;
    call.start = at;
    qsizetype afterName = -1;
    if (open >= 0) {
      if (kind == PromptRequest::ObjectPrompt) {
        // The question runs to the "'," that ends it; the type to the next comma.
        const qsizetype close = text.indexOf(QStringLiteral("',"), open + 1);
        if (close >= 0) {
          call.question = text.mid(open + 1, close - open - 1);
          const qsizetype typeEnd = text.indexOf(QLatin1Char(','), close + 2);
          if (typeEnd >= 0) {
            call.numeric = text.mid(close + 1, typeEnd - close).contains(QStringLiteral("'N'"));
            afterName = typeEnd + 1;
          }
        }
      } else {
        const qsizetype close = text.indexOf(QLatin1Char('\''), open + 1);
        if (close >= 0) {
          call.question = text.mid(open + 1, close - open - 1);
          afterName = close + 1;
        }
      }
    }
    const qsizetype paren = afterName < 0 ? -1 : text.indexOf(QLatin1Char(')'), afterName);
    if (paren < 0) {
      out.calls.clear();
      out.error = {PromptFault::Malformed, quoted(text, at)};
      return out;
    }
    call.end = paren + 1;
    out.calls << call;
    from = call.end;
  }
  return out;
}

PromptCollection collectPrompts(const kernel::Grid& objects, const kernel::Grid& conditions,
                                const builder::Catalogue& catalogue) {
  PromptCollection out;
  for (int row = 1; row < conditions.rowCount(); ++row) {
    if (conditions.cell(row, builder::kCondId).isEmpty() ||
        conditions.cell(row, builder::kCondPrompt) != QLatin1String("?"))
      continue;
    PromptRequest p;
    p.kind = PromptRequest::Condition;
    p.label = conditions.cell(row, builder::kCondObject);
    p.conditionRow = row;
    p.operatorLabel = conditions.cell(row, builder::kCondOperator);
    p.objectId = conditions.cell(row, builder::kCondId);
    p.answer = conditions.cell(row, builder::kCondOperand);
    out.prompts << p;
  }
  // Result objects first, then the objects only the conditions use.
  QStringList ids;
  for (int row = 1; row < objects.rowCount(); ++row) ids << objects.cell(row, builder::kObjId);
  for (int row = 1; row < conditions.rowCount(); ++row) ids << conditions.cell(row, builder::kCondId);
  ids.removeAll(QString());
  ids.removeDuplicates();
  QStringList definitions;
  for (const QString& id : ids) {
    QString select;
    QString where;
    catalogue.Get_Obj_Info(id, select, QStringLiteral("OB_SELECT"));
    catalogue.Get_Obj_Info(id, where, QStringLiteral("OB_WHERE"));
    definitions << select + where;
  }
  for (PromptRequest::Kind kind : {PromptRequest::ObjectPrompt, PromptRequest::Variable})
    for (qsizetype i = 0; i < ids.size(); ++i) {
      out.error = addCalls(definitions[i], ids[i], kind, out.prompts);
      if (!out.error.isEmpty()) {
        out.prompts.clear();
        return out;
      }
    }
  return out;
}

PromptCollection unansweredCalls(const QString& text, const PromptList& known) {
  PromptCollection out;
  PromptList all = known;
  for (PromptRequest::Kind kind : {PromptRequest::ObjectPrompt, PromptRequest::Variable}) {
    out.error = addCalls(text, QString(), kind, all);
    if (!out.error.isEmpty()) return out;
  }
  out.prompts = all.mid(known.size());
  return out;
}

Replacement replacePromptCalls(const QString& text, const PromptList& answers) {
  Replacement out;
  const PromptScan scan = scanPromptCalls(text);
  if (!scan.error.isEmpty()) {
    out.error = scan.error;
    return out;
  }
  // One pass over the text: answers are never searched again, so an answer
  // that itself looks like a call stays as typed and the pass always ends.
  qsizetype copied = 0;
  for (const PromptCall& call : scan.calls) {
    const PromptRequest* answer = nullptr;
    for (const PromptRequest& p : answers)
      if (p.kind == call.kind && sameQuestion(p.label, call.question)) {
        answer = &p;
        break;
      }
    // A variable may share its question with a prompt, which then answers it.
    if (!answer)
      for (const PromptRequest& p : answers)
        if (p.kind != PromptRequest::Condition && sameQuestion(p.label, call.question)) {
          answer = &p;
          break;
        }
    if (!answer) {
      out.error = {PromptFault::NoAnswer, quoted(text, call.start)};
      out.text.clear();
      return out;
    }
    PromptRequest asCall = *answer;
    asCall.kind = call.kind;
    asCall.numeric = call.kind == PromptRequest::ObjectPrompt && call.numeric;
    out.text += text.mid(copied, call.start - copied);
    out.text += answerText(asCall);
    copied = call.end;
  }
  out.text += text.mid(copied);
  return out;
}

QString promptFaultMessage(const QString& language, const PromptFault& fault) {
  const bool french = language == QLatin1String("FR");
  switch (fault.kind) {
    case PromptFault::None:
      return QString();
    case PromptFault::Malformed:
      return (french ? QString::fromUtf8("Appel mal formé, rien n'a été exécuté : %1")
                     : QStringLiteral("Malformed call, nothing was run: %1"))
          .arg(fault.call);
    case PromptFault::NoAnswer:
      return (french ? QString::fromUtf8("Aucune réponse pour cet appel, rien n'a été exécuté : %1")
                     : QStringLiteral("No answer for this call, nothing was run: %1"))
          .arg(fault.call);
  }
  return QString();
}

QString unansweredPromptMessage(const QString& language, const QString& label) {
  if (language == QLatin1String("FR"))
    return QString::fromUtf8(
               "Cette requête demande des valeurs à l'exécution (%1) : aucune réponse n'a été "
               "donnée, rien n'a été exécuté.")
        .arg(label);
  return QStringLiteral(
             "This query asks for values at run time (%1): no answer was given, nothing was run.")
      .arg(label);
}

void writeConditionAnswers(const PromptList& prompts, kernel::Grid& conditions) {
  for (const PromptRequest& p : prompts)
    if (p.kind == PromptRequest::Condition && p.conditionRow > 0 &&
        p.conditionRow < conditions.rowCount())
      conditions.setCell(p.conditionRow, builder::kCondOperand, p.answer);
}

}  // namespace korvo::sqlgen

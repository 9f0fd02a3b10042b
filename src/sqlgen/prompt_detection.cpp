#include "sqlgen/prompt_detection.h"

#include "builder/query_grids.h"

namespace korvo::sqlgen {
namespace {

// Upper case one character at a time, so that positions in the result are
// positions in the text.
QString upperSameLength(const QString& text) {
  QString upper = text;
  for (QChar& c : upper) c = c.toUpper();
  return upper;
}

// The call starting at `at`: its name, then from the opening parenthesis to
// the one that closes it, quoted texts skipped. An unclosed call runs to the
// end of the text; a name without parenthesis is the name alone.
QString callText(const QString& text, qsizetype at, qsizetype nameLength) {
  qsizetype pos = at + nameLength;
  while (pos < text.size() && text[pos].isSpace()) ++pos;
  if (pos >= text.size() || text[pos] != QLatin1Char('(')) return text.mid(at, nameLength);
  int depth = 0;
  bool quoted = false;
  for (; pos < text.size(); ++pos) {
    const QChar c = text[pos];
    if (c == QLatin1Char('\'')) {
      quoted = !quoted;
    } else if (!quoted && c == QLatin1Char('(')) {
      ++depth;
    } else if (!quoted && c == QLatin1Char(')') && --depth == 0) {
      return text.mid(at, pos + 1 - at);
    }
  }
  return text.mid(at);
}

std::optional<QString> firstCall(const QString& text) {
  const QString upper = upperSameLength(text);
  const qsizetype prompt = upper.indexOf(QLatin1String("@PROMPT"));
  const qsizetype variable = upper.indexOf(QLatin1String("@VARIABLE"));
  if (prompt < 0 && variable < 0) return std::nullopt;
  if (variable < 0 || (prompt >= 0 && prompt < variable)) return callText(text, prompt, 7);
  return callText(text, variable, 9);
}

}  // namespace

std::optional<QString> firstPrompt(const kernel::Grid& objects, const kernel::Grid& conditions,
                                   const builder::Catalogue& catalogue) {
  for (int row = 1; row < objects.rowCount(); ++row) {
    const QString id = objects.cell(row, builder::kObjId);
    QString select;
    QString where;
    catalogue.Get_Obj_Info(id, select, QStringLiteral("OB_SELECT"));
    catalogue.Get_Obj_Info(id, where, QStringLiteral("OB_WHERE"));
    if (std::optional<QString> call = firstCall(select + where)) return call;
  }
  for (int row = 1; row < conditions.rowCount(); ++row) {
    if (conditions.cell(row, builder::kCondPrompt) != QLatin1String("?")) continue;
    const QString name = conditions.cell(row, builder::kCondObject);
    return name.isEmpty() ? QStringLiteral("?") : name;
  }
  return std::nullopt;
}

QString promptsRefusedMessage(const QString& language, const QString& prompt) {
  if (language == QLatin1String("FR"))
    return QStringLiteral(
               "Cette requête demande des valeurs à l'exécution (%1) : les invites ne sont pas "
               "encore prises en charge, rien n'a été exécuté.")
        .arg(prompt);
  return QStringLiteral(
             "This query asks for values at run time (%1): prompts are not supported yet, "
             "nothing was run.")
      .arg(prompt);
}

}  // namespace korvo::sqlgen

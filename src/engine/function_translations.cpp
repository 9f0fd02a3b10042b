// Translations of the scalar functions: Oracle's implicit conversions of each
// argument, then the SQLite function of the same name or an expression that
// behaves as Oracle's function does.
#include "engine/function_translations.h"

#include <string>
#include <vector>

namespace korvo::engine::translations {

namespace {

using T = Translator;

TypedSql result(std::string sql, SqlType t) { return typedSql(std::move(sql), t); }

std::string call(const std::string& name, const std::vector<std::string>& args,
                 bool distinct = false) {
  std::string s = name + "(" + (distinct ? "DISTINCT " : "");
  for (size_t i = 0; i < args.size(); ++i) s += (i ? ", " : "") + args[i];
  return s + ")";
}

// Each argument as the entry's ArgRule takes it.
std::vector<std::string> converted(const FunctionCall& c) {
  std::vector<std::string> out;
  for (size_t i = 0; i < c.args.size(); ++i) {
    const TypedSql& a = c.args[i];
    switch (c.info.args) {
      case ArgRule::Numbers: out.push_back(T::asNumber(a)); break;
      case ArgRule::TextFirst:
        out.push_back(i == 0 || a.type == SqlType::Date ? T::asText(a) : a.sql);
        break;
      case ArgRule::Any: out.push_back(a.sql); break;
    }
  }
  return out;
}

SqlType ruleType(const FunctionCall& c) {
  switch (c.info.result) {
    case ResultRule::Text: return SqlType::Text;
    case ResultRule::Number: return SqlType::Number;
    case ResultRule::Date: return SqlType::Date;
    case ResultRule::FirstArg:
      for (const TypedSql& a : c.args)
        if (a.type != SqlType::Unknown) return a.type;
      return SqlType::Unknown;
    case ResultRule::Special: break;
  }
  return SqlType::Unknown;
}

// A value converted to the given type, as Oracle converts it implicitly.
std::string as(SqlType t, const TypedSql& a) {
  if (t == SqlType::Number) return T::asNumber(a);
  if (t == SqlType::Date) return T::asDate(a);
  if (t == SqlType::Text) return T::asText(a);
  return a.sql;
}

// A date and a number never convert into each other.
void refuseDateNumber(SqlType first, SqlType other) {
  if ((first == SqlType::Date && other == SqlType::Number) ||
      (first == SqlType::Number && other == SqlType::Date))
    requireSameType(first, other);
}

// The later arguments take the first one's type (GREATEST, LEAST, COALESCE, NULLIF).
std::vector<std::string> towardsFirst(const FunctionCall& c) {
  std::vector<std::string> conv = converted(c);
  const TypedSql& first = c.args[0];
  for (size_t i = 1; i < c.args.size(); ++i) {
    const TypedSql& a = c.args[i];
    refuseDateNumber(first.type, a.type);
    if (first.type == SqlType::Number && a.type == SqlType::Text)
      conv[i] = T::asNumber(a);
    else if (first.type == SqlType::Date && a.type == SqlType::Text)
      conv[i] = T::asDate(a);
    else if (first.type == SqlType::Text)
      conv[i] = T::asText(a);
  }
  return conv;
}

}  // namespace

TypedSql plain(const FunctionCall& c) {
  return result(call(c.info.name, converted(c), c.distinct), ruleType(c));
}

TypedSql decode(const FunctionCall& c) {
  const auto& args = c.args;
  const TypedSql& subject = args[0];
  // The first result types the whole: text when it is text or NULL.
  SqlType resultType = args.size() > 2 ? args[2].type : SqlType::Unknown;
  if (resultType == SqlType::Unknown) resultType = SqlType::Text;
  auto asResult = [&](const TypedSql& t) {
    if (resultType == SqlType::Number && t.type == SqlType::Text) return T::asNumber(t);
    if (resultType == SqlType::Text) return T::asText(t);
    return t.sql;
  };
  // the subject and every search compare in the type of the first search
  const SqlType searchType = args[1].type;
  std::string s = "CASE";
  size_t i = 1;
  for (; i + 1 < args.size(); i += 2) {
    const TypedSql& search = args[i];
    std::string l = subject.sql, r = search.sql;
    if (searchType == SqlType::Text && subject.type == SqlType::Number) {
      l = T::asText(subject);
      r = T::asText(search);
    } else if (searchType == SqlType::Number) {
      l = T::asNumber(subject);
      r = T::asNumber(search);
    } else {
      if (subject.type == SqlType::Number && search.type == SqlType::Text) r = T::asNumber(search);
      if (subject.type == SqlType::Text && search.type == SqlType::Number) l = T::asNumber(subject);
      if (subject.type == SqlType::Date && search.type == SqlType::Text) r = T::asDate(search);
    }
    if (subject.fixedChar) padCharLiteral(subject, search, r);
    s += " WHEN " + l + " IS " + r + " THEN " + asResult(args[i + 1]);
  }
  if (i < args.size()) s += " ELSE " + asResult(args[i]);
  return result(s + " END", resultType);
}

TypedSql nvl(const FunctionCall& c) {
  const TypedSql &first = c.args[0], &second = c.args[1];
  // the second argument converts to the first one's type; a date and a number do not
  refuseDateNumber(first.type, second.type);
  std::string other = second.sql;
  if (first.type == SqlType::Number && second.type == SqlType::Text) other = T::asNumber(second);
  if (first.type == SqlType::Date && second.type == SqlType::Text) other = T::asDate(second);
  if (first.type == SqlType::Text) other = T::asText(second);
  TypedSql r = result("NVL(" + first.sql + ", " + other + ")",
                      first.type == SqlType::Unknown ? second.type : first.type);
  r.fixedChar = first.fixedChar;
  return r;
}

TypedSql nvl2(const FunctionCall& c) {
  const auto& args = c.args;
  // the third argument takes the second one's type (the third's when the second is NULL)
  SqlType t = args[1].type != SqlType::Unknown ? args[1].type : args[2].type;
  return result("CASE WHEN " + args[0].sql + " IS NOT NULL THEN " + as(t, args[1]) + " ELSE " +
                    as(t, args[2]) + " END",
                t);
}

TypedSql concat(const FunctionCall& c) {
  return result("ora_concat(" + T::asText(c.args[0]) + ", " + T::asText(c.args[1]) + ")",
                SqlType::Text);
}

TypedSql sameType(const FunctionCall& c) {
  // no implicit conversion between the arguments: one type throughout
  SqlType first = SqlType::Unknown;
  for (const TypedSql& a : c.args) {
    if (first == SqlType::Unknown) first = a.type;
    requireSameType(first, a.type);
  }
  return result(call(c.info.name, towardsFirst(c)), ruleType(c));
}

TypedSql firstArgsType(const FunctionCall& c) {
  return result(call(c.info.name, towardsFirst(c)), ruleType(c));
}

TypedSql toChar(const FunctionCall& c) {
  const auto& args = c.args;
  const std::string fmt = args.size() > 1 ? args[1].sql : "NULL";
  if (args[0].type == SqlType::Date)
    return result("ora_date_to_char(" + args[0].sql + ", " + fmt + ")", SqlType::Text);
  if (args[0].type == SqlType::Number)
    return result("ora_num_to_char(" + args[0].sql + ", " + fmt + ")", SqlType::Text);
  if (args.size() == 1) return result(args[0].sql, SqlType::Text);
  std::vector<std::string> sql;
  for (const TypedSql& a : args) sql.push_back(a.sql);
  return result(call("TO_CHAR", sql), SqlType::Text);
}

TypedSql toDate(const FunctionCall& c) {
  const auto& args = c.args;
  if (args[0].type == SqlType::Date && args.size() == 1) return result(args[0].sql, SqlType::Date);
  const std::string fmt = args.size() > 1 ? args[1].sql : "NULL";
  return result("ora_to_date(" + T::asText(args[0]) + ", " + fmt + ")", SqlType::Date);
}

TypedSql roundOrTrunc(const FunctionCall& c) {
  const auto& args = c.args;
  const std::string name = c.info.name;
  if (args[0].type == SqlType::Date) {
    const std::string fmt = args.size() > 1 ? args[1].sql : "NULL";
    return result(
        (name == "ROUND" ? "ora_round_date(" : "ora_trunc_date(") + args[0].sql + ", " + fmt + ")",
        SqlType::Date);
  }
  std::vector<std::string> sql = {T::asNumber(args[0])};
  if (args.size() > 1) sql.push_back(T::asNumber(args[1]));
  return result(call(name, sql), SqlType::Number);
}

TypedSql addMonths(const FunctionCall& c) {
  return result(call("ADD_MONTHS", {T::asDate(c.args[0]), T::asNumber(c.args[1])}), SqlType::Date);
}

TypedSql dayOf(const FunctionCall& c) {
  std::vector<std::string> sql = {T::asDate(c.args[0])};
  if (c.args.size() > 1) sql.push_back(c.args[1].sql);
  return result(call(c.info.name, sql), SqlType::Date);
}

TypedSql aggregate(const FunctionCall& c) {
  const std::string name = c.info.name;
  if (c.star) {
    TypedSql r = result("count(*)" + c.over, SqlType::Number);
    r.meta.nullable = false;
    return r;
  }
  // SQLite's own group functions by its names; the others are the engine's
  const bool builtin =
      name == "COUNT" || name == "SUM" || name == "AVG" || name == "MIN" || name == "MAX";
  std::string sqlName = name;
  if (builtin)
    for (auto& ch : sqlName) ch = char(ch - 'A' + 'a');
  std::string s = call(sqlName, converted(c), c.distinct) + c.over;
  // Sums and averages of binary fractions: back to Oracle's decimal digits.
  if (name == "SUM" || name == "AVG") s = "korvo_decimal(" + s + ")";
  TypedSql r = result(s, ruleType(c));
  if (name == "COUNT") r.meta.nullable = false;
  if ((name == "MIN" || name == "MAX") && c.args[0].type == SqlType::Text) {
    r.meta = c.args[0].meta;
    r.meta.nullable = true;
  }
  return r;
}

TypedSql monthsBetween(const FunctionCall& c) {
  return result(call("MONTHS_BETWEEN", {T::asDate(c.args[0]), T::asDate(c.args[1])}),
                SqlType::Number);
}

}  // namespace korvo::engine::translations

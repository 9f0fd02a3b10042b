// Oracle's typing rules that SQLite does not know: INTERVAL literals and date
// arithmetic with them, and the branches of one result that must share a type.
#include <cstdio>
#include <cstdlib>

#include "engine/interval_literal.h"
#include "engine/ora_error.h"
#include "engine/translator.h"

namespace korvo::engine {

std::string typeWord(SqlType t) {
  switch (t) {
    case SqlType::Number: return "NUMBER";
    case SqlType::Date: return "DATE";
    default: return "CHAR";
  }
}

void requireSameType(SqlType expected, SqlType got) {
  if (expected == SqlType::Unknown || got == SqlType::Unknown || expected == got) return;
  throw OraError(932, "inconsistent datatypes: expected " + typeWord(expected) + " got " +
                          typeWord(got));
}

void refuseIntervalValue(const TypedSql& t) {
  if (t.interval)
    throw OraError(3001, "unimplemented feature: INTERVAL value other than date +/- interval");
}

TypedSql Translator::interval(const ast::Expr& e) {
  IntervalValue v = parseIntervalLiteral(e.text, e.name.text);
  TypedSql r;
  if (v.yearMonth) {
    r = typedSql(std::to_string(v.months), SqlType::Unknown);
    r.interval = 1;
  } else {
    char buf[64];
    std::snprintf(buf, sizeof buf, "(%.17g / 86400.0)", v.seconds);
    r = typedSql(buf, SqlType::Unknown);
    r.interval = 2;
  }
  r.literal = true;
  return r;
}

TypedSql Translator::intervalArithmetic(const std::string& op, const TypedSql& l,
                                        const TypedSql& r) {
  const bool dateFirst = l.type == SqlType::Date && r.interval && (op == "+" || op == "-");
  const bool dateSecond = r.type == SqlType::Date && l.interval && op == "+";
  if (!dateFirst && !dateSecond) refuseIntervalValue(l.interval ? l : r);
  const TypedSql& d = dateFirst ? l : r;
  const TypedSql& i = dateFirst ? r : l;
  std::string amount = op == "-" ? "-(" + i.sql + ")" : i.sql;
  TypedSql out = typedSql((i.interval == 1 ? "ora_date_add_interval_months(" : "ora_date_add(") +
                              d.sql + ", " + amount + ")",
                          SqlType::Date);
  out.aggregate = d.aggregate;
  return out;
}

TypedSql Translator::cast(const ast::Expr& e, const Scope& scope, bool allowAggregates) {
  TypedSql v = expr(*e.args[0], scope, allowAggregates);
  refuseIntervalValue(v);
  const std::string& type = e.text;
  auto number = [](const std::string& s, size_t from) { return std::atoi(s.c_str() + from); };
  TypedSql out;
  if (type.rfind("NUMBER", 0) == 0 || type == "INTEGER" || type.rfind("FLOAT", 0) == 0) {
    std::string n = asNumber(v);
    size_t comma = type.find(',');
    if (type == "INTEGER") n = "ROUND(" + n + ")";
    if (comma != std::string::npos) n = "ROUND(" + n + ", " + std::to_string(number(type, comma + 1)) + ")";
    out = typedSql(n, SqlType::Number);
  } else if (type == "DATE") {
    out = typedSql(asDate(v), SqlType::Date);
  } else {  // VARCHAR2(n), CHAR(n)
    const bool fixed = type.rfind("CHAR(", 0) == 0;
    const int length = number(type, type.find('(') + 1);
    out = typedSql("korvo_cast_text(" + asText(v) + ", " + std::to_string(length) + ", " +
                       (fixed ? "1" : "0") + ")",
                   SqlType::Text);
    out.meta.type = fixed ? "CHAR" : "VARCHAR2";
    out.meta.length = length;
    out.fixedChar = fixed;
  }
  out.aggregate = v.aggregate;
  return out;
}

}  // namespace korvo::engine

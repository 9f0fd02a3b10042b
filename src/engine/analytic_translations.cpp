// Translations of the functions that exist only as analytics: SQLite's window
// functions of the same names, with Oracle's conversions of the arguments.
#include <cstdlib>
#include <string>

#include "engine/function_translations.h"
#include "engine/ora_error.h"

namespace korvo::engine::translations {

namespace {

using T = Translator;

std::string lower(std::string s) {
  for (auto& ch : s)
    if (ch >= 'A' && ch <= 'Z') ch = char(ch - 'A' + 'a');
  return s;
}

// The result reads the value's column, and is NULL outside the window's rows.
TypedSql valueLike(std::string sql, const TypedSql& value) {
  TypedSql r = typedSql(std::move(sql), value.type);
  r.meta = value.meta;
  r.meta.nullable = true;
  return r;
}

}  // namespace

TypedSql ranking(const FunctionCall& c) {
  TypedSql r = typedSql(lower(c.info.name) + "()" + c.over, SqlType::Number);
  r.meta.nullable = false;
  return r;
}

TypedSql ntile(const FunctionCall& c) {
  const TypedSql& buckets = c.args[0];
  if (buckets.literal && std::strtod(numberLiteralText(buckets.sql).c_str(), nullptr) < 1)
    throw OraError(1428, "argument '" + numberLiteralText(buckets.sql) + "' is out of range");
  return typedSql("ntile(" + T::asNumber(buckets) + ")" + c.over, SqlType::Number);
}

TypedSql lagOrLead(const FunctionCall& c) {
  const auto& args = c.args;
  std::string s = lower(c.info.name) + "(" + args[0].sql;
  if (args.size() > 1) s += ", " + T::asNumber(args[1]);
  if (args.size() > 2) {
    // the default takes the value's type, as Oracle converts it
    const TypedSql& d = args[2];
    s += ", " + (args[0].type == SqlType::Number ? T::asNumber(d)
                 : args[0].type == SqlType::Date ? T::asDate(d)
                 : args[0].type == SqlType::Text ? T::asText(d)
                                                 : d.sql);
  }
  return valueLike(s + ")" + c.over, args[0]);
}

TypedSql valueAt(const FunctionCall& c) {
  const std::string nth = c.args.size() > 1 ? ", " + T::asNumber(c.args[1]) : std::string();
  return valueLike(lower(c.info.name) + "(" + c.args[0].sql + nth + ")" + c.over, c.args[0]);
}

TypedSql ratioToReport(const FunctionCall& c) {
  const std::string x = T::asNumber(c.args[0]);
  return typedSql("korvo_decimal(ora_div(" + x + ", sum(" + x + ")" + c.over + "))",
                  SqlType::Number);
}

}  // namespace korvo::engine::translations

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

namespace {

// The default of LAG/LEAD takes the value's type, as Oracle converts it.
std::string defaultFor(const TypedSql& value, const TypedSql& d) {
  return value.type == SqlType::Number ? T::asNumber(d)
         : value.type == SqlType::Date ? T::asDate(d)
         : value.type == SqlType::Text ? T::asText(d)
                                       : d.sql;
}

// The window with a frame of its own: " OVER (... ORDER BY k)" + " ROWS ...".
std::string withFrame(const std::string& over, const char* frame) {
  return over.substr(0, over.size() - 1) + " " + frame + ")";
}

// LAG/LEAD(x, n, d) IGNORE NULLS: the n-th non-null x before (after) the row, read
// from the rows before (after) it; the default when there is none.
TypedSql lagOrLeadIgnoringNulls(const FunctionCall& c) {
  const auto& args = c.args;
  const bool lag = std::string(c.info.name) == "LAG";
  if (args.size() > 1 && args[1].literal && numberLiteralText(args[1].sql) == "0")
    return valueLike(args[0].sql, args[0]);  // the row itself
  const std::string n = args.size() > 1 ? T::asNumber(args[1]) : "1";
  std::string s = "ora_non_null(" + args[0].sql + ", " + n + (lag ? ", 1)" : ", 0)") +
                  withFrame(c.over, lag ? "ROWS BETWEEN UNBOUNDED PRECEDING AND 1 PRECEDING"
                                        : "ROWS BETWEEN 1 FOLLOWING AND UNBOUNDED FOLLOWING");
  if (args.size() > 2) s = "coalesce(" + s + ", " + defaultFor(args[0], args[2]) + ")";
  return valueLike(s, args[0]);
}

}  // namespace

TypedSql lagOrLead(const FunctionCall& c) {
  if (c.ignoreNulls) return lagOrLeadIgnoringNulls(c);
  const auto& args = c.args;
  std::string s = lower(c.info.name) + "(" + args[0].sql;
  if (args.size() > 1) s += ", " + T::asNumber(args[1]);
  if (args.size() > 2) s += ", " + defaultFor(args[0], args[2]);
  return valueLike(s + ")" + c.over, args[0]);
}

TypedSql valueAt(const FunctionCall& c) {
  const std::string name = c.info.name;
  if (c.ignoreNulls) {
    // the n-th non-null value of the frame, from its first row (its last for LAST_VALUE)
    const std::string n = name == "NTH_VALUE" ? T::asNumber(c.args[1]) : "1";
    return valueLike("ora_non_null(" + c.args[0].sql + ", " + n +
                         (name == "LAST_VALUE" ? ", 1)" : ", 0)") + c.over,
                     c.args[0]);
  }
  const std::string nth = c.args.size() > 1 ? ", " + T::asNumber(c.args[1]) : std::string();
  return valueLike(lower(name) + "(" + c.args[0].sql + nth + ")" + c.over, c.args[0]);
}

TypedSql ratioToReport(const FunctionCall& c) {
  const std::string x = T::asNumber(c.args[0]);
  return typedSql("korvo_decimal(ora_div(" + x + ", sum(" + x + ")" + c.over + "))",
                  SqlType::Number);
}

}  // namespace korvo::engine::translations

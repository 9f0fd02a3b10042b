#include "engine/refusals.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

namespace korvo::engine {
namespace {

struct Cursor {
  const std::vector<Token>& toks;
  size_t pos;
  const Token& at(size_t k) const { return toks[std::min(pos + k, toks.size() - 1)]; }
  bool word(size_t k, const char* w) const { return at(k).isWord(w); }
  bool op(size_t k, const char* o) const { return at(k).isOp(o); }
  bool anyWord(size_t k, std::initializer_list<const char*> ws) const {
    for (const char* w : ws)
      if (word(k, w)) return true;
    return false;
  }
};

std::string tableStart(const Cursor& c) {
  if (c.word(0, "LATERAL") && c.op(1, "(")) return "LATERAL inline view";
  if (c.word(0, "XMLTABLE") && c.op(1, "(")) return "XMLTABLE";
  if (c.word(0, "JSON_TABLE") && c.op(1, "(")) return "JSON_TABLE";
  if (c.word(0, "TABLE") && c.op(1, "(")) return "TABLE collection expression";
  if (c.word(0, "ONLY") && c.op(1, "(")) return "ONLY (view)";
  if (c.word(0, "THE") && c.op(1, "(")) return "THE (subquery)";
  if (c.word(0, "CONTAINERS") && c.op(1, "(")) return "CONTAINERS";
  return {};
}

std::string afterTable(const Cursor& c) {
  if (c.word(0, "PARTITION") && (c.op(1, "(") || c.word(1, "FOR"))) return "PARTITION clause";
  if (c.word(0, "SUBPARTITION") && (c.op(1, "(") || c.word(1, "FOR")))
    return "SUBPARTITION clause";
  if (c.word(0, "SAMPLE") && (c.op(1, "(") || c.word(1, "BLOCK"))) return "SAMPLE clause";
  if (c.word(0, "AS") && c.word(1, "OF") && c.anyWord(2, {"SCN", "TIMESTAMP", "PERIOD"}))
    return "flashback query (AS OF)";
  if (c.word(0, "VERSIONS") && c.anyWord(1, {"BETWEEN", "PERIOD"}))
    return "flashback version query (VERSIONS BETWEEN)";
  if (c.op(0, "@")) return "database link";
  return {};
}

std::string afterAlias(const Cursor& c) {
  if (c.word(0, "PIVOT") && (c.op(1, "(") || c.word(1, "XML"))) return "PIVOT";
  if (c.word(0, "UNPIVOT") && (c.op(1, "(") || c.anyWord(1, {"INCLUDE", "EXCLUDE"})))
    return "UNPIVOT";
  if (c.word(0, "MATCH_RECOGNIZE") && c.op(1, "(")) return "MATCH_RECOGNIZE";
  if (c.word(0, "CROSS") && c.word(1, "APPLY")) return "CROSS APPLY";
  if (c.word(0, "OUTER") && c.word(1, "APPLY")) return "OUTER APPLY";
  if (c.word(0, "PARTITION") && c.word(1, "BY")) return "partitioned outer join";
  return {};
}

std::string afterBlock(const Cursor& c) {
  if (c.word(0, "MODEL") &&
      (c.anyWord(1, {"PARTITION", "DIMENSION", "RETURN", "IGNORE", "KEEP", "UNIQUE", "MAIN",
                     "REFERENCE"})))
    return "MODEL clause";
  if (c.word(0, "WINDOW") && c.at(1).kind == TokenKind::Identifier && c.word(2, "AS"))
    return "WINDOW clause";
  return {};
}

std::string afterQuery(const Cursor& c) {
  if (c.word(0, "FOR") && c.word(1, "UPDATE")) return "SELECT ... FOR UPDATE";
  return {};
}

std::string afterCommonTable(const Cursor& c) {
  if (c.word(0, "SEARCH") && c.anyWord(1, {"DEPTH", "BREADTH"}))
    return "SEARCH clause of recursive WITH";
  if (c.word(0, "CYCLE") && c.at(1).kind != TokenKind::End && !c.op(1, ","))
    return "CYCLE clause of recursive WITH";
  return {};
}

std::string statement(const Cursor& c) {
  if (c.word(0, "MERGE") && c.word(1, "INTO")) return "MERGE statement";
  if (c.word(0, "TRUNCATE") && c.anyWord(1, {"TABLE", "CLUSTER"})) return "TRUNCATE statement";
  if (c.word(0, "SAVEPOINT")) return "SAVEPOINT";
  if (c.word(0, "GRANT") || c.word(0, "REVOKE")) return "GRANT and REVOKE";
  if (c.word(0, "LOCK") && c.word(1, "TABLE")) return "LOCK TABLE";
  if (c.word(0, "COMMENT") && c.word(1, "ON")) return "COMMENT ON";
  if (c.word(0, "RENAME")) return "RENAME statement";
  if (c.word(0, "SET") && c.word(1, "TRANSACTION")) return "SET TRANSACTION";
  if (c.word(0, "INSERT") && c.anyWord(1, {"ALL", "FIRST"})) return "multitable INSERT";
  return {};
}

}  // namespace

bool isUnimplementedOracleFunction(const std::string& upperName) {
  // sorted, for a binary search
  static constexpr std::array<std::string_view, 116> kNames = {
      "ACOS", "APPROX_COUNT_DISTINCT", "ASCIISTR", "ASIN", "ATAN", "ATAN2", "BFILENAME",
      "BIN_TO_NUM", "CARDINALITY", "CHARTOROWID", "CLUSTER_ID", "COLLECT", "COMPOSE", "CONVERT",
      "CORR", "COS", "COSH", "COVAR_POP", "COVAR_SAMP", "CUME_DIST", "CV", "DECOMPOSE", "DEPTH",
      "DUMP", "EMPTY_BLOB", "EMPTY_CLOB", "EXTRACTVALUE", "FEATURE_ID", "FEATURE_VALUE",
      "FROM_TZ", "HEXTORAW", "INSTR2", "INSTR4", "INSTRB", "INSTRC", "ITERATION_NUMBER",
      "JSON_ARRAY", "JSON_ARRAYAGG", "JSON_OBJECT", "JSON_OBJECTAGG", "JSON_QUERY", "JSON_VALUE",
      "LENGTH2", "LENGTH4", "LENGTHB", "LENGTHC", "NANVL", "NCHR", "NEW_TIME", "NLSSORT",
      "NLS_CHARSET_ID", "NLS_CHARSET_NAME", "NLS_INITCAP", "NLS_LOWER", "NLS_UPPER",
      "NUMTODSINTERVAL", "NUMTOYMINTERVAL", "ORA_HASH", "PATH", "PERCENTILE_CONT",
      "PERCENTILE_DISC", "PERCENT_RANK", "POWERMULTISET", "PREDICTION", "PRESENTNNV", "PRESENTV",
      "PREVIOUS", "RAWTOHEX", "RAWTONHEX", "REGR_AVGX", "REGR_AVGY", "REGR_COUNT",
      "REGR_INTERCEPT", "REGR_R2", "REGR_SLOPE", "REGR_SXX", "REGR_SXY", "REGR_SYY",
      "ROWIDTOCHAR", "SCN_TO_TIMESTAMP", "SIN", "SINH", "STANDARD_HASH", "STATS_MODE",
      "SUBSTR2", "SUBSTR4", "SUBSTRB", "SUBSTRC", "SYS_CONTEXT", "SYS_EXTRACT_UTC",
      "SYS_TYPEID", "SYS_XMLGEN", "TAN", "TANH", "TIMESTAMP_TO_SCN", "TO_BINARY_DOUBLE",
      "TO_BINARY_FLOAT", "TO_BLOB", "TO_CLOB", "TO_DSINTERVAL", "TO_LOB", "TO_MULTI_BYTE",
      "TO_NCHAR", "TO_NCLOB", "TO_SINGLE_BYTE", "TO_TIMESTAMP", "TO_TIMESTAMP_TZ",
      "TO_YMINTERVAL", "TREAT", "TZ_OFFSET", "UNISTR", "VALIDATE_CONVERSION", "WIDTH_BUCKET",
      "XMLAGG", "XMLCONCAT", "XMLELEMENT"};
  return std::binary_search(kNames.begin(), kNames.end(), std::string_view(upperName));
}

std::string unimplementedAt(const std::vector<Token>& toks, size_t pos, RefusalPlace place) {
  if (toks.empty()) return {};
  Cursor c{toks, std::min(pos, toks.size() - 1)};
  switch (place) {
    case RefusalPlace::TableStart: return tableStart(c);
    case RefusalPlace::AfterTable: return afterTable(c);
    case RefusalPlace::AfterAlias: return afterAlias(c);
    case RefusalPlace::AfterBlock: return afterBlock(c);
    case RefusalPlace::AfterQuery: return afterQuery(c);
    case RefusalPlace::AfterCommonTable: return afterCommonTable(c);
    case RefusalPlace::Statement: return statement(c);
  }
  return {};
}

}  // namespace korvo::engine

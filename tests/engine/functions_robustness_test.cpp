// Every function with every awkward argument: the answer is a value or an Oracle
// error, never a crash or a foreign exception text.
#include <vector>

#include "engine/functions_test_db.h"

namespace korvo::engine::testing {
namespace {

using FunctionRobustness = OracleFunctionsTest;

struct Signature {
  const char* name;
  int arity;
};

constexpr Signature kScalars[] = {
    {"NVL", 2},
    {"NVL2", 3},
    {"DECODE", 3},
    {"COALESCE", 2},
    {"NULLIF", 2},
    {"GREATEST", 2},
    {"LEAST", 3},
    {"SUBSTR", 2},
    {"SUBSTR", 3},
    {"INSTR", 2},
    {"INSTR", 3},
    {"REPLACE", 2},
    {"REPLACE", 3},
    {"TRANSLATE", 3},
    {"UPPER", 1},
    {"LOWER", 1},
    {"INITCAP", 1},
    {"TRIM", 1},
    {"TRIM", 2},
    {"LTRIM", 2},
    {"RTRIM", 2},
    {"LPAD", 2},
    {"LPAD", 3},
    {"RPAD", 3},
    {"LENGTH", 1},
    {"CONCAT", 2},
    {"ora_concat", 2},
    {"CHR", 1},
    {"ASCII", 1},
    {"SOUNDEX", 1},
    {"VSIZE", 1},
    {"ABS", 1},
    {"SIGN", 1},
    {"MOD", 2},
    {"REMAINDER", 2},
    {"ROUND", 1},
    {"ROUND", 2},
    {"TRUNC", 1},
    {"TRUNC", 2},
    {"CEIL", 1},
    {"FLOOR", 1},
    {"POWER", 2},
    {"SQRT", 1},
    {"EXP", 1},
    {"LN", 1},
    {"LOG", 2},
    {"BITAND", 2},
    {"ora_div", 2},
    {"ora_number", 3},
    {"TO_CHAR", 1},
    {"TO_CHAR", 2},
    {"TO_CHAR", 3},
    {"TO_NUMBER", 1},
    {"TO_NUMBER", 2},
    {"TO_DATE", 1},
    {"TO_DATE", 2},
    {"ora_to_date", 2},
    {"ora_date_to_char", 2},
    {"ora_num_to_char", 2},
    {"ADD_MONTHS", 2},
    {"MONTHS_BETWEEN", 2},
    {"LAST_DAY", 1},
    {"NEXT_DAY", 2},
    {"ora_date_add", 2},
    {"ora_date_diff", 2},
    {"ora_trunc_date", 2},
    {"ora_round_date", 2},
    {"ora_extract", 2},
    {"USERENV", 1},
    {"REGEXP_LIKE", 3},
    {"REGEXP_COUNT", 3},
    {"REGEXP_SUBSTR", 3},
    {"REGEXP_INSTR", 3},
    {"REGEXP_REPLACE", 3},
};

const std::vector<std::string> kArguments = {
    "NULL",
    "''",
    "'abc'",
    "'é€'",
    "0",
    "-1",
    "1.5",
    "9223372036854775807",
    "-9223372036854775808.0",
    "1e308",
    "'2024-01-31 10:00:00'",
    "'FMDD-MON-RR'",
    "x'FF00'",
    "'9G999D99'",
    "'  12 '",
};

bool acceptable(const std::string& result) {
  if (result.rfind("ORA-", 0) == 0) return true;
  return result == "NULL" || result[0] == '\'' || result[0] == '~' || result[0] == '-' ||
         (result[0] >= '0' && result[0] <= '9');
}

TEST_F(FunctionRobustness, AwkwardArgumentsGiveValuesOrOracleErrors) {
  for (const Signature& s : kScalars) {
    std::vector<std::size_t> pick(static_cast<std::size_t>(s.arity), 0);
    while (true) {
      std::string call = std::string(s.name) + "(";
      for (std::size_t i = 0; i < pick.size(); ++i) call += (i ? "," : "") + kArguments[pick[i]];
      call += ")";
      const std::string result = eval(call);
      EXPECT_TRUE(acceptable(result)) << call << " -> " << result;
      std::size_t k = 0;
      while (k < pick.size() && ++pick[k] == kArguments.size()) pick[k++] = 0;
      if (k == pick.size()) break;
    }
  }
}

TEST_F(FunctionRobustness, AggregatesOverAwkwardValues) {
  exec("CREATE TABLE t(v)");
  for (const std::string& a : kArguments) exec("INSERT INTO t VALUES (" + a + ")");
  for (const char* fn : {"STDDEV(v)", "VARIANCE(v)", "MEDIAN(v)", "VAR_POP(v)", "STDDEV_SAMP(v)",
                         "ora_listagg(v, ',', 'A', v)"}) {
    const std::string result = query(std::string("SELECT ") + fn + " FROM t");
    EXPECT_TRUE(acceptable(result)) << fn << " -> " << result;
  }
}

}  // namespace
}  // namespace korvo::engine::testing

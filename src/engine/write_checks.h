#pragma once
// SQLite functions of the engine's own: the column checks of every written
// value (types, widths, NOT NULL, NUMBER(p,s) rounding) and the single-row
// guard of scalar sub-queries.
#include <string>

struct sqlite3;

namespace korvo::engine {

// korvo_write(value, kind, length, precision, scale, not_null, owner, table, column, is_update)
//   kind: 'V' VARCHAR2, 'C' CHAR, 'N' NUMBER, 'D' DATE, 'L' LONG/CLOB.
//   Returns the value as stored, or raises ORA-01400/01407/12899/01438/01722.
// korvo_single_row(x): aggregate; x of the only row, NULL for none, ORA-01427 for two.
// korvo_decimal(x): a REAL rounded to 15 significant digits (integral ones as integers).
// and the chain functions of arithmetic_chain.h.
void registerEngineFunctions(sqlite3* db);

// The double nearest to v written with 15 significant digits.
double roundDecimal15(double v);

// Oracle's number syntax: blanks, sign, digits, point, exponent; nothing else.
// False for any other text and for a value beyond the range of a double.
bool parseOracleNumber(const std::string& s, double& out);

// Rounds v as NUMBER(precision, scale) stores it; false when it does not fit.
bool fitNumber(double v, int precision, int scale, double& stored);

}  // namespace korvo::engine

#pragma once
// SQLite functions of the engine's own: the column checks of every written
// value (types, widths, NOT NULL, NUMBER(p,s) rounding) and the single-row
// guard of scalar sub-queries.
struct sqlite3;

namespace korvo::engine {

// korvo_write(value, kind, length, precision, scale, not_null, owner, table, column, is_update)
//   kind: 'V' VARCHAR2, 'C' CHAR, 'N' NUMBER, 'D' DATE, 'L' LONG/CLOB.
//   Returns the value as stored, or raises ORA-01400/01407/12899/01438/01722.
// korvo_single_row(x): aggregate; x of the only row, NULL for none, ORA-01427 for two.
// korvo_decimal(x): a REAL rounded to 15 significant digits (integral ones as integers).
// korvo_chain(x1, op, x2, op, ...): + - * from left to right (op 0, 1, 2), each step
//   rounded as korvo_decimal rounds; NULL when any operand is NULL.
void registerEngineFunctions(sqlite3* db);

// Rounds v as NUMBER(precision, scale) stores it; false when it does not fit.
bool fitNumber(double v, int precision, int scale, double& stored);

}  // namespace korvo::engine

#pragma once
// SQLite functions that evaluate a chain of NUMBER arithmetic from left to right,
// each step exact on integers and otherwise rounded to 15 significant digits (as
// korvo_decimal rounds), so that a long sum stays a flat call for SQLite's parser.
// Operators: 0 +, 1 -, 2 *, 3 / (ORA-01476 for a zero divisor). NULL when any
// operand is NULL.
//   korvo_chain(x1, op, x2, op, x3, ...)   up to 63 operators
//   korvo_terms(op, x, op, x, ...)         a list of pairs (the first operator is unused
//                                          when the list opens the chain), as a BLOB
//   korvo_terms_cat(list, list, ...)       the lists one after another
//   korvo_chain_terms(list)                the chain of a list
struct sqlite3;

namespace korvo::engine {

void registerChainFunctions(sqlite3* db);

}  // namespace korvo::engine

#pragma once
// The dialect's words: the reserved words, the words that end a select item or a
// table reference, the pseudo-columns, and the other keywords of its syntax.
// The parser reads them, and so does the script editor's highlighting.
#include <algorithm>
#include <array>
#include <string_view>

namespace korvo::engine {

inline constexpr std::array kReserved = {
    "ACCESS",  "ADD",      "ALL",   "ALTER",   "AND",       "ANY",       "AS",     "ASC",
    "BETWEEN", "BY",       "CHECK", "CLUSTER", "COMPRESS",  "CONNECT",   "CREATE", "DELETE",
    "DESC",    "DISTINCT", "DROP",  "ELSE",    "EXCLUSIVE", "EXISTS",    "FROM",   "GRANT",
    "GROUP",   "HAVING",   "IN",    "INDEX",   "INSERT",    "INTERSECT", "INTO",   "IS",
    "LIKE",    "LOCK",     "MINUS", "MODE",    "NOT",       "NOWAIT",    "NULL",   "OF",
    "ON",      "OPTION",   "OR",    "ORDER",   "PRIOR",     "PUBLIC",    "RENAME", "REVOKE",
    "SELECT",  "SET",      "START", "TABLE",   "THEN",      "TO",        "UNION",  "UNIQUE",
    "UPDATE",  "VALUES",   "VIEW",  "WHERE",   "WITH",      "CASE",      "WHEN",   "END"};

// Words that end a select item or a table reference instead of being its alias.
inline constexpr std::array kClauseWords = {
    "FROM",  "WHERE",   "GROUP", "HAVING", "ORDER",  "UNION", "INTERSECT", "MINUS", "CONNECT",
    "START", "JOIN",    "INNER", "LEFT",   "RIGHT",  "FULL",  "CROSS",     "ON",    "INTO",
    "USING", "NATURAL", "OUTER", "SET",    "VALUES", "FOR",   "WITH"};

inline constexpr std::array kPseudoColumns = {
    "ROWNUM",       "LEVEL", "SYSDATE", "USER", "CONNECT_BY_ISLEAF", "CONNECT_BY_ISCYCLE",
    "SYSTIMESTAMP", "UID",   "CURRENT_DATE", "CURRENT_TIMESTAMP", "LOCALTIMESTAMP",
    "SESSIONTIMEZONE", "DBTIMEZONE"};

// Keywords that are not reserved: they may name a column or a table too.
inline constexpr std::array kSyntaxWords = {
    "BEGIN",    "BOTH",      "BYTE",      "CASCADE",    "CONSTRAINT", "CONSTRAINTS", "CROSS",
    "CUBE",     "GROUPING",  "CURRENT",   "CURSOR",    "DECLARE",    "DEFAULT",    "DEFERRABLE",  "ESCAPE",
    "EXPLAIN",  "FETCH",     "FIRST",     "FOLLOWING",  "FOR",        "FOREIGN",     "FULL",
    "FUNCTION", "IGNORE",    "INITIALLY", "INNER",      "INTERVAL",   "JOIN",        "KEEP",
    "KEY",      "LAST",      "LEADING",   "LEFT",       "NATURAL",    "NEXT",        "NOCYCLE",
    "NULLS",    "OFFSET",    "ONLY",      "OUTER",      "OVER",       "PARTITION",   "PERCENT",
    "PLAN",     "PRECEDING", "PRIMARY",   "PROCEDURE",  "PURGE",      "RANGE",       "REFERENCES",
    "RESPECT",  "RIGHT",     "ROLLUP",    "ROW",        "ROWS",       "SETS",        "SIBLINGS",
    "SOME",     "TIES",      "TRAILING",  "UNBOUNDED",  "USING",      "WITHIN",      "COMMIT",
    "ROLLBACK", "TRUNCATE",  "COMMENT",   "COLUMN",     "SAVEPOINT",  "WORK"};

template <size_t N>
inline bool contains(const std::array<const char*, N>& words, std::string_view w) {
  return std::any_of(words.begin(), words.end(), [&](const char* k) { return w == k; });
}

// A word of the dialect's syntax or a pseudo-column (upper case).
inline bool isDialectKeyword(std::string_view upper) {
  return contains(kReserved, upper) || contains(kSyntaxWords, upper) ||
         contains(kClauseWords, upper) || contains(kPseudoColumns, upper);
}

}  // namespace korvo::engine

#pragma once
// Internal indexes for correlated sub-queries. Oracle unnests or hashes a
// correlated sub-query; SQLite runs it once per outer row, so a sub-query on an
// unindexed table scans that table once per row. Before such a statement runs,
// the engine indexes the sub-query's table on the columns it is probed by.
#include <string>
#include <vector>

#include "engine/ast.h"
#include "engine/catalog.h"

struct sqlite3;

namespace korvo::engine {

// One index a statement would profit from: the probed columns of one table,
// those compared with an outer reference first, then those compared with a constant.
struct AutoIndexRequest {
  std::string table;
  std::vector<std::string> outerColumns;
  std::vector<std::string> constantColumns;
  bool operator==(const AutoIndexRequest&) const = default;
};

// The indexes the correlated sub-queries of a (translated, so valid) statement want.
std::vector<AutoIndexRequest> autoIndexRequests(const ast::Statement& s, Catalog& catalog,
                                                const std::string& user);

// Tables with at most this many rows are scanned faster than indexed.
constexpr long long kAutoIndexMinRows = 200;

// Creates the wanted indexes that are worth it and not already there (no index of
// the table starts with one of the outer-reference columns). Runs in the caller's
// transaction; returns the names created.
std::vector<std::string> createAutoIndexes(sqlite3* db,
                                           const std::vector<AutoIndexRequest>& wanted);

// Internal index names start with this prefix, which no unquoted Oracle name can have;
// the Oracle dictionary reads the catalogue, not SQLite's schema, so they never show.
constexpr const char* kAutoIndexPrefix = "_korvo_ai_";
bool isAutoIndexName(const std::string& sqliteIndexName);

}  // namespace korvo::engine

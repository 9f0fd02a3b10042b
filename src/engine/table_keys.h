#pragma once
// PRIMARY KEY and UNIQUE constraints of CREATE TABLE, kept as the unique indexes
// Oracle creates for them (named after the constraint, SYS_Cnnnnnnn when unnamed),
// so that a duplicate raises ORA-00001 with the constraint's name.
#include <string>
#include <vector>

#include "engine/ast.h"
#include "engine/catalog.h"

namespace korvo::engine {

// Checks the constraints against the table's columns (ORA-00904, 00957, 02260,
// 02261, 02264), makes primary key columns NOT NULL and returns one unique index
// per constraint.
std::vector<CatalogIndex> tableKeys(const std::vector<ast::KeyConstraint>& keys,
                                    CatalogTable& table, Catalog& catalog);

// The SQLite index that keeps a catalogue index. A unique key over several columns
// of which one may be NULL holds Oracle's rule: rows whose key is all NULL are not
// kept, and the others compare NULL as equal to NULL, which SQLite's plain unique
// index (NULLs always distinct) would let through.
std::string indexSql(const CatalogIndex& index, const CatalogTable& table);

}  // namespace korvo::engine

#pragma once
// PRIMARY KEY and UNIQUE constraints of CREATE TABLE, kept as the unique indexes
// Oracle creates for them (named after the constraint, SYS_Cnnnnnnn when unnamed),
// so that a duplicate raises ORA-00001 with the constraint's name.
#include <vector>

#include "engine/ast.h"
#include "engine/catalog.h"

namespace korvo::engine {

// Checks the constraints against the table's columns (ORA-00904, 00957, 02260,
// 02261, 02264), makes primary key columns NOT NULL and returns one unique index
// per constraint.
std::vector<CatalogIndex> tableKeys(const std::vector<ast::KeyConstraint>& keys,
                                    CatalogTable& table, Catalog& catalog);

}  // namespace korvo::engine

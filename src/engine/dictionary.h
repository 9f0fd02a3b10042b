#pragma once
// Oracle's dictionary views over the engine's own catalogue: DUAL, USER_TABLES,
// ALL_TABLES, USER_TAB_COLUMNS, USER_OBJECTS, USER_INDEXES, USER_SOURCE,
// V$VERSION, NLS_SESSION_PARAMETERS and V$SESSION.
#include <string>
#include <vector>

#include "engine/translator.h"

namespace korvo::engine {

// When name is a dictionary view, fills the SQLite text of a derived table and
// its columns and returns true.
bool dictionaryView(const std::string& name, const TranslationEnv& env, std::string& sql,
                    std::vector<SourceColumn>& columns);

}  // namespace korvo::engine

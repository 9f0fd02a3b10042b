#pragma once
// Native routines behind stored procedures. CREATE PROCEDURE stores the text;
// a call runs the routine registered under the procedure's name. Calling a
// procedure that was never created fails as Oracle does (PLS-00201).
#include <functional>
#include <string>
#include <vector>

#include "engine/session.h"

namespace korvo::engine {

using NativeProcedure = std::function<void(Session& session, const std::vector<Value>& args)>;

// name in upper case, as the procedure is created (GEN_TAB_TREE).
void registerNativeProcedure(const std::string& name, NativeProcedure routine);
const NativeProcedure* findNativeProcedure(const std::string& name);

}  // namespace korvo::engine

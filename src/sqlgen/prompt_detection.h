#pragma once
// Whether a query asks for values when it runs: an object whose select
// expression or WHERE restriction calls @Prompt or @Variable, or a condition
// row marked "?". Such a query is not run; the run is refused with a message
// that names the first call found.
#include <QString>
#include <optional>

#include "builder/catalogue.h"
#include "kernel/grid.h"

namespace korvo::sqlgen {

// The first prompt in detection order: the result objects in grid order (the
// object's OB_SELECT followed by its OB_WHERE, the call text as written up to
// its closing parenthesis), then the condition rows whose column 6 is "?"
// (the row's object name). Nothing when the query has none.
std::optional<QString> firstPrompt(const kernel::Grid& objects, const kernel::Grid& conditions,
                                   const builder::Catalogue& catalogue);

// The refusal shown instead of the run: French for "FR", English otherwise.
QString promptsRefusedMessage(const QString& language, const QString& prompt);

}  // namespace korvo::sqlgen

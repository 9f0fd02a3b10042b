#pragma once
// Ctrl+C on the command line: the statement running now is interrupted, the
// ORA-01013 text goes to standard error after what was already written, and
// the command ends with status 1.
#include <memory>

#include "cli/subcommand.h"
#include "db/connection.h"

namespace korvo::cli {

// Called first thing in main(), before any thread starts: every thread then
// leaves SIGINT to the watcher this starts.
void installSigintCancel();

// The command's connection: `real` run through an inline statement runner
// that Ctrl+C cancels.
std::unique_ptr<db::Connection> cancellableConnection(std::unique_ptr<db::Connection> real,
                                                      CliStreams& streams);

}  // namespace korvo::cli

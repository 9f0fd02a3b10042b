#include "cli/subcommand.h"

#include <algorithm>

namespace korvo::cli {
namespace {

// A function-local table, so registrations from other files' static
// initialisers never meet an unconstructed vector.
std::vector<Subcommand>& registry() {
  static std::vector<Subcommand> table;
  return table;
}

}  // namespace

SubcommandRegistration::SubcommandRegistration(Subcommand subcommand) {
  registry().push_back(std::move(subcommand));
}

std::vector<Subcommand> subcommands() {
  std::vector<Subcommand> sorted = registry();
  std::sort(sorted.begin(), sorted.end(),
            [](const Subcommand& a, const Subcommand& b) { return a.name < b.name; });
  return sorted;
}

const Subcommand* findSubcommand(const QString& name) {
  for (const Subcommand& subcommand : registry()) {
    if (subcommand.name == name) return &subcommand;
  }
  return nullptr;
}

}  // namespace korvo::cli

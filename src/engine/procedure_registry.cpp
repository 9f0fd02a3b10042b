#include "engine/procedure_registry.h"

#include <map>
#include <mutex>

namespace korvo::engine {
namespace {

std::mutex& registryMutex() {
  static std::mutex m;
  return m;
}

std::map<std::string, NativeProcedure>& registry() {
  static std::map<std::string, NativeProcedure> r;
  return r;
}

}  // namespace

void registerNativeProcedure(const std::string& name, NativeProcedure routine) {
  std::lock_guard<std::mutex> lock(registryMutex());
  registry()[name] = std::move(routine);
}

const NativeProcedure* findNativeProcedure(const std::string& name) {
  std::lock_guard<std::mutex> lock(registryMutex());
  auto it = registry().find(name);
  return it == registry().end() ? nullptr : &it->second;
}

}  // namespace korvo::engine

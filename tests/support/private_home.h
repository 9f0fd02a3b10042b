#pragma once
// ctest runs the tests of one program in parallel, each in a process of its
// own: every process gets its own HOME and XDG folders (inside the HOME ctest
// gives the program), so that no two tests share settings or databases. The
// folder goes when the process ends.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace korvo::testing {

class PrivateHome {
 public:
  PrivateHome() {
    const char* base = getenv("HOME");
    std::filesystem::path parent = base && *base ? base : std::filesystem::temp_directory_path();
    std::error_code ignored;
    std::filesystem::create_directories(parent, ignored);
    std::string pattern = (parent / "test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return;  // keep the given HOME rather than fail every test
    root_ = pattern;
    setenv("HOME", root_.c_str(), 1);
    for (const auto& [name, sub] : {std::pair{"XDG_DATA_HOME", "data"}, {"XDG_CONFIG_HOME", "config"},
                                    {"XDG_CACHE_HOME", "cache"}, {"XDG_RUNTIME_DIR", "run"}}) {
      const std::filesystem::path folder = root_ / sub;
      std::filesystem::create_directories(folder, ignored);
      setenv(name, folder.c_str(), 1);
    }
    // Qt refuses a runtime folder others may read.
    std::filesystem::permissions(root_ / "run", std::filesystem::perms::owner_all, ignored);
  }
  ~PrivateHome() {
    std::error_code ignored;
    if (!root_.empty()) std::filesystem::remove_all(root_, ignored);
  }
  PrivateHome(const PrivateHome&) = delete;
  PrivateHome& operator=(const PrivateHome&) = delete;

 private:
  std::filesystem::path root_;
};

}  // namespace korvo::testing

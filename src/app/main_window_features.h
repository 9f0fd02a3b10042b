#pragma once
// Plugs the features of the other folders into the main window's hooks: the
// universe list, import and drop, and the query builder's workspace. Created
// once at start-up, after the window, and kept alive as long as it.
#include <memory>

namespace korvo::kernel {
class Interaction;
}

namespace korvo::builder {
class Workspace;
}

namespace korvo::app {

using kernel::Interaction;
class MainWindow;
class RunFeatures;

class MainWindowFeatures {
 public:
  MainWindowFeatures(MainWindow& window, Interaction& messages);
  ~MainWindowFeatures();

  RunFeatures* run() const;
  builder::Workspace& workspace() const;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace korvo::app

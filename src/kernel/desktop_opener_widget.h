#pragma once
// The desktop's own "open" action (QDesktopServices), used by the program.
#include "kernel/opener.h"

namespace korvo::kernel {

class DesktopOpener : public Opener {
 public:
  bool open(const QUrl& target) override;
};

}  // namespace korvo::kernel

#pragma once
// The desktop's own "open" action (QDesktopServices), used by the program.
#include "app/opener.h"

namespace korvo::app {

class DesktopOpener : public Opener {
 public:
  bool open(const QUrl& target) override;
};

}  // namespace korvo::app

#include "kernel/desktop_opener_widget.h"

#include <QDesktopServices>

namespace korvo::kernel {

bool DesktopOpener::open(const QUrl& target) { return QDesktopServices::openUrl(target); }

}  // namespace korvo::kernel

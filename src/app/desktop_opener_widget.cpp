#include "app/desktop_opener_widget.h"

#include <QDesktopServices>

namespace korvo::app {

bool DesktopOpener::open(const QUrl& target) { return QDesktopServices::openUrl(target); }

}  // namespace korvo::app

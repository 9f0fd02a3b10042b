#pragma once
// The platform's "open" action (a document, a web page) behind an interface so
// that logic can be tested without starting a browser. The desktop program uses
// DesktopOpener (desktop_opener_widget.h); tests use RecordingOpener.
#include <QList>
#include <QUrl>

namespace korvo::kernel {

class Opener {
 public:
  virtual ~Opener() = default;
  // Asks the platform to open the target without waiting for it; false when
  // the platform refused.
  virtual bool open(const QUrl& target) = 0;
};

// Remembers every target it was asked to open and answers `succeed`.
class RecordingOpener : public Opener {
 public:
  QList<QUrl> opened;
  bool succeed = true;

  bool open(const QUrl& target) override {
    opened << target;
    return succeed;
  }
};

}  // namespace korvo::kernel

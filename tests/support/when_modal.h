#pragma once
// Acts on the next modal dialog of type T once it is shown. Statements run
// while the window turns its event loop, so a zero timer may fire before the
// dialog is open: the check repeats until the dialog is there.
#include <QApplication>
#include <QTimer>
#include <functional>

namespace korvo::testing {

template <class T>
void whenModal(std::function<void(T*)> act) {
  auto* poll = new QTimer;
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    T* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if (!dialog) return;
    poll->stop();
    poll->deleteLater();
    act(dialog);
  });
  poll->start();
}

}  // namespace korvo::testing

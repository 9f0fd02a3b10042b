#include "app/exception_dialog.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "db/connection.h"

namespace korvo::app {

namespace {

TEST(ExceptionDialog, TextOfEachKindOfError) {
  EXPECT_EQ(exceptionText(
                std::make_exception_ptr(db::DbError("ORA-00942: table or view does not exist"))),
            "ORA-00942: table or view does not exist");
  EXPECT_EQ(exceptionText(std::make_exception_ptr(std::runtime_error("disk full"))), "disk full");
  EXPECT_EQ(exceptionText(std::make_exception_ptr(42)), "Unknown error");
}

// A command whose handler throws, delivered the way the application object
// delivers every event.
TEST(ExceptionDialog, AnExceptionInAHandlerIsShownAndTheProgramGoesOn) {
  QPushButton button("run");
  int runs = 0;
  bool fail = true;
  QObject::connect(&button, &QPushButton::clicked, [&] {
    ++runs;
    if (fail) throw db::DbError("ORA-00904: \"NAME\": invalid identifier");
  });
  QStringList shown;
  auto show = [&](const QString& text) { shown << text; };
  auto click = [&] {
    return deliverGuarded(
        [&] {
          QTest::mouseClick(&button, Qt::LeftButton);
          return true;
        },
        show);
  };

  EXPECT_FALSE(click());
  EXPECT_EQ(shown, QStringList({"ORA-00904: \"NAME\": invalid identifier"}));
  fail = false;
  EXPECT_TRUE(click());
  EXPECT_EQ(runs, 2);
  EXPECT_EQ(shown.size(), 1);
}

TEST(ExceptionDialog, GuardedNotifyDeliversThroughTheApplication) {
  // An object whose event handler throws, delivered through the
  // application's own notify as GuardedApplication does.
  struct Throwing : QObject {
    bool event(QEvent* e) override {
      if (e->type() == QEvent::User) throw std::runtime_error("handler failed");
      return QObject::event(e);
    }
  } target;
  QEvent event(QEvent::User);
  QStringList shown;
  const bool delivered =
      deliverGuarded([&] { return qApp->QCoreApplication::notify(&target, &event); },
                     [&](const QString& text) { shown << text; });
  EXPECT_FALSE(delivered);
  EXPECT_EQ(shown, QStringList({"handler failed"}));
}

}  // namespace
}  // namespace korvo::app

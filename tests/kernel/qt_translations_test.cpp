#include "kernel/qt_translations.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

namespace korvo::kernel {
namespace {

struct StandardTexts {
  QString yes, no, ok, cancel;
};

StandardTexts shownTexts() {
  QMessageBox question(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
  QDialogButtonBox box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  return {question.button(QMessageBox::Yes)->text(), question.button(QMessageBox::No)->text(),
          box.button(QDialogButtonBox::Ok)->text(), box.button(QDialogButtonBox::Cancel)->text()};
}

// The texts as Qt's base French translation words them; the ampersand marks
// the keyboard accelerator (OK and Cancel carry none on this platform).
TEST(QtTranslations, StandardButtonsFollowTheInterfaceLanguage) {
  const struct {
    const char* language;
    StandardTexts expected;
  } cases[] = {
      {"FR", {"&Oui", "&Non", "OK", "Annuler"}},
      {"AN", {"&Yes", "&No", "OK", "Cancel"}},
      // Back to French after English, then an unknown language keeps Qt's English.
      {"FR", {"&Oui", "&Non", "OK", "Annuler"}},
      {"XX", {"&Yes", "&No", "OK", "Cancel"}},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(useQtTranslations(c.language)) << c.language;
    const StandardTexts shown = shownTexts();
    EXPECT_EQ(shown.yes, c.expected.yes) << c.language;
    EXPECT_EQ(shown.no, c.expected.no) << c.language;
    EXPECT_EQ(shown.ok, c.expected.ok) << c.language;
    EXPECT_EQ(shown.cancel, c.expected.cancel) << c.language;
  }
}

TEST(QtTranslations, TheEditFieldMenuIsFrenchToo) {
  ASSERT_TRUE(useQtTranslations("FR"));
  QLineEdit edit;
  std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  QStringList texts;
  // The shortcut follows the caption after a tab.
  for (QAction* action : menu->actions()) texts << action->text().section('\t', 0, 0);
  useQtTranslations("AN");
  EXPECT_TRUE(texts.contains("Cop&ier")) << texts.join("|").toStdString();
  EXPECT_TRUE(texts.contains("Co&ller")) << texts.join("|").toStdString();
  EXPECT_TRUE(texts.contains("Tout sélectionner")) << texts.join("|").toStdString();
}

// Without Qt's translation files the French interface still works, with
// Qt's English standard buttons, and says so.
TEST(QtTranslations, AMissingTranslationLeavesQtsEnglish) {
  QTemporaryDir empty;
  EXPECT_FALSE(useQtTranslations("FR", empty.path()));
  EXPECT_EQ(shownTexts().yes, "&Yes");
  EXPECT_TRUE(useQtTranslations("AN"));
}

}  // namespace
}  // namespace korvo::kernel

#include "kernel/help_commands.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace korvo::kernel {
namespace {

struct HelpFixture : ::testing::Test {
  QTemporaryDir dir;
  RecordingOpener opener;
  RecordingInteraction interaction;
  HelpContext context(const TextTables& texts) { return {dir.path(), texts, opener, interaction}; }
  void place(const QString& name) {
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html></html>");
  }
};

TEST_F(HelpFixture, MissingDocumentsNameTheirCatalogueEntry) {
  EXPECT_FALSE(openHelpManual(context(frenchTexts())));
  EXPECT_FALSE(openFunctionReference(context(englishTexts())));
  EXPECT_TRUE(opener.opened.isEmpty());
  EXPECT_EQ(interaction.informed,
            QStringList({"L'aide n'est pas disponible...", "Document not found..."}));
}

TEST_F(HelpFixture, PresentDocumentsAreOpenedFromTheProgramsFolder) {
  place("Korvo-BO6.html");
  place("Fonctions_sql_oracle.html");
  EXPECT_TRUE(openHelpManual(context(frenchTexts())));
  EXPECT_TRUE(openFunctionReference(context(frenchTexts())));
  ASSERT_EQ(opener.opened.size(), 2);
  EXPECT_EQ(opener.opened[0], QUrl::fromLocalFile(dir.filePath("Korvo-BO6.html")));
  EXPECT_EQ(opener.opened[1], QUrl::fromLocalFile(dir.filePath("Fonctions_sql_oracle.html")));
  EXPECT_TRUE(interaction.informed.isEmpty());
}

TEST_F(HelpFixture, ARefusedOpenIsReportedLikeAMissingFile) {
  place("Korvo-BO6.html");
  opener.succeed = false;
  EXPECT_FALSE(openHelpManual(context(englishTexts())));
  EXPECT_FALSE(openSqlReference(context(englishTexts())));
  EXPECT_FALSE(openUpdatePage(context(englishTexts())));
  EXPECT_EQ(interaction.informed,
            QStringList({"Help not found...", "Document not found...", "Setup not found..."}));
}

TEST_F(HelpFixture, UpdateAndSqlReferenceOpenTheirPages) {
  EXPECT_TRUE(openUpdatePage(context(englishTexts())));
  EXPECT_TRUE(openSqlReference(context(frenchTexts())));
  ASSERT_EQ(opener.opened.size(), 2);
  EXPECT_EQ(opener.opened[0], QUrl::fromLocalFile(dir.filePath("web/index_en.html")));
  EXPECT_EQ(opener.opened[1].scheme(), "https");
  EXPECT_TRUE(interaction.informed.isEmpty());
}

}  // namespace
}  // namespace korvo::kernel

#include "kernel/language.h"

#include <gtest/gtest.h>

namespace korvo::kernel {
namespace {

TEST(Language, CodeSelectsTheTablesExactly) {
  EXPECT_EQ(&textTables("FR"), &frenchTexts());
  EXPECT_EQ(&textTables("AN"), &englishTexts());
  for (const char* code : {"", "fr", "an", "EN", "DE", " AN"})
    EXPECT_EQ(&textTables(code), &frenchTexts()) << code;
}

TEST(Language, BothLanguagesFillTheSameEntries) {
  for (const TextTables* t : {&frenchTexts(), &englishTexts()}) {
    EXPECT_EQ(t->navigatorHints.size(), 10);
    EXPECT_EQ(t->leftPanelTitles.size(), 2);
    EXPECT_EQ(t->universeHeaders.size(), 6);
    EXPECT_EQ(t->objectHeaders.size(), 4);
    EXPECT_EQ(t->operatorLabels.size(), 15);
    EXPECT_EQ(t->operandTypeLabels.size(), 7);
    EXPECT_EQ(t->connectiveLabels.size(), 8);
    EXPECT_EQ(t->messages.size(), 50);
    EXPECT_EQ(t->menuCaptions.size(), 17);
    EXPECT_EQ(t->captions.size(), 13);
    EXPECT_EQ(t->hints.size(), 28);
    EXPECT_EQ(t->loginTexts.size(), 5);
    EXPECT_FALSE(t->menuCaptions.contains("AideKorvo1"));
    EXPECT_FALSE(t->menuCaptions.contains("N1"));
  }
  EXPECT_EQ(frenchTexts().menuCaptions.keys(), englishTexts().menuCaptions.keys());
  EXPECT_EQ(frenchTexts().captions.keys(), englishTexts().captions.keys());
  EXPECT_EQ(frenchTexts().hints.keys(), englishTexts().hints.keys());
  // The catalogue uses the same numbers in both languages.
  const QList<int> unused = {1, 5, 6, 7, 25, 33, 34, 36, 43, 44};
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(frenchTexts().messages[i].isEmpty(), unused.contains(i)) << i;
    EXPECT_EQ(englishTexts().messages[i].isEmpty(), unused.contains(i)) << i;
  }
}

struct Sample {
  const char* what;
  QString french;
  QString english;
};

TEST(Language, TextsAreExact) {
  const TextTables& fr = frenchTexts();
  const TextTables& en = englishTexts();
  const Sample samples[] = {
      {"Label2", fr.captions["Label2"], en.captions["Label2"]},
      {"Label4", fr.captions["Label4"], en.captions["Label4"]},
      {"Requete", fr.captions["Requete"], en.captions["Requete"]},
      {"Misejour1", fr.menuCaptions["Misejour1"], en.menuCaptions["Misejour1"]},
      {"SBAjouterLine", fr.hints["SBAjouterLine"], en.hints["SBAjouterLine"]},
      {"navigator 9", fr.navigatorHints[9], en.navigatorHints[9]},
      {"operand 5", fr.operandTypeLabels[5], en.operandTypeLabels[5]},
      {"connective 1", fr.connectiveLabels[1], en.connectiveLabels[1]},
      {"universe 5", fr.universeHeaders[5], en.universeHeaders[5]},
      {"message 14", fr.messages[14], en.messages[14]},
      {"message 24", fr.messages[24], en.messages[24]},
      {"message 32", fr.messages[32], en.messages[32]},
      {"message 45", fr.messages[45], en.messages[45]},
      {"login BTSuppOra", fr.loginTexts["BTSuppOra"], en.loginTexts["BTSuppOra"]},
  };
  const QStringList expectedFrench = {
      "Objets du resultat    ",
      "Filtres de la requête   ",
      "Requête",
      "Mise à jour",
      "Ajouter une ligne pour parenthèse fermante",
      "Rafraîchir les données",
      "Sélectionner un objet",
      "ET",
      "Cryptage",
      "Connectez vous à une base Oracle puis cliquez sur le bouton \"Importer un univers\", un "
      "univers de démonstration sera installé, cliquez sur \"Requête\" et construisez votre "
      "requête.... <F1> pour l'Aide",
      "lignes transférées, Pour charger toutes les lignes, cliquez sur le bouton \"Dernier "
      "enregistrement\"...",
      "TRI: ",
      "Le coût de la requete est estimé à: ",
      ">> Supprimer",
  };
  const QStringList expectedEnglish = {
      "Result objects   ",
      "Query Filters   ",
      "Query",
      "Upgrade",
      "Add line for closing parenthese",
      "Refresh data",
      "Sélect an object",
      "AND",
      "Encryted",
      "Connect to an Oracle database, then click \"Import universe\", a universe demonstration "
      "will be installed, click on \"Query\" and build your query .... <F1> for Help",
      "lines loaded, for load all lines click on button \"Last row\"",
      "SORT: ",
      "The query cost is estimated at: ",
      ">> Delete",
  };
  for (int i = 0; i < int(std::size(samples)); ++i) {
    EXPECT_EQ(samples[i].french, expectedFrench[i]) << samples[i].what;
    EXPECT_EQ(samples[i].english, expectedEnglish[i]) << samples[i].what;
  }
}

TEST(Language, ProductPageIsTheLocalPageOfTheLanguage) {
  EXPECT_EQ(productPageUrl(frenchTexts(), "/opt/korvo"),
            QUrl::fromLocalFile("/opt/korvo/web/index_fr.html"));
  EXPECT_EQ(productPageUrl(englishTexts(), "/opt/korvo/"),
            QUrl::fromLocalFile("/opt/korvo/web/index_en.html"));
}

}  // namespace
}  // namespace korvo::kernel

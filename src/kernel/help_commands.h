#pragma once
// The help menu's documents and the update command: what is opened, and which
// catalogue entry tells the user when it cannot be.
#include <QString>
#include <QUrl>

#include "kernel/interaction.h"
#include "kernel/language.h"
#include "kernel/opener.h"

namespace korvo::kernel {

inline constexpr const char* kHelpManualFile = "Korvo-BO6.html";
inline constexpr const char* kFunctionReferenceFile = "Fonctions_sql_oracle.html";
// The external SQL reference behind "Aide SQL Oracle".
inline constexpr const char* kSqlReferenceUrl =
    "https://docs.oracle.com/en/database/oracle/oracle-database/19/sqlrf/index.html";

// What the help commands need: where the documents lie, the texts of the
// language, how to open and how to tell the user.
struct HelpContext {
  QString programFolder;
  const TextTables& texts;
  Opener& opener;
  Interaction& interaction;
};

// Opens a document of the program's folder; when it is missing or the
// platform refuses it, shows catalogue entry `missingEntry`. True when opened.
bool openProgramDocument(const HelpContext& context, const QString& fileName, int missingEntry);

// AideKorvo1 (F1): the manual "Korvo-BO6.html", entry 29 when unavailable.
bool openHelpManual(const HelpContext& context);
// AideFonctionsSqlOracle1: "Fonctions_sql_oracle.html", entry 28 when unavailable.
bool openFunctionReference(const HelpContext& context);
// AideSQLOracle1: the external SQL reference, entry 28 when it cannot be opened.
bool openSqlReference(const HelpContext& context);
// Misejour1: the product web page, entry 17 when it cannot be opened. The
// caller ends the program afterwards in both cases.
bool openUpdatePage(const HelpContext& context);

}  // namespace korvo::kernel

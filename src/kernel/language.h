#pragma once
// Every text of the interface that depends on the language, one table set per
// language (language_fr.cpp, language_en.cpp). Widgets read these tables; no
// caption is written as a literal in a widget.
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace korvo::kernel {

// Texts of the universe import and list beyond the message catalogue.
struct ImportTexts {
  QString folderRefused;       // a file of the folder is unusable: nothing was changed
  QString stagingRowsRefused;  // %1 staging table, %2 rows refused, %3 rows sent, %4 first error
  QString universeRowMissing;  // %1 the universe file
  QString undoneBeforeBuild;   // a failure while the staging tables were loaded
  QString undoneDuringBuild;   // a failure once the repository tables were being replaced
  QString unfinishedImport;    // the list found staging tables or an incomplete repository
  QString importAgain;         // the question that follows unfinishedImport in the window
};

struct TextTables {
  QString webPage;                     // product web page, relative to the program's folder
  QStringList navigatorHints;          // 10, record navigator button order
  QMap<QString, QString> menuCaptions; // by objectName (AideKorvo1 and N1 absent)
  QMap<QString, QString> captions;     // buttons, titles, check box, by objectName
  QMap<QString, QString> hints;        // toolbar button tool tips, by objectName
  QStringList leftPanelTitles;         // 0 list of values, 1 class tree
  QString operatorPanelTitle;          // Label1 over the operator and operand-type lists
  QStringList universeHeaders;         // 6
  QStringList objectHeaders;           // 4
  QStringList operatorLabels;          // 15, 0 is the invitation line
  QStringList operandTypeLabels;       // 7, 0 is the invitation line
  QStringList connectiveLabels;        // 8: 0 OR, 1 AND, 2..7 condition grid headers
  QStringList messages;                // catalogue entries 0..49, "" where unused
  QMap<QString, QString> loginTexts;   // connection dialog: Label2, Label3, BTAjouterOra, BTSuppOra, BTAnnuler
  ImportTexts importTexts;
};

const TextTables& frenchTexts();
const TextTables& englishTexts();
// "AN" gives English; "FR" and every other code give French (a code the
// program does not know falls back to French rather than to empty texts).
const TextTables& textTables(const QString& languageCode);

// The product web page of a language: the local page `webPage` (a path
// relative to the program's folder) as a file URL.
QUrl productPageUrl(const TextTables& texts, const QString& programFolder);

// The two menu captions that keep their designed text in every language.
inline constexpr const char* kHelpMenuCaption = "Aide Korvo-Sql F1";  // AideKorvo1
inline constexpr const char* kAboutMenuCaption = "?";                 // N1

// The fixed text shown when the settings file cannot be read or written.
inline constexpr const char* kSettingsPermissionMessage =
    "Insufficient permissions, file \"Korvo-BO6.ini\"";

}  // namespace korvo::kernel

// The English texts of the interface.
#include "kernel/language.h"

namespace korvo::kernel {
namespace {

TextTables makeEnglish() {
  TextTables t;
  t.webPage = "web/index_en.html";
  t.navigatorHints = {"First row",      "Previous row", "Next row",      "Last row",
                      "Insert record",  "Delete row",   "Modify record", "Commit the changes",
                      "Cancel changes", "Refresh data"};
  t.menuCaptions = {
      {"Fichier1", "File"},
      {"Nouvelleconnexion1", "Connect"},
      {"Findeconnexion1", "Disconnect"},
      {"Quitt1", "Quit"},
      {"Univers1", "Universe"},
      {"Exporter1", "Export BO 6.5 universe"},
      {"Importer1", "Import BO 6.5 universe"},
      {"Grille1", "Grid"},
      {"Copierdanslepressepapier1", "Copy to ClipBoard"},
      {"CopierdansExcel1", "Copy to Excel"},
      {"Donnes1", "Data"},
      {"statistiques", "Generate statistics"},
      {"Aides1", "Help"},
      {"AideFonctionsSqlOracle1", "Help functions SQL Oracle"},
      {"AideSQLOracle1", "Help for SQL Oracle"},
      {"AproposdeKorvo1", "About Korvo-BO6"},
      {"Misejour1", "Upgrade"},
  };
  t.captions = {
      {"connexion", "Connection"},
      {"univers", "Universe"},
      {"Requete", "Query"},
      {"resultat", "Result"},
      {"sql", "Editor"},
      {"NewKorvo", "New"},
      {"Button1", "Expand all"},
      {"Button2", "Collapse all"},
      {"Label1", "Classes and objects"},
      {"Label2", "Result objects   "},
      {"Label4", "Query Filters   "},
      {"BTSelValeur", "Select >>"},
      {"CBBloquerSql", "Do not generate SQL before execution"},
  };
  t.hints = {
      {"SBImporter", "Import universe"},
      {"SBExporter", "Export universe"},
      {"SBdropUnivers", "Drop universe"},
      {"SBNew", "New query"},
      {"SBOuvrir", "Open query"},
      {"SBEnregistrer", "Save query"},
      {"SBClasses", "Show classes"},
      {"SBExecute", "Run query"},
      {"SBtruncObj", "Remove all objects"},
      {"SBAjouter", "Add object"},
      {"SBSupprimer", "Remove object"},
      {"SBVersleBas", "Move object down"},
      {"SBVersleHaut", "Move object up"},
      {"SBTruncCond", "Remove all filters"},
      {"SBAjouterCond", "Add filter"},
      {"SBSupprimerCond", "Remove filter"},
      {"SBCVersLeBas", "Move line down"},
      {"SBCVersLeHaut", "Move line up"},
      {"SBAjouterPar", "Add parenthese"},
      {"SBSuppPar", "Remove parenthese"},
      {"SBAjouterLine", "Add line for closing parenthese"},
      {"SBCopier", "Copy result lines to clipboard"},
      {"SBExcel", "Copy result lines to Excel"},
      {"SBraf", "Refresh data"},
      {"SBNewSql", "New SQL script"},
      {"SBOpenSql", "Open SQL script"},
      {"SBSaveSql", "Save SQL script"},
      {"SBExecuteSql", "Run SQL script"},
  };
  t.leftPanelTitles = {"Values list", "Classes and objects"};
  t.operatorPanelTitle = "Operators";
  t.universeHeaders = {"Universe ID", "Universe name", "Release",
                       "Date create", "Date modify",   "Encryted"};
  t.objectHeaders = {"Id", "Measure", "Object", "Definition"};
  t.operatorLabels = {"<Select an operator>",
                      "Equal to",
                      "Different from",
                      "Greater than",
                      "Greater than or equal to",
                      "Less than",
                      "Less than or equal to",
                      "Between",
                      "Not between",
                      "In list",
                      "Not in list",
                      "Is null",
                      "Is not null",
                      "Matches pattern",
                      "Different from pattern"};
  t.operandTypeLabels = {"<Select an operand type>", "Type a new constant", "Show List of values",
                         "Insert a new prompt",      "Remove prompt",       "Sélect an object",
                         "Insert a subquery"};
  t.connectiveLabels = {"OR",       "AND",     "Id",         "Object",
                        "Operator", "Operand", "Definition", "Measure"};

  QStringList m(50);
  m[0] = "Release:";
  m[2] = "WebSite:";
  m[3] = "Requestor for ORACLE";
  m[4] = "interfaced with BO Designer 6.5.1";
  m[8] = "Enter or select values";
  m[9] = "Cancel";
  m[10] = "Values..";
  m[11] = "List of values";
  m[12] = "Cancel";
  m[13] = "Show selection only";
  m[14] =
      "Connect to an Oracle database, then click \"Import universe\", a universe demonstration "
      "will be installed, click on \"Query\" and build your query .... <F1> for Help";
  m[15] =
      "Universe to import is not available, first connect to Business Object repository and "
      "export the universe...";
  m[16] = "sqlplus.exe not found or error in statistics script...";
  m[17] = "Setup not found...";
  m[18] = "BusinessObject repository not found...";
  m[19] = "Select first universe...";
  m[20] = "Universe exported....";
  m[21] = "SGBD error...";
  m[22] = "Universe imported...";
  m[23] = "Excel not found...";
  m[24] = "lines loaded, for load all lines click on button \"Last row\"";
  m[26] = "Invalide Syntaxe, check parentheses...";
  m[27] = "Data are readonly, command not authorised...";
  m[28] = "Document not found...";
  m[29] = "Help not found...";
  m[30] = "Program will generate script, go on ?";
  m[31] = "Program will generate statistics, go on ?";
  m[32] = "SORT: ";
  m[35] = "For security, delete and retype the password before add";
  m[37] = "Do you want to encrypt the universe?";
  m[38] =
      "You will import a universe, it may take a few minutes, the current universe is removed, "
      "will you continue?";
  m[39] = "Universe deleted...";
  m[40] = "An error occurred while deleting the universe...";
  m[41] = "Cartesian product not allowed...";
  m[42] = "Invalide Syntaxe, check condition (id=";
  m[45] = "The query cost is estimated at: ";
  m[46] = ", want to continue?";
  m[47] =
      "An error occurred, check that the universe Contained no loop, BusinessObjects Designer "
      "allows for the verification...";
  m[48] = "Date format invalid, check \"Short Date\" parameter in regional setting";
  m[49] = "Are you sure you want to drop the universe?";
  t.messages = m;

  t.loginTexts = {
      {"Label2", "User / Schema:"}, {"Label3", "Password:"}, {"BTAjouterOra", "<< Add"},
      {"BTSuppOra", ">> Delete"},   {"BTAnnuler", "Cancel"},
  };

  ImportTexts& i = t.importTexts;
  i.folderRefused = "The universe was not imported: nothing was changed in the database.";
  i.stagingRowsRefused = "%1: %2 of %3 row(s) refused by the database, first error: %4";
  i.universeRowMissing = "%1: no universe row was loaded, the universe list will stay empty.";
  i.undoneBeforeBuild =
      "The import did not finish: the staging tables TMP_ were dropped, the existing repository "
      "is unchanged.";
  i.undoneDuringBuild =
      "The import did not finish: the repository tables KORVO_ and the staging tables TMP_ were "
      "dropped, no universe is installed.";
  i.unfinishedImport =
      "An earlier universe import did not finish: the schema holds staging tables TMP_ or an "
      "incomplete KORVO_ repository.";
  i.importAgain = "Do you want to import the universe again?";
  return t;
}

}  // namespace

const TextTables& englishTexts() {
  static const TextTables tables = makeEnglish();
  return tables;
}

}  // namespace korvo::kernel

// The French texts of the interface.
#include "kernel/language.h"

namespace korvo::kernel {
namespace {

TextTables makeFrench() {
  TextTables t;
  t.webPage = "web/index_fr.html";
  t.navigatorHints = {"Premier enregistrement",    "Enregistrement précédent",
                      "Enregistrement suivant",    "Dernier enregistrement",
                      "Insérer un enregistrement", "Supprimer l'enregistrement",
                      "Modifier l'enregistrement", "Valider les modifications",
                      "Annuler les modifications", "Rafraîchir les données"};
  t.menuCaptions = {
      {"Fichier1", "Fichier"},
      {"Nouvelleconnexion1", "Connexion"},
      {"Findeconnexion1", "Déconnexion"},
      {"Quitt1", "Quitter"},
      {"Univers1", "Univers"},
      {"Exporter1", "Exporter un univers BO 6.5"},
      {"Importer1", "Importer un univers BO 6.5"},
      {"Grille1", "Grille"},
      {"Copierdanslepressepapier1", "Copier dans le presse papier"},
      {"CopierdansExcel1", "Copier dans Excel"},
      {"Donnes1", "Données"},
      {"statistiques", "Générer les statistiques"},
      {"Aides1", "Aides"},
      {"AideFonctionsSqlOracle1", "Aide fonctions SQL Oracle"},
      {"AideSQLOracle1", "Aide SQL Oracle"},
      {"AproposdeKorvo1", "A propos de Korvo-BO6"},
      {"Misejour1", "Mise à jour"},
  };
  t.captions = {
      {"connexion", "Connexion"},
      {"univers", "Univers"},
      {"Requete", "Requête"},
      {"resultat", "Résultat"},
      {"sql", "Editeur"},
      {"NewKorvo", "Nouveau"},
      {"Button1", "Tout développer"},
      {"Button2", "Tout réduire"},
      {"Label1", "Classes et objets"},
      {"Label2", "Objets du resultat    "},
      {"Label4", "Filtres de la requête   "},
      {"BTSelValeur", "Selectionner >>"},
      {"CBBloquerSql", "Ne pas générer le SQL avant exécution"},
  };
  t.hints = {
      {"SBImporter", "Importer un univers"},
      {"SBExporter", "Exporter un univers"},
      {"SBdropUnivers", "Supprimer l'univers"},
      {"SBNew", "Nouvelle requête"},
      {"SBOuvrir", "Ouvrir une requête"},
      {"SBEnregistrer", "Enregistrer une requête"},
      {"SBClasses", "Afficher les classes"},
      {"SBExecute", "Exécuter une requête"},
      {"SBtruncObj", "Supprimer tous les objets"},
      {"SBAjouter", "Ajouter l'objet"},
      {"SBSupprimer", "Supprimer l'objet"},
      {"SBVersleBas", "Déplacer l'objet vers le bas"},
      {"SBVersleHaut", "Déplacer l'objet vers le haut"},
      {"SBTruncCond", "Supprimer tous les filtres"},
      {"SBAjouterCond", "Ajouter un filtre"},
      {"SBSupprimerCond", "Supprimer le filtre"},
      {"SBCVersLeBas", "Déplacer la ligne vers le bas"},
      {"SBCVersLeHaut", "Déplacer la ligne vers le haut"},
      {"SBAjouterPar", "Ajouter une parenthèse"},
      {"SBSuppPar", "Supprimer une parenthèse"},
      {"SBAjouterLine", "Ajouter une ligne pour parenthèse fermante"},
      {"SBCopier", "Copier les lignes du résultat dans le presse papier"},
      {"SBExcel", "Copier les lignes du résultat dans Excel"},
      {"SBraf", "Rafraichir les données"},
      {"SBNewSql", "Nouveau script SQL"},
      {"SBOpenSql", "Ouvrir un script SQL"},
      {"SBSaveSql", "Enregistrer le script SQL"},
      {"SBExecuteSql", "Exécuter le script SQL"},
  };
  t.leftPanelTitles = {"Liste de valeurs", "Classes et objets"};
  t.operatorPanelTitle = "Opérateurs";
  t.universeHeaders = {"Id univers",       "Nom univers",          "Version",
                       "Date de création", "Date de modification", "Cryptage"};
  t.objectHeaders = {"Id", "Mesure", "Objet", "Définition"};
  t.operatorLabels = {"<Choisissez un opérateur>",
                      "Egal à",
                      "Différent de",
                      "Supérieur à",
                      "Supérieur ou égal à",
                      "Inférieur à",
                      "Inférieur ou égal à",
                      "Entre",
                      "Pas entre",
                      "Dans liste",
                      "Pas dans liste",
                      "Non renseigné",
                      "Renseigné",
                      "Correspond au modèle",
                      "Différent du modèle"};
  t.operandTypeLabels = {
      "<Choisissez un type d'opérande>", "Saisir une nouvelle constante", "Liste de valeur",
      "Insérer une nouvelle invite",     "Supprimer une invite",          "Sélectionner un objet",
      "Insérer une sous requête"};
  t.connectiveLabels = {"OU", "ET", "Id", "Objet", "Opérateur", "Opérande", "Définition", "Mesure"};

  QStringList m(50);
  m[0] = "Version :";
  m[2] = "Site Web:";
  m[3] = "Requeteur pour ORACLE";
  m[4] = "interfacé avec BO Designer 6.5.1";
  m[8] = "Saisir ou sélectionner des valeurs";
  m[9] = "Annuler";
  m[10] = "Valeurs..";
  m[11] = "Liste des valeurs";
  m[12] = "Annuler";
  m[13] = "Afficher la sélection seulement";
  m[14] =
      "Connectez vous à une base Oracle puis cliquez sur le bouton \"Importer un univers\", un "
      "univers de démonstration sera installé, cliquez sur \"Requête\" et construisez votre "
      "requête.... <F1> pour l'Aide";
  m[15] =
      "L'univers à importer n'est pas disponible, connectez vous d'abord au référentiel Business "
      "Object et exportez l'univers...";
  m[16] = "sqlplus.exe introuvable ou erreur du script des statistiques...";
  m[17] = "Le Setup n'est pas disponible...";
  m[18] = "Référentiel BusinessObject non trouvé...";
  m[19] = "Selectionnez d'abord un univers...";
  m[20] = "Univers exporté....";
  m[21] = "Erreur SGBD...";
  m[22] = "Import univers terminé...";
  m[23] = "Excel introuvable sur ce poste...";
  m[24] =
      "lignes transférées, Pour charger toutes les lignes, cliquez sur le bouton \"Dernier "
      "enregistrement\"...";
  m[26] = "Syntaxe invalide, Vérifiez les parenthèses...";
  m[27] = "Cette base est en consultation, instruction non autorisée...";
  m[28] = "Le document n'est pas disponible...";
  m[29] = "L'aide n'est pas disponible...";
  m[30] = "Le programme va générer le script, voulez-vous continuer ?";
  m[31] = "Le programme va générer les statustiques, voulez-vous continuer ?";
  m[32] = "TRI: ";
  m[35] = "Par sécurité, effacez et retapez le mot de passe avant d'ajouter";
  m[37] = "voulez-vous crypter l'univers?";
  m[38] =
      "Vous allez importer un univers, cela peut prendre quelques minutes, l'univers courant sera "
      "supprimé, voulez-vous continuer?";
  m[39] = "L'univers a été supprimé...";
  m[40] = "Une erreur s'est produite lors de la suppression de l'univers...";
  m[41] = "Produit cartésien non autorisé...";
  m[42] = "Syntaxe invalide, Vérifiez la condition (id=";
  m[45] = "Le coût de la requete est estimé à: ";
  m[46] = ", voulez vous continuer?";
  m[47] =
      "Une erreur s'est produite, vérifiez que l'univers que contient pas de boucle, "
      "BusinessObject Designer permet de faire cette vérification...";
  m[48] =
      "Format de date invalide, vérifiez le paramètre \"Date courte\" dans les paramètres "
      "régionaux!";
  m[49] = "Etes-vous sur de vouloir supprimer l'univers?";
  t.messages = m;

  t.loginTexts = {
      {"Label2", "Utilisateur / Schéma:"},
      {"Label3", "Mot de passe:"},
      {"BTAjouterOra", "<< Ajouter"},
      {"BTSuppOra", ">> Supprimer"},
      {"BTAnnuler", "Annuler"},
  };

  ImportTexts& i = t.importTexts;
  i.folderRefused = "L'univers n'a pas été importé : rien n'a été modifié dans la base.";
  i.stagingRowsRefused =
      "%1 : %2 ligne(s) sur %3 refusée(s) par la base, première erreur : %4";
  i.universeRowMissing =
      "%1 : aucune ligne d'univers n'a été chargée, la liste des univers restera vide.";
  i.undoneBeforeBuild =
      "L'import n'est pas allé à son terme : les tables de travail TMP_ ont été supprimées, le "
      "référentiel existant est inchangé.";
  i.undoneDuringBuild =
      "L'import n'est pas allé à son terme : les tables du référentiel KORVO_ et les tables de "
      "travail TMP_ ont été supprimées, aucun univers n'est installé.";
  i.unfinishedImport =
      "Un import d'univers précédent ne s'est pas terminé : le schéma contient des tables de "
      "travail TMP_ ou un référentiel KORVO_ incomplet.";
  i.importAgain = "Voulez-vous importer l'univers de nouveau?";
  return t;
}

}  // namespace

const TextTables& frenchTexts() {
  static const TextTables tables = makeFrench();
  return tables;
}

}  // namespace korvo::kernel

#pragma once
// The set-based statements that build the repository from the staging tables.
// Their texts are the contract with a real Oracle server and stay as written.
#include <QString>
#include <QStringList>

namespace korvo::repository {

QString classCopyStatement();        // Create table KORVO_CLASS_TMP as select ...
QStringList classLevelStatements();  // parents and positions to 0, then levels 1 to 6
QString classInsertStatement();
QString joinInsertStatement();  // slices 1 to 5 of each join's text
QString objTabInsertStatement();
QString objectInsertStatement();        // comment, SELECT and WHERE texts from their slices
QStringList objectDefaultStatements();  // null positions and base date ids to 0
QStringList derivedDateStatements();    // year, month, quarter
QString tableInsertStatement();
QString universeInsertStatement();

}  // namespace korvo::repository

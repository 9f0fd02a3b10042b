#pragma once
// The two stored procedures that compute the join tree KORVO_TAB_TREE inside
// the database, as the PL/SQL lines the main window keeps in its hidden memos
// (Memo1: GEN_TAB_NODE, Memo2: GEN_TAB_TREE). Each is sent as one statement,
// its lines joined with CR LF, and then run by the anonymous block.
#include <QString>
#include <QStringList>

namespace korvo::repository {

// Memo1: attaches a table and, recursively, every table reachable from it
// through usable joins; raises -20001 when a table is reached twice.
const QStringList& genTabNodeLines();
// Memo2: empties KORVO_TAB_TREE and grows the forest from the most-joined roots.
const QStringList& genTabTreeLines();

// The statement text of a memo: its lines joined with carriage return and line feed.
QString procedureStatement(const QStringList& memoLines);

// The anonymous block that runs GEN_TAB_TREE.
inline constexpr const char* kRunJoinTreeBlock = "begin\nGEN_TAB_TREE;\nend;";

}  // namespace korvo::repository

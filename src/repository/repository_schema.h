#pragma once
// Every table the repository builds, as data: the seven KORVO_ tables, the
// staging tables an import fills from the universe folder, and the three
// demonstration tables with their rows. Statements are made from these
// definitions, so a column is named, typed and ordered in one place only.
#include <QList>
#include <QString>
#include <QStringList>

namespace korvo::repository {

struct ColumnDefinition {
  QString name;
  QString type;  // Oracle type as created: NUMBER(10), VARCHAR2(35), CHAR(2), DATE ...
  bool notNull = false;

  bool isNumber() const { return type.startsWith(QLatin1String("NUMBER")); }
};

struct TableDefinition {
  QString name;
  QList<ColumnDefinition> columns;
  QStringList uniqueKey;  // columns of the PK_ unique index; empty: no index

  // "Create table NAME (COL TYPE NOT NULL, COL TYPE, ...)"
  QString createStatement() const;
  // "create unique index PK_NAME on NAME(A, B)"; empty when the table has none.
  QString uniqueIndexStatement() const;
  const ColumnDefinition* column(const QString& columnName) const;
};

// A staging table and the universe file it is loaded from.
struct StagingTable {
  TableDefinition table;
  QString fileName;  // "UNV_CLASS.xml": relative to the universe folder
};

// KORVO_UNIVERS, KORVO_CLASS, KORVO_OBJECT, KORVO_TABLE, KORVO_JOIN,
// KORVO_OBJ_TAB, KORVO_TAB_TREE.
const TableDefinition& repositoryTable(const QString& name);
// The seven repository table names, in the order the drop uses.
QStringList repositoryTableNames();
// The staging tables in the order the import loads them.
const QList<StagingTable>& stagingTables();
// KORVO_EMP, KORVO_DEPT, KORVO_SALGRADE, in the order the import installs them.
const QList<TableDefinition>& demonstrationTables();
// "INSERT INTO KORVO_EMP VALUES (7369,'SMITH',...)", one per row, in row order.
QStringList demonstrationInserts(const QString& tableName);

// The ten BusinessObjects repository tables whose presence marks a BO schema.
QStringList businessObjectsTableNames();

}  // namespace korvo::repository

#pragma once
// An embedded-engine schema in a temporary folder with a table of numbered
// rows, for the result grid's tests.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "db/connection.h"
#include "sqlgen/result_model.h"

namespace korvo::testing {

// NUMS(ID 1..rows, NAME 'n' || ID, AMOUNT ID + 0.5, BORN a date with a time
// on odd IDs and midnight on even ones), built by doubling.
inline void createNumberedTable(db::Connection& connection, const QString& table, int rows) {
  connection.exec(QStringLiteral("create table %1 (ID number, NAME varchar2(30), AMOUNT number, "
                                 "BORN date)")
                      .arg(table));
  if (rows <= 0) return;
  connection.exec(QStringLiteral("insert into %1 values (1, 'n1', 1.5, "
                                 "to_date('2011-03-04 10:20:30', 'YYYY-MM-DD HH24:MI:SS'))")
                      .arg(table));
  for (int held = 1; held < rows; held *= 2) {
    connection.exec(QStringLiteral("insert into %1 select ID + %2, 'n' || (ID + %2), AMOUNT + %2, "
                                   "case when mod(ID + %2, 2) = 0 then trunc(BORN) + ID + %2 "
                                   "else BORN + ID + %2 end from %1 where ID + %2 <= %3")
                        .arg(table)
                        .arg(held)
                        .arg(rows));
  }
}

class ResultEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(schemas.isValid());
    alias = QStringLiteral("local:") + schemas.path();
    connection = db::connectionForAlias(alias);
    connection->open(alias, QStringLiteral("scott"), QStringLiteral("tiger"));
  }
  void TearDown() override { connection->close(); }

  QTemporaryDir schemas;
  QString alias;
  std::unique_ptr<db::Connection> connection;
};

}  // namespace korvo::testing

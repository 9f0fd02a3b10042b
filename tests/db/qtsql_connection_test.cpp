// The Qt SQL driver, run on QSQLITE: the same code serves QOCI and QODBC.
#include "db/qtsql_connection.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QTemporaryDir>

namespace korvo::db {
namespace {

class QtSqlConnectionTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    connection_.open(file(), "scott", "tiger");
    connection_.exec("CREATE TABLE emp (empno INTEGER, ename TEXT, sal REAL)");
    for (int i = 1; i <= 5; ++i) {
      connection_.exec(QStringLiteral("INSERT INTO emp VALUES (%1, 'E%1', %1.5)").arg(i));
    }
  }
  QString file() const { return dir_.filePath("test.sqlite"); }

  QTemporaryDir dir_;
  QtSqlConnection connection_{"QSQLITE"};
};

TEST_F(QtSqlConnectionTest, FetchesInPacketsAndKnowsTheEnd) {
  std::unique_ptr<Cursor> cursor = connection_.query("SELECT empno, ename FROM emp ORDER BY empno");
  QList<Row> rows;
  EXPECT_FALSE(cursor->atEnd());
  EXPECT_EQ(cursor->fetch(rows, 2), 2);
  EXPECT_FALSE(cursor->atEnd());
  EXPECT_EQ(cursor->fetch(rows, 2), 2);
  EXPECT_FALSE(cursor->atEnd());
  EXPECT_EQ(cursor->fetch(rows, 2), 1);
  EXPECT_TRUE(cursor->atEnd());
  EXPECT_EQ(cursor->fetch(rows, 2), 0);
  ASSERT_EQ(rows.size(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(rows[i].value(0), QVariant(qlonglong(i + 1)));
    EXPECT_EQ(rows[i].value(1), QVariant(QStringLiteral("E%1").arg(i + 1)));
  }
}

TEST_F(QtSqlConnectionTest, AtEndAsSoonAsTheLastRowIsDelivered) {
  std::unique_ptr<Cursor> cursor = connection_.query("SELECT empno FROM emp");
  QList<Row> rows;
  EXPECT_EQ(cursor->fetch(rows, 5), 5);
  EXPECT_TRUE(cursor->atEnd());
  std::unique_ptr<Cursor> empty = connection_.query("SELECT empno FROM emp WHERE empno > 9");
  EXPECT_EQ(empty->fetch(rows, 5), 0);
  EXPECT_TRUE(empty->atEnd());
}

TEST_F(QtSqlConnectionTest, FetchAllWithZeroOrNegative) {
  for (int packet : {0, -1}) {
    std::unique_ptr<Cursor> cursor = connection_.query("SELECT * FROM emp");
    QList<Row> rows;
    EXPECT_EQ(cursor->fetch(rows, packet), 5);
    EXPECT_TRUE(cursor->atEnd());
  }
}

TEST_F(QtSqlConnectionTest, HeadingsAndTypes) {
  std::unique_ptr<Cursor> cursor = connection_.query("SELECT empno, ename AS name, sal FROM emp");
  const QList<ColumnInfo> columns = cursor->columns();
  ASSERT_EQ(columns.size(), 3);
  EXPECT_EQ(columns[0].name, "empno");
  EXPECT_EQ(columns[1].name, "name");
  EXPECT_EQ(columns[0].type, "NUMBER");
  EXPECT_EQ(columns[1].type, "VARCHAR2");
  EXPECT_EQ(columns[2].type, "NUMBER");
}

TEST_F(QtSqlConnectionTest, ValuesTakeTheProgramsForms) {
  connection_.exec("INSERT INTO emp VALUES (NULL, '', 2.0)");
  std::unique_ptr<Cursor> cursor =
      connection_.query("SELECT empno, ename, sal FROM emp WHERE empno IS NULL OR empno = 1");
  QList<Row> rows;
  ASSERT_EQ(cursor->fetch(rows, 0), 2);
  const Row& first = rows[0][0].isNull() ? rows[0] : rows[1];
  const Row& other = rows[0][0].isNull() ? rows[1] : rows[0];
  EXPECT_TRUE(first[0].isNull());
  EXPECT_FALSE(first[0].isValid());
  EXPECT_TRUE(first[1].isNull());                            // '' is NULL, as in Oracle
  EXPECT_EQ(first[2].metaType().id(), QMetaType::LongLong);  // an integral number
  EXPECT_EQ(other[2].metaType().id(), QMetaType::Double);
  EXPECT_DOUBLE_EQ(other[2].toDouble(), 1.5);
}

TEST_F(QtSqlConnectionTest, ServerErrorsPassThroughAndLastErrorFollows) {
  try {
    connection_.exec("SELECT * FROM missing_table");
    FAIL() << "no error";
  } catch (const DbError& e) {
    EXPECT_TRUE(e.text().contains("no such table: missing_table")) << e.text().toStdString();
    EXPECT_EQ(connection_.lastError(), e.text());
  }
  EXPECT_EQ(connection_.exec("UPDATE emp SET sal = 1 WHERE empno <= 2"), 2);
  EXPECT_TRUE(connection_.lastError().isEmpty());
  EXPECT_THROW(connection_.query("SELEC nothing"), DbError);
  EXPECT_FALSE(connection_.lastError().isEmpty());
}

TEST_F(QtSqlConnectionTest, TransactionsCommitAndRollBack) {
  QtSqlConnection other("QSQLITE");
  other.open(file(), "scott", "tiger");
  auto count = [](Connection& c) {
    std::unique_ptr<Cursor> cursor = c.query("SELECT COUNT(*) FROM emp");
    QList<Row> rows;
    cursor->fetch(rows, 0);
    return rows.value(0).value(0).toLongLong();
  };
  EXPECT_FALSE(connection_.inTransaction());
  connection_.begin();
  EXPECT_TRUE(connection_.inTransaction());
  connection_.exec("DELETE FROM emp");
  EXPECT_EQ(count(connection_), 0);
  connection_.rollback();
  EXPECT_FALSE(connection_.inTransaction());
  EXPECT_EQ(count(connection_), 5);

  connection_.begin();
  connection_.exec("DELETE FROM emp WHERE empno = 1");
  connection_.commit();
  EXPECT_FALSE(connection_.inTransaction());
  EXPECT_EQ(count(other), 4);
}

TEST_F(QtSqlConnectionTest, EachConnectionHasItsOwnNameRemovedOnClose) {
  QtSqlConnection other("QSQLITE");
  other.open(file(), "u", "p");
  const QString first = connection_.connectionName();
  const QString second = other.connectionName();
  EXPECT_FALSE(first.isEmpty());
  EXPECT_NE(first, second);
  EXPECT_TRUE(QSqlDatabase::contains(second));
  other.close();
  EXPECT_FALSE(other.isOpen());
  EXPECT_FALSE(QSqlDatabase::contains(second));
  EXPECT_TRUE(connection_.isOpen());
  EXPECT_THROW(other.exec("SELECT 1"), DbError);
  EXPECT_EQ(other.lastError(), "ORA-03114: not connected to ORACLE");
}

TEST_F(QtSqlConnectionTest, CursorsOutlivingTheConnectionFailCleanly) {
  std::unique_ptr<Cursor> cursor = connection_.query("SELECT * FROM emp");
  QList<Row> rows;
  EXPECT_EQ(cursor->fetch(rows, 1), 1);
  connection_.close();
  EXPECT_THROW(cursor->fetch(rows, 1), DbError);
  EXPECT_EQ(rows.size(), 1);
}

TEST_F(QtSqlConnectionTest, StatementsWithoutRowsThroughQueryGiveAnEmptyCursor) {
  std::unique_ptr<Cursor> cursor = connection_.query("DELETE FROM emp WHERE empno = 5");
  EXPECT_TRUE(cursor->columns().isEmpty());
  EXPECT_TRUE(cursor->atEnd());
  QList<Row> rows;
  EXPECT_EQ(cursor->fetch(rows, 10), 0);
}

TEST_F(QtSqlConnectionTest, DisplayLikeAnOracleSession) {
  EXPECT_EQ(connection_.display(QVariant()), "");
  EXPECT_EQ(connection_.display(QVariant(qlonglong(7369))), "7369");
  EXPECT_EQ(connection_.display(QVariant(QStringLiteral("SMITH"))), "SMITH");
  EXPECT_EQ(connection_.display(QVariant(2.5)), "2.5");
  EXPECT_EQ(connection_.display(QDateTime(QDate(1980, 12, 17), QTime(0, 0))), "17-DEC-80");
}

TEST(QtSqlSessionSettings, ReadFromAlterSession) {
  EXPECT_EQ(nlsDateFormatSetBy("ALTER SESSION SET NLS_DATE_FORMAT='DD/MM/YYYY hh24:mi:ss'"),
            QString("DD/MM/YYYY hh24:mi:ss"));
  EXPECT_EQ(nlsDateFormatSetBy(" alter  session set nls_date_format = 'YYYY/MM/DD' "),
            QString("YYYY/MM/DD"));
  EXPECT_FALSE(nlsDateFormatSetBy("ALTER SESSION SET NLS_TIMESTAMP_FORMAT='YYYY'").has_value());
  EXPECT_FALSE(
      nlsDateFormatSetBy("SELECT 'ALTER SESSION SET NLS_DATE_FORMAT=''X''' FROM dual").has_value());
  EXPECT_EQ(decimalSeparatorSetBy("ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.,'"), QChar('.'));
  EXPECT_EQ(decimalSeparatorSetBy("ALTER SESSION SET NLS_NUMERIC_CHARACTERS=',.'"), QChar(','));
  EXPECT_FALSE(decimalSeparatorSetBy("ALTER SESSION SET NLS_NUMERIC_CHARACTERS='.'").has_value());
}

TEST(QtSqlConnectionOpen, MissingDriverNamesItAndPointsToLocal) {
  QtSqlConnection connection("QNOSUCHDRIVER");
  try {
    connection.open("ORCL", "scott", "tiger");
    FAIL() << "opened";
  } catch (const DbError& e) {
    EXPECT_TRUE(e.text().contains("QNOSUCHDRIVER")) << e.text().toStdString();
    EXPECT_TRUE(e.text().contains("local:NAME"));
    EXPECT_EQ(connection.lastError(), e.text());
  }
  EXPECT_FALSE(connection.isOpen());
  const QString oci = missingDriverMessage("QOCI");
  EXPECT_TRUE(oci.contains("QOCI"));
  EXPECT_TRUE(oci.contains("local:NAME"));
  EXPECT_TRUE(missingDriverMessage("QODBC").contains("libqt6sql6-odbc"));
}

TEST(QtSqlConnectionOpen, LocalAliasesAreNotForThisDriver) {
  QtSqlConnection connection;
  EXPECT_THROW(connection.open("local:demo", "scott", "tiger"), DbError);
  EXPECT_TRUE(connection.lastError().startsWith("ORA-12154"));
}

TEST(QtSqlConnectionOpen, FailedOpenLeavesNoConnectionBehind) {
  QTemporaryDir dir;
  QtSqlConnection connection("QSQLITE");
  const QStringList before = QSqlDatabase::connectionNames();
  // A folder cannot be opened as a database file.
  EXPECT_THROW(connection.open(dir.path() + "/no/such/folder/x.sqlite", "u", "p"), DbError);
  EXPECT_FALSE(connection.lastError().isEmpty());
  EXPECT_EQ(QSqlDatabase::connectionNames(), before);
}

TEST(ServerErrorText, TheServersWordsWithoutDriverTags) {
  EXPECT_EQ(serverErrorText(QSqlError("QODBC: Unable to connect",
                                      "[Oracle][ODBC][Ora]ORA-01017: invalid username/password; "
                                      "logon denied",
                                      QSqlError::ConnectionError)),
            "ORA-01017: invalid username/password; logon denied");
  EXPECT_EQ(serverErrorText(QSqlError("Unable to execute statement",
                                      "ORA-00942: table or view does not exist\n",
                                      QSqlError::StatementError)),
            "ORA-00942: table or view does not exist");
  // Text that merely mentions ORA- keeps its own words.
  EXPECT_EQ(serverErrorText(QSqlError("", "value ORA-1 is odd", QSqlError::StatementError)),
            "value ORA-1 is odd");
  EXPECT_EQ(serverErrorText(QSqlError("Driver not loaded", "", QSqlError::ConnectionError)),
            "Driver not loaded");
  EXPECT_FALSE(serverErrorText(QSqlError()).isEmpty());
}

}  // namespace
}  // namespace korvo::db

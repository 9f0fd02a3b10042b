// The embedded driver on the real engine, in a temporary folder of schemas.
#include "db/embedded_connection.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUuid>

#include "db/local_schema.h"

namespace korvo::db {
namespace {

constexpr const char* kInvalidLogon = "ORA-01017: invalid username/password; logon denied";

class EmbeddedConnectionTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString alias() const { return "local:" + dir_.path(); }

  static QList<Row> rowsOf(Connection& connection, const QString& sql) {
    std::unique_ptr<Cursor> cursor = connection.query(sql);
    QList<Row> rows;
    cursor->fetch(rows, 0);
    return rows;
  }

  static QString logonError(EmbeddedConnection& connection, const QString& alias,
                            const QString& user, const QString& password) {
    try {
      connection.open(alias, user, password);
    } catch (const DbError& e) {
      EXPECT_EQ(connection.lastError(), e.text());
      EXPECT_FALSE(connection.isOpen());
      return e.text();
    }
    return QString();
  }

  QTemporaryDir dir_;
};

TEST_F(EmbeddedConnectionTest, FirstConnectionCreatesTheSchema) {
  EmbeddedConnection connection;
  connection.open(alias(), "scott", "tiger");
  EXPECT_TRUE(connection.isOpen());
  EXPECT_EQ(connection.schemaFile(), dir_.filePath("SCOTT.db"));
  EXPECT_TRUE(QFileInfo::exists(dir_.filePath("SCOTT.db")));
  connection.exec("CREATE TABLE t (a NUMBER)");
  EXPECT_EQ(rowsOf(connection, "SELECT COUNT(*) FROM user_tables WHERE table_name = 'T'")
                .value(0)
                .value(0),
            QVariant(qlonglong(1)));
}

TEST_F(EmbeddedConnectionTest, PasswordIsCheckedFromTheSecondConnectionOn) {
  {
    EmbeddedConnection first;
    first.open(alias(), "scott", "tiger");
    first.exec("CREATE TABLE t (a NUMBER)");
  }
  EmbeddedConnection connection;
  EXPECT_EQ(logonError(connection, alias(), "scott", "lion"), kInvalidLogon);
  EXPECT_EQ(logonError(connection, alias(), "SCOTT", "TIGER"), kInvalidLogon);
  connection.open(alias(), "Scott", "tiger");  // user names are not case-sensitive
  EXPECT_TRUE(connection.isOpen());
  EXPECT_TRUE(connection.lastError().isEmpty());
  EXPECT_NO_THROW(connection.exec("INSERT INTO t VALUES (1)"));
  // The password is not kept in clear in the file.
  QFile file(dir_.filePath("SCOTT.db"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_FALSE(file.readAll().contains("tiger"));
}

TEST_F(EmbeddedConnectionTest, EachUserHasItsOwnSchema) {
  EmbeddedConnection scott;
  scott.open(alias(), "scott", "tiger");
  scott.exec("CREATE TABLE t (a NUMBER)");
  EmbeddedConnection blake;
  blake.open(alias(), "blake", "other");
  EXPECT_TRUE(QFileInfo::exists(dir_.filePath("BLAKE.db")));
  EXPECT_THROW(blake.exec("INSERT INTO t VALUES (1)"), DbError);
  EXPECT_TRUE(blake.lastError().startsWith("ORA-00942")) << blake.lastError().toStdString();
}

TEST_F(EmbeddedConnectionTest, EmptyOrUnsafeLogonsAreRefusedInOraclesWords) {
  EmbeddedConnection connection;
  EXPECT_EQ(logonError(connection, alias(), "", ""),
            "ORA-01004: default username feature not supported; logon denied");
  EXPECT_EQ(logonError(connection, alias(), "", "tiger"), kInvalidLogon);
  EXPECT_EQ(logonError(connection, alias(), "scott", ""),
            "ORA-01005: null password given; logon denied");
  EXPECT_EQ(logonError(connection, alias(), "../escape", "x"), kInvalidLogon);
  EXPECT_EQ(logonError(connection, alias(), "a/b", "x"), kInvalidLogon);
  EXPECT_TRUE(logonError(connection, "local:", "scott", "tiger").startsWith("ORA-12154"));
  EXPECT_TRUE(logonError(connection, "ORCL", "scott", "tiger").startsWith("ORA-12154"));
  EXPECT_TRUE(QDir(dir_.path()).entryList(QDir::Files).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(QFileInfo(dir_.path()).dir().filePath("ESCAPE.db")));
}

TEST_F(EmbeddedConnectionTest, LocalNamesLiveInTheUsersDataFolder) {
  const QString name = "test-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
  EmbeddedConnection connection;
  connection.open("local:" + name, "scott", "tiger");
  const QString folder = localDatabasesRoot() + "/" + name;
  EXPECT_EQ(connection.schemaFile(), folder + "/SCOTT.db");
  EXPECT_TRUE(QFileInfo::exists(folder + "/SCOTT.db"));
  connection.close();
  QDir(folder).removeRecursively();
}

TEST_F(EmbeddedConnectionTest, NewSchemasAreReadableByTheirOwnerOnly) {
  const QString folder = dir_.filePath("new/schemas");
  EmbeddedConnection connection;
  connection.open("local:" + folder, "scott", "tiger");
  connection.exec("CREATE TABLE t (a NUMBER)");
  connection.close();
  // Qt's permission flags: 0xf000 the owner's, 0x00ff the group's and others'.
  const auto mode = [](const QString& path) { return int(QFileInfo(path).permissions()); };
  EXPECT_EQ(mode(folder + "/SCOTT.db") & 0xf0ff, int(QFile::ReadOwner | QFile::WriteOwner));
  const int privateFolder = int(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_EQ(mode(folder) & 0xf0ff, privateFolder);
  EXPECT_EQ(mode(dir_.filePath("new")) & 0xf0ff, privateFolder);
}

TEST_F(EmbeddedConnectionTest, TwoConnectionsShareCommittedRowsOnly) {
  EmbeddedConnection writer;
  writer.open(alias(), "scott", "tiger");
  writer.exec("CREATE TABLE t (a NUMBER)");
  EmbeddedConnection reader;
  reader.open(alias(), "scott", "tiger");

  EXPECT_FALSE(writer.inTransaction());
  EXPECT_EQ(writer.exec("INSERT INTO t VALUES (1)"), 1);
  EXPECT_TRUE(writer.inTransaction());
  EXPECT_EQ(rowsOf(reader, "SELECT COUNT(*) FROM t").value(0).value(0), QVariant(qlonglong(0)));
  writer.commit();
  EXPECT_FALSE(writer.inTransaction());
  EXPECT_EQ(rowsOf(reader, "SELECT COUNT(*) FROM t").value(0).value(0), QVariant(qlonglong(1)));

  writer.exec("INSERT INTO t VALUES (2)");
  writer.rollback();
  EXPECT_EQ(rowsOf(writer, "SELECT COUNT(*) FROM t").value(0).value(0), QVariant(qlonglong(1)));
}

TEST_F(EmbeddedConnectionTest, BeginMarksATransactionUntilItEnds) {
  EmbeddedConnection connection;
  connection.open(alias(), "scott", "tiger");
  connection.begin();
  EXPECT_TRUE(connection.inTransaction());
  connection.commit();
  EXPECT_FALSE(connection.inTransaction());
  connection.begin();
  connection.rollback();
  EXPECT_FALSE(connection.inTransaction());
  // The statements COMMIT and ROLLBACK end it as the calls do.
  connection.exec("CREATE TABLE t (a NUMBER)");
  connection.begin();
  connection.exec("INSERT INTO t VALUES (1)");
  connection.exec("COMMIT");
  EXPECT_FALSE(connection.inTransaction());
  connection.begin();
  connection.exec("INSERT INTO t VALUES (2)");
  connection.exec("ROLLBACK");
  EXPECT_FALSE(connection.inTransaction());
  EXPECT_EQ(rowsOf(connection, "SELECT COUNT(*) FROM t").value(0).value(0),
            QVariant(qlonglong(1)));
}

TEST_F(EmbeddedConnectionTest, UncommittedWorkIsLostOnClose) {
  EmbeddedConnection connection;
  connection.open(alias(), "scott", "tiger");
  connection.exec("CREATE TABLE t (a NUMBER)");
  connection.exec("INSERT INTO t VALUES (1)");
  connection.close();
  connection.open(alias(), "scott", "tiger");
  EXPECT_EQ(rowsOf(connection, "SELECT COUNT(*) FROM t").value(0).value(0), QVariant(qlonglong(0)));
}

TEST_F(EmbeddedConnectionTest, AFailedStatementLeavesNothingBehind) {
  EmbeddedConnection connection;
  connection.open(alias(), "scott", "tiger");
  connection.exec("CREATE TABLE t (a NUMBER NOT NULL)");
  connection.exec("INSERT INTO t VALUES (1)");
  // The second row of this insert fails: its first row must not stay.
  EXPECT_THROW(connection.exec("INSERT INTO t SELECT 2 FROM dual UNION ALL SELECT NULL FROM dual"),
               DbError);
  EXPECT_TRUE(connection.lastError().startsWith("ORA-01400"))
      << connection.lastError().toStdString();
  // The work before it stays, in the same transaction.
  EXPECT_TRUE(connection.inTransaction());
  connection.commit();
  const QList<Row> rows = rowsOf(connection, "SELECT a FROM t ORDER BY a");
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(rows[0][0], QVariant(qlonglong(1)));
}

TEST_F(EmbeddedConnectionTest, ValuesAndHeadings) {
  EmbeddedConnection connection;
  connection.open(alias(), "scott", "tiger");
  std::unique_ptr<Cursor> cursor = connection.query(
      "SELECT 7 AS n, 2.5 half, 12345678901234 AS big, 'x' AS t, NULL AS z, '' AS e, "
      "TO_DATE('20/02/1981 10:11:12', 'DD/MM/YYYY HH24:MI:SS') AS d, 7/2 FROM dual");
  const QList<ColumnInfo> columns = cursor->columns();
  ASSERT_EQ(columns.size(), 8);
  EXPECT_EQ(columns[0].name, "N");
  EXPECT_EQ(columns[1].name, "HALF");
  EXPECT_EQ(columns[6].name, "D");
  EXPECT_EQ(columns[7].name, "7/2");
  EXPECT_EQ(columns[0].type, "NUMBER");
  EXPECT_EQ(columns[6].type, "DATE");
  QList<Row> rows;
  ASSERT_EQ(cursor->fetch(rows, 0), 1);
  const Row& row = rows[0];
  EXPECT_EQ(row[0].metaType().id(), QMetaType::LongLong);
  EXPECT_EQ(row[0].toLongLong(), 7);
  EXPECT_EQ(row[1].metaType().id(), QMetaType::Double);
  EXPECT_DOUBLE_EQ(row[1].toDouble(), 2.5);
  EXPECT_EQ(row[2], QVariant(qlonglong(12345678901234)));
  EXPECT_EQ(row[3], QVariant(QStringLiteral("x")));
  EXPECT_FALSE(row[4].isValid());
  EXPECT_FALSE(row[5].isValid());  // '' is NULL
  ASSERT_EQ(row[6].metaType().id(), QMetaType::QDateTime);
  const QDateTime date = row[6].toDateTime();
  EXPECT_EQ(date.date(), QDate(1981, 2, 20));
  EXPECT_EQ(date.time(), QTime(10, 11, 12));
  EXPECT_DOUBLE_EQ(row[7].toDouble(), 3.5);
}

TEST_F(EmbeddedConnectionTest, DisplayFollowsTheSessionFormats) {
  EmbeddedConnection connection;
  connection.open(alias(), "scott", "tiger");
  const QDateTime date(QDate(1981, 2, 20), QTime(10, 11, 12));
  EXPECT_EQ(connection.display(date), "20-FEB-81");
  connection.exec("ALTER SESSION SET NLS_DATE_FORMAT='DD/MM/YYYY hh24:mi:ss'");
  EXPECT_EQ(connection.display(date), "20/02/1981 10:11:12");
  EXPECT_EQ(connection.display(QDate(1981, 2, 20)), "20/02/1981 00:00:00");
  EXPECT_EQ(connection.display(QVariant(0.5)), ".5");
  EXPECT_EQ(connection.display(QVariant(qlonglong(7369))), "7369");
  EXPECT_EQ(connection.display(QVariant()), "");
  EXPECT_EQ(connection.display(QStringLiteral("SMITH")), "SMITH");
  // A fetched date shows the same way.
  const QList<Row> rows = rowsOf(
      connection, "SELECT TO_DATE('20/02/1981 10:11:12', 'DD/MM/YYYY HH24:MI:SS') FROM dual");
  EXPECT_EQ(connection.display(rows.value(0).value(0)), "20/02/1981 10:11:12");
}

TEST_F(EmbeddedConnectionTest, PacketsAndErrors) {
  EmbeddedConnection connection;
  connection.open(alias(), "scott", "tiger");
  connection.exec("CREATE TABLE t (a NUMBER)");
  for (int i = 0; i < 7; ++i) connection.exec(QStringLiteral("INSERT INTO t VALUES (%1)").arg(i));
  std::unique_ptr<Cursor> cursor = connection.query("SELECT a FROM t ORDER BY a");
  QList<Row> rows;
  EXPECT_EQ(cursor->fetch(rows, 3), 3);
  EXPECT_EQ(cursor->fetch(rows, 3), 3);
  EXPECT_FALSE(cursor->atEnd());
  EXPECT_EQ(cursor->fetch(rows, 3), 1);
  EXPECT_TRUE(cursor->atEnd());
  EXPECT_EQ(rows.last().value(0), QVariant(qlonglong(6)));

  EXPECT_THROW(connection.query("SELECT * FROM missing"), DbError);
  EXPECT_EQ(connection.lastError(), "ORA-00942: table or view does not exist");
  // A statement with its ';' is refused as Oracle does.
  EXPECT_THROW(connection.exec("DELETE FROM t;"), DbError);
  EXPECT_TRUE(connection.lastError().startsWith("ORA-00911"));

  // A run-time error in a row reaches the caller, from query() or from a fetch.
  connection.exec("INSERT INTO t VALUES (5)");
  try {
    std::unique_ptr<Cursor> failing = connection.query("SELECT 6 / (a - 5) FROM t");
    QList<Row> some;
    while (!failing->atEnd()) failing->fetch(some, 2);
    ADD_FAILURE() << "no error";
  } catch (const DbError& e) {
    EXPECT_TRUE(e.text().startsWith("ORA-01476")) << e.text().toStdString();
    EXPECT_EQ(connection.lastError(), e.text());
  }
}

TEST_F(EmbeddedConnectionTest, ClosingCutsOffOpenCursors) {
  EmbeddedConnection connection;
  connection.open(alias(), "scott", "tiger");
  std::unique_ptr<Cursor> cursor = connection.query("SELECT 1 FROM dual");
  connection.close();
  QList<Row> rows;
  EXPECT_THROW(cursor->fetch(rows, 1), DbError);
  EXPECT_THROW(connection.exec("SELECT 1 FROM dual"), DbError);
  EXPECT_EQ(connection.lastError(), "ORA-03114: not connected to ORACLE");
}

}  // namespace
}  // namespace korvo::db

// Alias parsing, the place of local schemas, user names as file names, the
// connect string and the password hash.
#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>

#include "db/connect_string.h"
#include "db/connection.h"
#include "db/db_alias.h"
#include "db/embedded_connection.h"
#include "db/local_schema.h"
#include "db/password_hash.h"
#include "db/qtsql_connection.h"

namespace korvo::db {
namespace {

TEST(DbAlias, PrefixesPickTheDriver) {
  struct Case {
    const char* alias;
    AliasKind kind;
    const char* target;
  };
  const Case cases[] = {
      {"local:demo", AliasKind::Local, "demo"},
      {"LOCAL:/tmp/x", AliasKind::Local, "/tmp/x"},
      {"  local: demo ", AliasKind::Local, "demo"},
      {"odbc:ORCL_DSN", AliasKind::Odbc, "ORCL_DSN"},
      {"ODBC:dsn", AliasKind::Odbc, "dsn"},
      {"ORCL", AliasKind::Oci, "ORCL"},
      {"dbhost:1521/service", AliasKind::Oci, "dbhost:1521/service"},
      {"localhost/XE", AliasKind::Oci, "localhost/XE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alias);
    const DbAlias parsed = parseAlias(QString::fromLatin1(c.alias));
    EXPECT_EQ(parsed.kind, c.kind);
    EXPECT_EQ(parsed.target, QString::fromLatin1(c.target));
  }
}

TEST(DbAlias, ConnectionForAliasPicksTheDriver) {
  EXPECT_NE(dynamic_cast<EmbeddedConnection*>(connectionForAlias("local:demo").get()), nullptr);
  EXPECT_NE(dynamic_cast<EmbeddedConnection*>(connectionForAlias("Local:/tmp/x").get()), nullptr);
  EXPECT_NE(dynamic_cast<QtSqlConnection*>(connectionForAlias("odbc:DSN").get()), nullptr);
  EXPECT_NE(dynamic_cast<QtSqlConnection*>(connectionForAlias("ORCL").get()), nullptr);
  EXPECT_FALSE(connectionForAlias("ORCL")->isOpen());
}

TEST(LocalSchema, NamesLiveUnderTheDataFolderAndPathsAreTakenAsGiven) {
  const QString root = localDatabasesRoot();
  EXPECT_TRUE(root.endsWith("/korvo-bo6/databases"));
  EXPECT_TRUE(
      root.startsWith(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)));
  EXPECT_EQ(localSchemaFolder("demo"), root + "/demo");
  EXPECT_EQ(localSchemaFolder("my_db-2.test"), root + "/my_db-2.test");
  EXPECT_EQ(localSchemaFolder("/tmp/k/../schemas"), "/tmp/schemas");
  EXPECT_EQ(localSchemaFolder("~/dbs"), QDir::homePath() + "/dbs");
  EXPECT_EQ(localSchemaFolder("sub/dir"), QDir::current().absoluteFilePath("sub/dir"));
}

TEST(LocalSchema, NamesThatCouldEscapeTheRootAreRefused) {
  for (const char* bad : {"", "  ", "..", ".hidden", "a\\b", "a b", "x:y"}) {
    SCOPED_TRACE(bad);
    try {
      localSchemaFolder(QString::fromLatin1(bad));
      ADD_FAILURE() << "accepted";
    } catch (const DbError& e) {
      EXPECT_TRUE(e.text().startsWith("ORA-12154")) << e.text().toStdString();
    }
  }
}

TEST(LocalSchema, UserNamesAreUpperCasedIdentifiers) {
  EXPECT_EQ(schemaUserName("scott"), "SCOTT");
  EXPECT_EQ(schemaUserName(" Bo_User$1 "), "BO_USER$1");
  EXPECT_EQ(schemaFilePath("/data/demo", "SCOTT"), "/data/demo/SCOTT.db");
  for (const char* bad : {"", "../etc", "a/b", "1abc", "a.b", "sc ott", "\"scott\""}) {
    SCOPED_TRACE(bad);
    try {
      schemaUserName(QString::fromLatin1(bad));
      ADD_FAILURE() << "accepted";
    } catch (const DbError& e) {
      EXPECT_EQ(e.text(), "ORA-01017: invalid username/password; logon denied");
    }
  }
}

TEST(ConnectString, UserPasswordAndAlias) {
  struct Case {
    const char* text;
    bool valid;
    const char* user;
    const char* password;
    bool hasPassword;
    const char* alias;
  };
  const Case cases[] = {
      {"scott/tiger@local:demo", true, "scott", "tiger", true, "local:demo"},
      {"scott/tiger@ORCL", true, "scott", "tiger", true, "ORCL"},
      {"scott/\"p@s/s\"@local:/tmp/x", true, "scott", "p@s/s", true, "local:/tmp/x"},
      {"scott@local:demo", true, "scott", "", false, "local:demo"},
      {"scott/@local:demo", true, "scott", "", true, "local:demo"},
      {"scott/tiger@host:1521/svc", true, "scott", "tiger", true, "host:1521/svc"},
      {"scott/tiger", false, "", "", false, ""},
      {"/tiger@x", false, "", "", false, ""},
      {"scott/tiger@", false, "", "", false, ""},
      {"scott/\"open@x", false, "", "", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<ConnectString> parsed = parseConnectString(QString::fromLatin1(c.text));
    ASSERT_EQ(parsed.has_value(), c.valid);
    if (!c.valid) continue;
    EXPECT_EQ(parsed->user, QString::fromLatin1(c.user));
    EXPECT_EQ(parsed->password, QString::fromLatin1(c.password));
    EXPECT_EQ(parsed->hasPassword, c.hasPassword);
    EXPECT_EQ(parsed->alias, QString::fromLatin1(c.alias));
  }
}

TEST(PasswordHash, MatchesOnlyTheSamePassword) {
  const QString stored = hashPassword("tiger", 1000);
  EXPECT_TRUE(passwordMatches("tiger", stored));
  EXPECT_FALSE(passwordMatches("Tiger", stored));
  EXPECT_FALSE(passwordMatches("tiger ", stored));
  EXPECT_FALSE(passwordMatches("", stored));
  EXPECT_FALSE(stored.contains("tiger"));
}

TEST(PasswordHash, SaltedAndIterated) {
  const QString first = hashPassword("tiger");
  const QString second = hashPassword("tiger");
  EXPECT_NE(first, second);  // a fresh salt each time
  const QStringList parts = first.split('$');
  ASSERT_EQ(parts.size(), 4);
  EXPECT_GE(parts[1].toInt(), 10000);
  EXPECT_EQ(parts[2].size(), 32);  // 16 salt bytes
  EXPECT_EQ(parts[3].size(), 64);  // SHA-256
  // The iteration count is part of the result.
  QStringList fewer = parts;
  fewer[1] = QString::number(parts[1].toInt() - 1);
  EXPECT_FALSE(passwordMatches("tiger", fewer.join('$')));
}

TEST(PasswordHash, MalformedStoredTextsNeverMatch) {
  const QString good = hashPassword("x", 10);
  QStringList parts = good.split('$');
  QStringList hugeCount = parts;
  hugeCount[1] = "2000000000";
  QStringList shortHash = parts;
  shortHash[3].chop(2);
  for (const QString& bad :
       {QString(), QString("x"), QString("md5$10$00$00"), hugeCount.join('$'), shortHash.join('$'),
        QString("sha256i$0$%1$%2").arg(parts[2], parts[3])}) {
    SCOPED_TRACE(bad.toStdString());
    EXPECT_FALSE(passwordMatches("x", bad));
  }
}

}  // namespace
}  // namespace korvo::db

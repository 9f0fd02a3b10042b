#include "session/login_profiles.h"

#include <gtest/gtest.h>

#include "session/password_scrambler.h"
#include "session/profile_file.h"
#include "session_test_support.h"

namespace korvo::session {
namespace {

using testing::readFile;
using testing::TemporaryCurrentFolder;
using testing::writeFile;

const QDate kToday(2026, 12, 8);

LoginProfiles withOracleProfile() {
  LoginProfiles profiles;
  Grid& grid = profiles.grid(LoginPage::Oracle);
  grid.setColumnCount(4);
  grid.setRowCount(2);
  grid.setCell(0, 0, "Base");
  grid.setCell(1, 0, "local:demo");
  grid.setCell(1, 1, "scott");
  grid.setCell(1, 2, "08/12/2026");
  grid.setCell(1, 3, CrypterMotDePasse("tiger", kPasswordKey));
  return profiles;
}

TEST(LoginProfilesTest, ClickedRowGivesTheStoredPasswordAndTheClearOneIsSent) {
  LoginProfiles profiles = withOracleProfile();
  const PageFields fields = profiles.rowFields(LoginPage::Oracle, 1);
  EXPECT_EQ(fields.database, "local:demo");
  EXPECT_EQ(fields.user, "scott");
  EXPECT_EQ(fields.password, "PMCAV");
  profiles.storedPasswordShown(LoginPage::Oracle);
  EXPECT_FALSE(profiles.passwordRetyped());
  EXPECT_EQ(profiles.clearPassword(LoginPage::Oracle, fields.password), "tiger");

  // F5 shows the clear form; what is sent stays the clear password.
  const QString shown = profiles.switchPasswordForm(LoginPage::Oracle, fields.password);
  EXPECT_EQ(shown, "tiger");
  EXPECT_EQ(profiles.clearPassword(LoginPage::Oracle, shown), "tiger");
  // F5 again: back to the stored form.
  const QString stored = profiles.switchPasswordForm(LoginPage::Oracle, shown);
  EXPECT_EQ(stored, "PMCAV");
  EXPECT_EQ(profiles.clearPassword(LoginPage::Oracle, stored), "tiger");

  // Typing makes the field a clear password again.
  profiles.passwordTyped(LoginPage::Oracle);
  EXPECT_EQ(profiles.clearPassword(LoginPage::Oracle, "secret"), "secret");
}

TEST(LoginProfilesTest, OtherPagesReadTheirOwnColumns) {
  LoginProfiles profiles;
  Grid& grid = profiles.grid(LoginPage::MySql);
  grid.setRowCount(2);
  const QStringList row = {"db", "usr", "host", "01/01/2020", "PMCAV", ""};
  for (int c = 0; c < 6; ++c) grid.setCell(1, c, row[c]);
  const PageFields fields = profiles.rowFields(LoginPage::MySql, 1);
  EXPECT_EQ(fields.database, "db");
  EXPECT_EQ(fields.user, "usr");
  EXPECT_EQ(fields.host, "host");
  EXPECT_EQ(fields.password, "PMCAV");
  profiles.storedPasswordShown(LoginPage::MySql);
  EXPECT_TRUE(profiles.showsStoredPassword(LoginPage::MySql));
  EXPECT_FALSE(profiles.showsStoredPassword(LoginPage::Oracle));
}

TEST(LoginProfilesTest, AddingAfterAClickNeedsARetypedPassword) {
  LoginProfiles profiles = withOracleProfile();
  profiles.storedPasswordShown(LoginPage::Oracle);
  const PageFields fields{"local:demo", "scott", "", "PMCAV"};
  EXPECT_EQ(profiles.addProfile(LoginPage::Oracle, fields, kToday, "DD/MM/YYYY", false),
            LoginProfiles::AddResult::MustRetype);
  EXPECT_EQ(profiles.grid(LoginPage::Oracle).rowCount(), 2);

  profiles.passwordTextChanged("PMCA");  // shrinking is not yet retyping
  EXPECT_FALSE(profiles.passwordRetyped());
  profiles.passwordTextChanged("P");
  EXPECT_TRUE(profiles.passwordRetyped());
  profiles.passwordTyped(LoginPage::Oracle);
  EXPECT_EQ(profiles.addProfile(LoginPage::Oracle, {"orcl", "hr", "", "hr!"}, kToday, "DD/MM/YYYY",
                                false),
            LoginProfiles::AddResult::Added);
  const Grid& grid = profiles.grid(LoginPage::Oracle);
  ASSERT_EQ(grid.rowCount(), 3);
  EXPECT_EQ(grid.row(2),
            (QStringList{"orcl", "hr", "08/12/2026", CrypterMotDePasse("hr!", kPasswordKey)}));
}

TEST(LoginProfilesTest, ForcedAddStoresTheRealPasswordScrambled) {
  LoginProfiles profiles = withOracleProfile();
  profiles.storedPasswordShown(LoginPage::Oracle);
  // Ctrl+Alt+P right after a click: the field holds the stored form.
  EXPECT_EQ(profiles.addProfile(LoginPage::Oracle, {"local:demo", "scott", "", "PMCAV"}, kToday,
                                "MM/DD/YYYY", true),
            LoginProfiles::AddResult::Added);
  const Grid& grid = profiles.grid(LoginPage::Oracle);
  EXPECT_EQ(grid.row(2), (QStringList{"local:demo", "scott", "12/08/2026", "PMCAV"}));
}

TEST(LoginProfilesTest, OtherPagesStoreHostAndDateInTheirColumns) {
  LoginProfiles profiles;
  EXPECT_EQ(
      profiles.addProfile(LoginPage::MsSql, {"db", "sa", "srv", "pw"}, kToday, "YYYY/MM/DD", false),
      LoginProfiles::AddResult::Added);
  const Grid& grid = profiles.grid(LoginPage::MsSql);
  EXPECT_EQ(grid.columnCount(), 6);
  EXPECT_EQ(grid.row(1), (QStringList{"db", "sa", "srv", "2026/12/08",
                                      CrypterMotDePasse("pw", kPasswordKey), ""}));
}

TEST(LoginProfilesTest, PasswordsTheFileCannotHoldAreRefused) {
  for (const QString& password : QStringList{"pass.word", "a)b", QString::fromUtf8("密码")}) {
    LoginProfiles profiles;
    QString why;
    EXPECT_EQ(profiles.addProfile(LoginPage::Oracle, {"orcl", "u", "", password}, kToday,
                                  "DD/MM/YYYY", false, &why),
              LoginProfiles::AddResult::Unstorable);
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(profiles.grid(LoginPage::Oracle).rowCount(), 1);
  }
}

TEST(LoginProfilesTest, RemovingSavesTheFile) {
  TemporaryCurrentFolder folder;
  LoginProfiles profiles = withOracleProfile();
  profiles.removeProfile(LoginPage::Oracle, 1);
  EXPECT_EQ(readFile("ParamOra.dat"), QByteArray("4\r\n1\r\nBase\r\n\r\n\r\n\r\n"));
  profiles.load(LoginPage::Oracle);
  EXPECT_EQ(profiles.grid(LoginPage::Oracle).rowCount(), 1);
  EXPECT_THROW(profiles.load(LoginPage::MsSql), ProfileFileError);
  writeFile("ParamMySql.dat", "6\r\n1\r\nBase\r\nUser\r\nHost\r\nDate\r\nPwd\r\n\r\n");
  profiles.load(LoginPage::MySql);
  EXPECT_EQ(profiles.grid(LoginPage::MySql).cell(0, 2), "Host");
}

}  // namespace
}  // namespace korvo::session

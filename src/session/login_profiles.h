#pragma once
// The state behind the connection dialog, without widgets: the three profile
// grids, the password-retyped flag, and which password fields hold the stored
// (scrambled) form of a password rather than the password itself.
#include <QDate>
#include <QString>
#include <array>

#include "session/profile_grid.h"

namespace korvo::kernel {
struct AppState;
}

namespace korvo::session {

enum class LoginPage { Oracle = 0, MsSql = 1, MySql = 2 };

// The editable fields of one page; host is unused on the Oracle page.
struct PageFields {
  QString database;
  QString user;
  QString host;
  QString password;
};

class LoginProfiles {
 public:
  LoginProfiles();

  static QString fileName(LoginPage page);  // "ParamOra.dat", "ParamMsSql.dat", "ParamMySql.dat"
  static QString dbmsType(LoginPage page);  // "ORACLE", "MSSQL", "MYSQL5"

  Grid& grid(LoginPage page) { return grids_[index(page)]; }
  const Grid& grid(LoginPage page) const { return grids_[index(page)]; }

  // Loads the page's profile file from the current folder (ProfileFileError;
  // the grid keeps its rows then). Saving writes the grid back.
  void load(LoginPage page);
  void save(LoginPage page) const;

  // A click on a row: the fields it fills, the password in its stored form.
  PageFields rowFields(LoginPage page, int row) const;
  // Once those fields are shown: the retyped flag goes off and the page's
  // password field is known to hold the stored form.
  void storedPasswordShown(LoginPage page);

  // Any change of a password field's text (typed or set): a text of one
  // character or none means the user is retyping.
  void passwordTextChanged(const QString& text);
  // The user typed in the password field: it now holds a password in clear.
  void passwordTyped(LoginPage page);
  // F5: the field switches between the stored and the clear form.
  QString switchPasswordForm(LoginPage page, const QString& fieldText);
  // The password to send or to store, whatever form the field shows.
  QString clearPassword(LoginPage page, const QString& fieldText) const;

  bool passwordRetyped() const { return passwordRetyped_; }
  bool showsStoredPassword(LoginPage page) const { return storedForm_[index(page)]; }

  enum class AddResult { Added, MustRetype, Unstorable };
  // Appends a profile from the page's fields with today's date in the program
  // short date format. Unless `force` (Ctrl+Alt+P), a password taken from a
  // row and not retyped is refused. A field the profile file cannot hold is
  // refused too, with the reason in *why. The file is not written.
  AddResult addProfile(LoginPage page, const PageFields& fields, const QDate& today,
                       const QString& dateFormat, bool force, QString* why = nullptr);

  // Removes a row (RemoveLine) and saves the grid to its file.
  void removeProfile(LoginPage page, int row);

 private:
  static int index(LoginPage page) { return static_cast<int>(page); }

  std::array<Grid, 3> grids_;
  std::array<bool, 3> storedForm_{false, false, false};
  bool passwordRetyped_ = true;
};

}  // namespace korvo::session

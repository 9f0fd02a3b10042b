#include "session/login_profiles.h"

#include <QStringList>

#include "session/password_scrambler.h"
#include "session/profile_file.h"
#include "session/short_date_format.h"

namespace korvo::session {

LoginProfiles::LoginProfiles() : grids_{Grid(5, 1), Grid(6, 1), Grid(6, 1)} {}

QString LoginProfiles::fileName(LoginPage page) {
  switch (page) {
    case LoginPage::Oracle:
      return "ParamOra.dat";
    case LoginPage::MsSql:
      return "ParamMsSql.dat";
    case LoginPage::MySql:
      return "ParamMySql.dat";
  }
  return {};
}

QString LoginProfiles::dbmsType(LoginPage page) {
  switch (page) {
    case LoginPage::Oracle:
      return "ORACLE";
    case LoginPage::MsSql:
      return "MSSQL";
    case LoginPage::MySql:
      return "MYSQL5";
  }
  return {};
}

void LoginProfiles::load(LoginPage page) { ChargerStringGrid(grid(page), fileName(page)); }

void LoginProfiles::save(LoginPage page) const {
  EnregistrerStringGrid(grid(page), fileName(page));
}

PageFields LoginProfiles::rowFields(LoginPage page, int row) const {
  const Grid& g = grid(page);
  PageFields fields;
  fields.database = g.cell(row, 0);
  fields.user = g.cell(row, 1);
  if (page == LoginPage::Oracle) {
    fields.password = g.cell(row, 3);
  } else {
    fields.host = g.cell(row, 2);
    fields.password = g.cell(row, 4);
  }
  return fields;
}

void LoginProfiles::storedPasswordShown(LoginPage page) {
  passwordRetyped_ = false;
  storedForm_[index(page)] = true;
}

void LoginProfiles::passwordTextChanged(const QString& text) {
  if (text.size() <= 1) passwordRetyped_ = true;
}

void LoginProfiles::passwordTyped(LoginPage page) { storedForm_[index(page)] = false; }

QString LoginProfiles::switchPasswordForm(LoginPage page, const QString& fieldText) {
  storedForm_[index(page)] = !storedForm_[index(page)];
  return CrypterMotDePasse(fieldText, kPasswordKey);
}

QString LoginProfiles::clearPassword(LoginPage page, const QString& fieldText) const {
  return storedForm_[index(page)] ? CrypterMotDePasse(fieldText, kPasswordKey) : fieldText;
}

LoginProfiles::AddResult LoginProfiles::addProfile(LoginPage page, const PageFields& fields,
                                                   const QDate& today, const QString& dateFormat,
                                                   bool force, QString* why) {
  if (!force && !passwordRetyped_) return AddResult::MustRetype;

  const QString clear = clearPassword(page, fields.password);
  QStringList cells;
  if (page == LoginPage::Oracle)
    cells << fields.database << fields.user << formatProgramDate(today, dateFormat);
  else
    cells << fields.database << fields.user << fields.host << formatProgramDate(today, dateFormat);
  const QStringList names = page == LoginPage::Oracle
                                ? QStringList{"database", "user", "date"}
                                : QStringList{"database", "user", "host", "date"};
  for (int i = 0; i < cells.size(); ++i) {
    const QString reason = unstorableCellReason(cells[i]);
    if (!reason.isEmpty()) {
      if (why) *why = QString("the %1: %2").arg(names[i], reason);
      return AddResult::Unstorable;
    }
  }
  // Scrambling turns "." and ")" into line breaks, which the file cannot hold.
  const QString scrambled = CrypterMotDePasse(clear, kPasswordKey);
  if (!unstorableCellReason(clear).isEmpty() || !unstorableCellReason(scrambled).isEmpty()) {
    if (why)
      *why =
          "the password: its scrambled form would hold a line break or a character "
          "outside the Windows-1252 code page";
    return AddResult::Unstorable;
  }
  cells << scrambled;

  Grid& g = grid(page);
  if (g.columnCount() < cells.size()) g.setColumnCount(static_cast<int>(cells.size()));
  const int row = g.rowCount();
  g.setRowCount(row + 1);
  for (int c = 0; c < cells.size(); ++c) g.setCell(row, c, cells[c]);
  return AddResult::Added;
}

void LoginProfiles::removeProfile(LoginPage page, int row) {
  RemoveLine(grid(page), row);
  save(page);
}

}  // namespace korvo::session

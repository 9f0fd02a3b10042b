#pragma once
// The connection dialog TForm3: profile grids and fields for Oracle (the
// Microsoft SQL Server and MySQL pages exist but their tabs are hidden), and
// the "OK" that runs the connect procedure. It is created once at start-up and
// shown while the main window is disabled; every way out enables it again.
#include <QDialog>
#include <array>

#include "session/connect_procedure.h"
#include "session/login_profiles.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace korvo::kernel {
class Opener;
}

namespace korvo::session {

class ConnectionDialog : public QDialog {
  Q_OBJECT

 public:
  // Creation runs at once: tabs, caption, language texts, "ParamOra.dat" of
  // the current folder, and the first-run message. The main window is the one
  // the dialog enables and shows when it closes.
  ConnectionDialog(const ConnectEnvironment& environment, kernel::Opener& opener, QWidget* mainWindow);

  LoginProfiles& profiles() { return profiles_; }
  // The profile grid as it stands after an outside change of profiles().
  void refreshGrid(LoginPage page);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 public slots:
  void done(int result) override;

 private:
  struct PageWidgets {
    QTableWidget* grid = nullptr;
    QLineEdit* database = nullptr;
    QLineEdit* user = nullptr;
    QLineEdit* host = nullptr;  // none on the Oracle page
    QLineEdit* password = nullptr;
    QPushButton* add = nullptr;
    QPushButton* remove = nullptr;
  };

  QWidget* buildOraclePage();
  QWidget* buildOtherPage(LoginPage page);
  QTableWidget* makeGrid(LoginPage page, const QString& name);
  void wirePasswordField(LoginPage page);
  void applyLanguage();

  PageWidgets& widgets(LoginPage page) { return pages_[static_cast<int>(page)]; }
  bool gridShowsTitleRow(LoginPage page) const;
  int currentProfileRow(LoginPage page) const;

  void onRowClicked(LoginPage page, int tableRow);
  void onTitleClicked(LoginPage page, int column);
  void onAddProfile(LoginPage page, bool force);
  void onRemoveProfile(LoginPage page);
  void onPageChanged(int index);
  void onOsAuthenticationToggled(bool checked);
  void onConnect();
  void openHelp();
  void openProductPage();
  void restoreMainWindow();

  ConnectEnvironment environment_;
  kernel::Opener& opener_;
  QWidget* mainWindow_;
  LoginProfiles profiles_;
  std::array<PageWidgets, 3> pages_;
  QTabWidget* pageControl_ = nullptr;
  QLabel* label2_ = nullptr;
  QLabel* label3_ = nullptr;
  QLabel* link_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  QCheckBox* osAuthentication_ = nullptr;
};

}  // namespace korvo::session

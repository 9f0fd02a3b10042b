#include "session/connection_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "kernel/app_state.h"
#include "kernel/help_commands.h"
#include "kernel/interaction.h"
#include "kernel/language.h"
#include "kernel/opener.h"
#include "db/connection.h"
#include "session/connect_target.h"
#include "session/profile_file.h"

namespace korvo::session {

namespace {

constexpr LoginPage kPages[] = {LoginPage::Oracle, LoginPage::MsSql, LoginPage::MySql};

QString unstorableProfileMessage(const QString& language, const QString& why) {
  if (language == "AN") return "This profile cannot be saved in a profile file: " + why;
  return "Ce profil ne peut pas être enregistré dans un fichier de profils : " + why;
}

QLineEdit* makeField(const QString& name, bool password = false) {
  auto* field = new QLineEdit;
  field->setObjectName(name);
  if (password) field->setEchoMode(QLineEdit::Password);
  field->setMinimumWidth(180);
  return field;
}

QPushButton* makeButton(const QString& name, const QString& caption) {
  auto* button = new QPushButton(caption);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

ConnectionDialog::ConnectionDialog(const ConnectEnvironment& environment, kernel::Opener& opener,
                                   QWidget* mainWindow)
    : QDialog(nullptr), environment_(environment), opener_(opener), mainWindow_(mainWindow) {
  setObjectName("TForm3");

  pageControl_ = new QTabWidget;
  pageControl_->setObjectName("PageControlCnx");
  pageControl_->addTab(buildOraclePage(), "Oracle");
  pageControl_->addTab(buildOtherPage(LoginPage::MsSql), "Microsoft SQL Server");
  pageControl_->addTab(buildOtherPage(LoginPage::MySql), "MySql");

  link_ = new QLabel;
  link_->setObjectName("Label16");
  link_->setCursor(Qt::PointingHandCursor);
  link_->setStyleSheet("color: palette(link); text-decoration: underline;");
  link_->installEventFilter(this);
  okButton_ = makeButton("BTOk", "OK");
  okButton_->setDefault(true);
  cancelButton_ = makeButton("BTAnnuler", "Annuler");

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(link_);
  bottom->addStretch(1);
  bottom->addWidget(okButton_);
  bottom->addWidget(cancelButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pageControl_);
  layout->addLayout(bottom);
  layout->setSizeConstraint(QLayout::SetFixedSize);  // a fixed border

  connect(okButton_, &QPushButton::clicked, this, &ConnectionDialog::onConnect);
  connect(cancelButton_, &QPushButton::clicked, this, &ConnectionDialog::reject);

  // Creation, in the order the program has always followed.
  pageControl_->setTabVisible(1, false);
  pageControl_->setTabVisible(2, false);
  setWindowTitle(QString("KORVO-BO6 Login, version") + " " + kernel::kVersion);
  applyLanguage();
  if (db::Connection* connection = environment_.target.connection()) connection->close();
  environment_.state.dbmsType = "ORACLE";
  // Until a session chooses its own, the program writes dates the regional way.
  if (environment_.state.shortDateFormat.isEmpty())
    environment_.state.shortDateFormat = environment_.regionalDateFormat;
  pageControl_->setCurrentIndex(0);
  connect(pageControl_, &QTabWidget::currentChanged, this, &ConnectionDialog::onPageChanged);
  try {
    profiles_.load(LoginPage::Oracle);
  } catch (const ProfileFileError& e) {
    environment_.interaction.error(e.text());
    refreshGrid(LoginPage::Oracle);
    return;
  }
  refreshGrid(LoginPage::Oracle);
  if (environment_.state.firstRun)
    environment_.interaction.inform(
        kernel::textTables(environment_.state.language).messages.value(14));
}

QWidget* ConnectionDialog::buildOraclePage() {
  PageWidgets& w = widgets(LoginPage::Oracle);
  auto* page = new QWidget;
  page->setObjectName("Oracle");
  w.grid = makeGrid(LoginPage::Oracle, "StGridparamOra");
  w.grid->installEventFilter(this);
  w.database = makeField("CnxOra");
  w.user = makeField("UsrOra");
  w.password = makeField("PwdOra", true);
  w.add = makeButton("BTAjouterOra", "<< Ajouter");
  w.remove = makeButton("BTSuppOra", ">> Supprimer");
  label2_ = new QLabel;
  label2_->setObjectName("Label2");
  label3_ = new QLabel;
  label3_->setObjectName("Label3");

  auto* fields = new QFormLayout;
  auto* databaseLabel = new QLabel("Database, TNS Alias:");
  databaseLabel->setObjectName("Label1");
  fields->addRow(databaseLabel, w.database);
  fields->addRow(label2_, w.user);
  fields->addRow(label3_, w.password);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(w.add);
  buttons->addWidget(w.remove);
  auto* right = new QVBoxLayout;
  right->addLayout(fields);
  right->addLayout(buttons);
  right->addStretch(1);
  auto* layout = new QHBoxLayout(page);
  layout->addWidget(w.grid, 1);
  layout->addLayout(right);

  wirePasswordField(LoginPage::Oracle);
  w.password->installEventFilter(this);
  return page;
}

QWidget* ConnectionDialog::buildOtherPage(LoginPage page) {
  const bool msSql = page == LoginPage::MsSql;
  PageWidgets& w = widgets(page);
  auto* widget = new QWidget;
  widget->setObjectName(msSql ? "MsSql" : "MySql");
  w.grid = makeGrid(page, msSql ? "StGridparamMsSql" : "StGridparamMysql");
  w.database = makeField(msSql ? "BddMsSql" : "BddMySql");
  w.host = makeField(msSql ? "HstMsSql" : "HstMysql");
  w.user = makeField(msSql ? "UsrMsSql" : "UsrMySql");
  w.password = makeField(msSql ? "PwdMsSql" : "PwdMySql", true);
  w.add = makeButton(msSql ? "BTAjouterMsSql" : "BTAjouterMySql", "<< Ajouter");
  w.remove = makeButton(msSql ? "BTSuppMsSql" : "BTSuppMySql", ">> Supprimer");

  auto* fields = new QFormLayout;
  fields->addRow("Database :", w.database);
  fields->addRow("Host :", w.host);
  fields->addRow("Utilisateur / Schéma :", w.user);
  fields->addRow("Mot de passe :", w.password);
  auto* right = new QVBoxLayout;
  right->addLayout(fields);
  if (msSql) {
    osAuthentication_ = new QCheckBox("OS Authentification");
    osAuthentication_->setObjectName("CBOsAuth");
    connect(osAuthentication_, &QCheckBox::toggled, this,
            &ConnectionDialog::onOsAuthenticationToggled);
    right->addWidget(osAuthentication_);
  }
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(w.add);
  buttons->addWidget(w.remove);
  right->addLayout(buttons);
  right->addStretch(1);
  auto* layout = new QHBoxLayout(widget);
  layout->addWidget(w.grid, 1);
  layout->addLayout(right);

  wirePasswordField(page);
  w.password->installEventFilter(this);
  return widget;
}

QTableWidget* ConnectionDialog::makeGrid(LoginPage page, const QString& name) {
  auto* grid = new QTableWidget;
  grid->setObjectName(name);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->verticalHeader()->setVisible(false);
  grid->horizontalHeader()->setSectionsClickable(true);
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grid->setMinimumSize(480, 200);
  connect(grid, &QTableWidget::cellClicked, this,
          [this, page](int row, int) { onRowClicked(page, row); });
  connect(grid->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this, page](int column) { onTitleClicked(page, column); });
  return grid;
}

void ConnectionDialog::wirePasswordField(LoginPage page) {
  PageWidgets& w = widgets(page);
  connect(w.password, &QLineEdit::textChanged, this,
          [this](const QString& text) { profiles_.passwordTextChanged(text); });
  connect(w.password, &QLineEdit::textEdited, this,
          [this, page](const QString&) { profiles_.passwordTyped(page); });
  connect(w.add, &QPushButton::clicked, this, [this, page] { onAddProfile(page, false); });
  connect(w.remove, &QPushButton::clicked, this, [this, page] { onRemoveProfile(page); });
}

void ConnectionDialog::applyLanguage() {
  const kernel::TextTables& texts = kernel::textTables(environment_.state.language);
  label2_->setText(texts.loginTexts.value("Label2"));
  label3_->setText(texts.loginTexts.value("Label3"));
  widgets(LoginPage::Oracle).add->setText(texts.loginTexts.value("BTAjouterOra"));
  widgets(LoginPage::Oracle).remove->setText(texts.loginTexts.value("BTSuppOra"));
  cancelButton_->setText(texts.loginTexts.value("BTAnnuler"));
  link_->setText(texts.webPage);
}

bool ConnectionDialog::gridShowsTitleRow(LoginPage page) const {
  return profiles_.grid(page).rowCount() > 1;
}

void ConnectionDialog::refreshGrid(LoginPage page) {
  const Grid& rows = profiles_.grid(page);
  QTableWidget* grid = widgets(page).grid;
  // With profiles, row 0 is the fixed title row (the header, whose clicks
  // sort); a grid holding only row 0 shows it as an ordinary row.
  const bool titled = gridShowsTitleRow(page);
  const int first = titled ? 1 : 0;
  grid->clear();
  grid->setColumnCount(rows.columnCount());
  grid->setRowCount(rows.rowCount() - first);
  grid->horizontalHeader()->setVisible(titled);
  if (titled) grid->setHorizontalHeaderLabels(rows.row(0));
  for (int r = first; r < rows.rowCount(); ++r)
    for (int c = 0; c < rows.columnCount(); ++c)
      grid->setItem(r - first, c, new QTableWidgetItem(rows.cell(r, c)));
  grid->resizeColumnsToContents();
}

int ConnectionDialog::currentProfileRow(LoginPage page) const {
  const QTableWidget* grid = pages_[static_cast<int>(page)].grid;
  const int first = gridShowsTitleRow(page) ? 1 : 0;
  return (grid->currentRow() >= 0 ? grid->currentRow() : 0) + first;
}

void ConnectionDialog::onRowClicked(LoginPage page, int tableRow) {
  const bool titled = gridShowsTitleRow(page);
  const int row = tableRow + (titled ? 1 : 0);
  PageWidgets& w = widgets(page);
  const PageFields fields = profiles_.rowFields(page, row);
  w.database->setText(fields.database);
  w.user->setText(fields.user);
  if (w.host) w.host->setText(fields.host);
  w.password->setText(fields.password);
  w.password->setFocus();
  profiles_.storedPasswordShown(page);
  // Without a title row, row 0 is also under the pointer when the button is
  // released, which sorts by the clicked column.
  if (!titled && row == 0) onTitleClicked(page, w.grid->currentColumn());
}

void ConnectionDialog::onTitleClicked(LoginPage page, int column) {
  TrierStringGrid(profiles_.grid(page), std::max(0, column), environment_.state);
  refreshGrid(page);
}

void ConnectionDialog::onAddProfile(LoginPage page, bool force) {
  PageWidgets& w = widgets(page);
  PageFields fields;
  fields.database = w.database->text();
  fields.user = w.user->text();
  if (w.host) fields.host = w.host->text();
  fields.password = w.password->text();
  QString why;
  const QString format = environment_.state.shortDateFormat;
  switch (profiles_.addProfile(page, fields, QDate::currentDate(), format, force, &why)) {
    case LoginProfiles::AddResult::MustRetype:
      environment_.interaction.inform(
          kernel::textTables(environment_.state.language).messages.value(35));
      return;
    case LoginProfiles::AddResult::Unstorable:
      environment_.interaction.inform(unstorableProfileMessage(environment_.state.language, why));
      return;
    case LoginProfiles::AddResult::Added:
      refreshGrid(page);
      return;
  }
}

void ConnectionDialog::onRemoveProfile(LoginPage page) {
  const int row = currentProfileRow(page);
  try {
    profiles_.removeProfile(page, row);
  } catch (const ProfileFileError& e) {
    environment_.interaction.error(e.text());
  }
  refreshGrid(page);
}

void ConnectionDialog::onPageChanged(int index) {
  if (index < 0 || index > 2) return;
  const LoginPage page = kPages[index];
  environment_.state.dbmsType = LoginProfiles::dbmsType(page);
  if (db::Connection* connection = environment_.target.connection()) connection->close();
  if (page != LoginPage::Oracle) environment_.state.planTablePresent = false;
  try {
    profiles_.load(page);
  } catch (const ProfileFileError& e) {
    environment_.interaction.error(e.text());
  }
  refreshGrid(page);
}

void ConnectionDialog::onOsAuthenticationToggled(bool checked) {
  for (QLineEdit* field : {widgets(LoginPage::MsSql).user, widgets(LoginPage::MsSql).password}) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, checked ? QApplication::palette().color(QPalette::Button)
                                             : QApplication::palette().color(QPalette::Base));
    field->setPalette(palette);
    field->setEnabled(!checked);
  }
}

void ConnectionDialog::onConnect() {
  PageWidgets& w = widgets(LoginPage::Oracle);
  // The password is sent in clear even when the field shows a profile's
  // stored form: a saved profile logs in as saved.
  const LoginFields fields{w.database->text(), w.user->text(),
                           profiles_.clearPassword(LoginPage::Oracle, w.password->text())};
  const ConnectOutcome outcome = Connexion(fields, profiles_.grid(LoginPage::Oracle), environment_);
  refreshGrid(LoginPage::Oracle);
  if (outcome == ConnectOutcome::Connected) accept();
}

void ConnectionDialog::openHelp() {
  const kernel::HelpContext context{QDir::currentPath(), kernel::textTables(environment_.state.language),
                                 opener_, environment_.interaction};
  kernel::openHelpManual(context);
}

void ConnectionDialog::openProductPage() {
  const QString folder = environment_.state.programFolder.isEmpty()
                             ? QDir::currentPath()
                             : environment_.state.programFolder;
  QApplication::setOverrideCursor(Qt::BusyCursor);
  opener_.open(kernel::productPageUrl(kernel::textTables(environment_.state.language), folder));
  QApplication::restoreOverrideCursor();
}

bool ConnectionDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == link_ && event->type() == QEvent::MouseButtonRelease) {
    openProductPage();
    return true;
  }
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  const PageWidgets& oracle = widgets(LoginPage::Oracle);
  if (key->key() == Qt::Key_F1 && (watched == oracle.grid || watched == oracle.password)) {
    openHelp();
    return true;
  }
  for (LoginPage page : kPages) {
    QLineEdit* password = widgets(page).password;
    if (watched != password) continue;
    if (key->key() == Qt::Key_F5) {
      password->setText(profiles_.switchPasswordForm(page, password->text()));
      return true;
    }
    const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (key->key() == Qt::Key_P && modifiers == (Qt::ControlModifier | Qt::AltModifier)) {
      onAddProfile(page, true);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void ConnectionDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (mainWindow_ && !event->spontaneous()) {
    const QRect frame = mainWindow_->frameGeometry();
    move(frame.center() - rect().center());
  }
  widgets(LoginPage::Oracle).grid->setFocus();
}

void ConnectionDialog::done(int result) {
  QDialog::done(result);
  restoreMainWindow();
}

void ConnectionDialog::restoreMainWindow() {
  if (!mainWindow_) return;
  mainWindow_->setEnabled(true);
  mainWindow_->show();
}

}  // namespace korvo::session

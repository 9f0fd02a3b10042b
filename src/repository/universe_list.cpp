#include "repository/universe_list.h"

#include <QDateTime>

#include "db/statement_runner.h"
#include "kernel/ini_file.h"
#include "kernel/language.h"
#include "kernel/settings.h"
#include "repository/repository_schema.h"

namespace korvo::repository {
namespace {

constexpr const char* kVorlanNotice =
    "Vous êtes connecté à une base Vorlan, à terme l'accès aux bases Vorlan ne sera pas maintenu  "
    "...";
constexpr const char* kVorlanQuery =
    "select ((select count(*) from H_PERSFAM) + (select count(*) from H_VALEU)) from dual";

long long countOf(db::Connection& connection, const QString& sql) {
  auto cursor = connection.query(sql);
  QList<db::Row> rows;
  cursor->fetch(rows, 1);
  if (rows.isEmpty() || rows.first().isEmpty()) return 0;
  return rows.first().first().toLongLong();
}

QString quotedNames(const QStringList& names, int breakAfter) {
  QString text;
  for (int i = 0; i < names.size(); ++i) {
    if (i > 0) text += (i == breakAfter) ? QStringLiteral(", ") : QStringLiteral(",");
    text += '\'' + names[i] + '\'';
  }
  return text;
}

}  // namespace

QString businessObjectsTableCountQuery() {
  return QStringLiteral("select count(*) from user_tables where table_name in (%1)")
      .arg(quotedNames(businessObjectsTableNames(), 5));
}

QString repositoryTableCountQuery() {
  return QStringLiteral("select count(*) from user_tables where table_name in (%1)")
      .arg(quotedNames(repositoryTableNames(), 3));
}

QString stagingTableCountQuery() {
  QStringList names;
  for (const StagingTable& staging : stagingTables()) names << staging.table.name;
  names << QStringLiteral("KORVO_CLASS_TMP");
  return QStringLiteral("select count(*) from user_tables where table_name in (%1)")
      .arg(quotedNames(names, 5));
}

UniverseList::UniverseList(db::Connection& connection, kernel::Interaction& interaction,
                           const kernel::AppState& state)
    : connection_(connection), interaction_(interaction), state_(state) {
  Init_StringGridUniv();
}

void UniverseList::Init_StringGridUniv() {
  grid_ = preparedUniverseGrid(kernel::textTables(state_.language).universeHeaders);
  if (gridChanged) gridChanged();
}

bool UniverseList::Init_Univers() {
  if (treeLoaded && treeLoaded()) return true;
  if (resetQueryGrids) resetQueryGrids();
  Init_StringGridUniv();
  boRepository_ = repository_ = vorlan_ = unfinishedImport_ = false;

  try {
    if (countOf(connection_, businessObjectsTableCountQuery()) == 10) {
      boRepository_ = true;
    } else {
      const long long repositoryTables = countOf(connection_, repositoryTableCountQuery());
      repository_ = repositoryTables == 7;
      // An import builds KORVO_UNIVERS last and drops its staging tables as
      // it goes: some repository tables without all, or a staging table, are
      // what an interrupted import leaves.
      unfinishedImport_ = (repositoryTables > 0 && repositoryTables < 7) ||
                          countOf(connection_, stagingTableCountQuery()) > 0;
      try {
        vorlan_ = countOf(connection_, QString::fromLatin1(kVorlanQuery)) > 0;
      } catch (const db::DbError&) {
        vorlan_ = false;  // no VORLAN tables: not a VORLAN base
      }
      if (vorlan_) noticeVorlanOnce();
    }
  } catch (const db::DbError& e) {
    boRepository_ = repository_ = vorlan_ = unfinishedImport_ = false;
    interaction_.error(e.text());
    return false;
  }

  const QStringList& headers = kernel::textTables(state_.language).universeHeaders;
  const auto alias = [&headers](int i) { return QStringLiteral(" \"%1\"").arg(headers.value(i)); };
  QString listQuery;
  if (repository_) {
    listQuery = "select UN_IDUNIV" + alias(0) + ", UN_NAME" + alias(1) + ", UN_VERSION" + alias(2) +
                ", UN_CREATEDATE" + alias(3) + ", UN_MODIFYDATE" + alias(4) + ", UN_CRYPTAGE" +
                alias(5) + " from KORVO_UNIVERS order by UN_NAME";
  }
  if (boRepository_) {
    listQuery = "select UNIVERSE_ID" + alias(0) + ", UNI_LONGNAME" + alias(1) + ", UNI_VERSION" +
                alias(2) + ", UNI_CREATEDATE" + alias(3) + ", UNI_MODIFYDATE" + alias(4) +
                " from UNV_UNIVERSE order by UNI_LONGNAME";
  }
  if (!listQuery.isEmpty()) {
    try {
      RemplirStringGrid(grid_, listQuery);
    } catch (const db::DbError& e) {
      interaction_.error(e.text());
      return false;
    }
  }
  if (gridChanged) gridChanged();
  if (unfinishedImport_ && importsRunning_ == 0) reportUnfinishedImport();
  return true;
}

void UniverseList::reportUnfinishedImport() {
  const kernel::ImportTexts& texts = kernel::textTables(state_.language).importTexts;
  if (!importAgain) {
    interaction_.inform(texts.unfinishedImport);
    return;
  }
  if (interaction_.confirm(texts.unfinishedImport + ' ' + texts.importAgain)) importAgain();
}

void UniverseList::noticeVorlanOnce() {
  const QString path = kernel::findSettingsFile(state_.programFolder);
  if (path.isEmpty()) {
    interaction_.inform(QString::fromUtf8(kVorlanNotice));
    return;
  }
  const auto file = kernel::readIniFile(path);
  const QString seen =
      file ? file->value(kernel::kSettingsSection, QStringLiteral("VORLAN")).value_or(QString())
           : QString();
  if (seen.isEmpty()) interaction_.inform(QString::fromUtf8(kVorlanNotice));
  // Remember it so the notice is shown once per installation; a settings file
  // that cannot be written only means the notice comes back next time.
  kernel::writeIniValue(path, kernel::kSettingsSection, QStringLiteral("VORLAN"), QStringLiteral("YES"));
}

QString UniverseList::cellText(const QVariant& value) const {
  if (value.isNull()) return QString();
  const int type = value.typeId();
  if ((type == QMetaType::QDateTime || type == QMetaType::QDate) &&
      !state_.shortDateFormat.isEmpty()) {
    // A short date format names the month with m as the Windows settings do.
    QString format = state_.shortDateFormat;
    format.replace('m', 'M').replace('D', 'd').replace('Y', 'y');
    const QDate date = type == QMetaType::QDate ? value.toDate() : value.toDateTime().date();
    return date.toString(format);
  }
  return connection_.display(value);
}

void UniverseList::RemplirStringGrid(Grid& grid, const QString& sql) {
  auto cursor = connection_.query(sql);
  QStringList headers;
  for (const db::ColumnInfo& column : cursor->columns()) headers << column.name;
  Grid filled = Grid::withHeaders(headers, 0);
  QList<db::Row> rows;
  cursor->fetch(rows, 0);
  for (const db::Row& row : rows) {
    QStringList texts;
    for (int c = 0; c < headers.size(); ++c) texts << cellText(row.value(c));
    filled.appendRow(texts);
  }
  if (filled.rowCount() == 1) filled.appendRow();
  grid = filled;
}

void UniverseList::StringGridUnivClick(int gridRow) {
  selectedId_ = gridRow >= 1 ? grid_.cell(gridRow, 0) : QString();
}

void UniverseList::SBdropUniversClick() {
  if (interaction_.confirm(kernel::textTables(state_.language).messages.value(49))) DropUnivers();
}

void UniverseList::DropUnivers() {
  if (!repository_) return;
  const kernel::TextTables& texts = kernel::textTables(state_.language);
  // A drop stopped halfway would leave part of a repository: it is not
  // cancelled (each of its statements is short).
  const db::StatementRunner::Recovery wholeDrop(connection_);
  interaction_.progress(QStringLiteral("drop table KORVO_"));
  QStringList tables = repositoryTableNames();
  for (const TableDefinition& demo : demonstrationTables()) tables << demo.name;
  for (const QString& table : tables) {
    try {
      connection_.exec(QStringLiteral("drop table ") + table);
    } catch (const db::DbError&) {
      // A table that cannot be dropped shows in the count below.
    }
  }
  try {
    if (countOf(connection_, repositoryTableCountQuery()) != 0) {
      interaction_.progress(QString());
      interaction_.inform(texts.messages.value(40));
      return;
    }
  } catch (const db::DbError& e) {
    interaction_.progress(QString());
    interaction_.error(e.text());
    return;
  }
  interaction_.progress(QString());
  interaction_.inform(texts.messages.value(39));
  Init_Univers();
}

}  // namespace korvo::repository

#include "repository/universe_export.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

#include "db/statement_runner.h"
#include "kernel/language.h"
#include "repository/data_packet_io.h"
#include "repository/name_scrambling.h"

namespace korvo::repository {

namespace {

constexpr int kExportKey = 9583;

// The scrambled files' text fields and widths.
QList<DataPacketField> scrambledFields(const QString& nameColumn) {
  using F = DataPacketField;
  if (nameColumn == QLatin1String("CLS_NAME"))
    return {F::string("CLASS_ID", 10),    F::string("UNIVERSE_ID", 10), F::string("CLS_NAME", 35),
            F::string("CLS_BASECLASSID", 10), F::string("CLS_HIDDEN", 2), F::string("CLS_POSITION", 10)};
  return {F::string("OBJECT_ID", 5),   F::string("UNIVERSE_ID", 5),   F::string("CLASS_ID", 100),
          F::string("OBJ_NAME", 1000), F::string("OBJ_HIDDEN", 1000), F::string("OBJ_POSITION", 1000)};
}

DataPacketField fieldFor(const db::ColumnInfo& column) {
  const QString type = column.type.toUpper();
  if (type == QLatin1String("NUMBER")) {
    if (column.precision > 0) {
      DataPacketField f = DataPacketField::of(column.name, FieldType::FixedFMT);
      f.width = column.precision;
      f.decimals = column.scale;
      return f;
    }
    return DataPacketField::of(column.name, FieldType::Fixed);
  }
  if (type == QLatin1String("DATE")) return DataPacketField::of(column.name, FieldType::DateTime);
  return DataPacketField::string(column.name, column.length);
}

// Moves the ten files written into `staging` over those of `folder`; when one
// move fails the files already moved are put back, so the folder holds either
// the old ten or the new ten.
bool replaceFiles(const QString& staging, const QString& folder, const QStringList& names,
                  QString& fault) {
  const QDir from(staging);
  const QDir to(folder);
  const QString keep = from.filePath(QStringLiteral("previous"));
  if (!QDir().mkpath(keep)) {
    fault = keep;
    return false;
  }
  struct Moved {
    QString name;
    bool hadOld;
  };
  QList<Moved> done;
  const auto undo = [&] {
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
      const QByteArray target = QFile::encodeName(to.filePath(it->name));
      if (it->hadOld)
        std::rename(QFile::encodeName(QDir(keep).filePath(it->name)).constData(), target.constData());
      else
        std::remove(target.constData());
    }
  };
  for (const QString& name : names) {
    const QString target = to.filePath(name);
    const bool hadOld = QFileInfo::exists(target);
    // A copy of the old file is kept aside for the undo, then the new one
    // takes its name in one rename, so the name never goes missing.
    if (hadOld && !QFile::copy(target, QDir(keep).filePath(name))) {
      fault = target;
      undo();
      return false;
    }
    if (std::rename(QFile::encodeName(from.filePath(name)).constData(),
                    QFile::encodeName(target).constData()) != 0) {
      fault = target;
      undo();
      return false;
    }
    done << Moved{name, hadOld};
  }
  return true;
}

}  // namespace

bool isUniverseIdText(const QString& id) {
  if (id.isEmpty() || id.size() > 10) return false;
  for (QChar c : id)
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  return true;
}

QList<ExportFile> exportFiles(bool scrambled) {
  return {
      {QStringLiteral("select CLASS_ID, UNIVERSE_ID, CLS_NAME, CLS_BASECLASSID, CLS_HIDDEN, "
                      "CLS_POSITION from UNV_CLASS where UNIVERSE_ID ="),
       QStringLiteral("UNV_CLASS.xml")},
      {QStringLiteral("select CLASS_ID, UNIVERSE_ID, CLS_DATATYPE, CLS_SLICE, CLS_DATAVALUE from "
                      "UNV_CLASS_DATA where UNIVERSE_ID ="),
       QStringLiteral("UNV_CLASS_DATA.xml")},
      {QStringLiteral("select JOIN_ID, UNIVERSE_ID, JN_DATATYPE, JN_SLICE, JN_DATAVALUE from "
                      "UNV_JOIN_DATA where UNIVERSE_ID ="),
       QStringLiteral("UNV_JOIN_DATA.xml")},
      {QStringLiteral("select JOIN_ID, UNIVERSE_ID, JN_TABLE1_ID, JN_TABLE2_ID, JN_PROP from "
                      "UNV_JOINCONTENT where UNIVERSE_ID ="),
       QStringLiteral("UNV_JOINCONTENT.xml")},
      {QStringLiteral("select OBJECT_ID, TABLE_ID, UNIVERSE_ID  from UNV_OBJ_TAB where UNIVERSE_ID ="),
       QStringLiteral("UNV_OBJ_TAB.xml")},
      {QStringLiteral("select OBJECT_ID, UNIVERSE_ID, OBJ_DATATYPE, OBJ_SLICE, OBJ_DATAVALUE  from "
                      "UNV_OBJECT_DATA where UNIVERSE_ID ="),
       QStringLiteral("UNV_OBJECT_DATA.xml")},
      {QStringLiteral("select OBJECT_ID, UNIVERSE_ID, OBJ_PROP, OBJ_BASICDATE_ID from "
                      "UNV_OBJCONTENT where UNIVERSE_ID ="),
       QStringLiteral("UNV_OBJCONTENT.xml")},
      {QStringLiteral("select OBJECT_ID, UNIVERSE_ID, CLASS_ID, OBJ_NAME, OBJ_HIDDEN, OBJ_POSITION "
                      "from UNV_OBJECT where UNIVERSE_ID ="),
       QStringLiteral("UNV_OBJECT.xml")},
      {QStringLiteral("select TABLE_ID, UNIVERSE_ID, TAB_NAME, ALIAS_TABLE from UNV_TABLE where "
                      "UNIVERSE_ID ="),
       QStringLiteral("UNV_TABLE.xml")},
      {scrambled ? QStringLiteral("select UNIVERSE_ID, UNI_LONGNAME, UNI_VERSION, UNI_CREATEDATE, "
                                  "UNI_MODIFYDATE, 'Y' UNI_CRYPTAGE from UNV_UNIVERSE where "
                                  "UNIVERSE_ID =")
                 : QStringLiteral("select UNIVERSE_ID, UNI_LONGNAME, UNI_VERSION, UNI_CREATEDATE, "
                                  "UNI_MODIFYDATE, 'N' UNI_CRYPTAGE  from UNV_UNIVERSE where "
                                  "UNIVERSE_ID ="),
       QStringLiteral("UNV_UNIVERSE.xml")},
  };
}

DataPacket packetFromCursor(db::Cursor& cursor) {
  QList<DataPacketField> fields;
  for (const db::ColumnInfo& column : cursor.columns()) fields << fieldFor(column);
  DataPacket packet(fields);
  QList<db::Row> rows;
  cursor.fetch(rows, 0);
  for (const db::Row& row : rows) {
    const int r = packet.appendRow();
    for (int c = 0; c < row.size() && c < packet.fieldCount(); ++c)
      if (!row[c].isNull()) packet.setValue(r, c, row[c]);
  }
  return packet;
}

DataPacket scrambledPacket(db::Cursor& cursor, const QString& nameColumn) {
  DataPacket packet(scrambledFields(nameColumn));
  const int nameAt = nameColumn == QLatin1String("CLS_NAME") ? 2 : 3;
  QList<db::Row> rows;
  cursor.fetch(rows, 0);
  for (const db::Row& row : rows) {
    const int r = packet.appendRow();
    for (int c = 0; c < packet.fieldCount(); ++c) {
      const QVariant value = row.value(c);
      QString text = value.isNull() ? QString(QLatin1String("")) : value.toString();
      if (c == nameAt) text = CrypterNom(text, kExportKey);
      packet.setValue(r, c, text);
    }
  }
  return packet;
}

UniverseExport::UniverseExport(db::Connection& connection, kernel::Interaction& interaction,
                               const kernel::AppState& state, QString folder)
    : connection_(connection), interaction_(interaction), state_(state), folder_(std::move(folder)) {}

QString UniverseExport::message(int entry) const {
  return kernel::textTables(state_.language).messages.value(entry);
}

QString UniverseExport::text(const char* french, const char* english) const {
  return QString::fromUtf8(state_.language == QLatin1String("FR") ? french : english);
}

QString UniverseExport::tooLongObjectId(const QString& universeId) {
  if (universeId.size() > 5) return universeId;
  auto cursor = connection_.query(
      QStringLiteral("select OBJECT_ID from UNV_OBJECT where length(OBJECT_ID) > 5 and UNIVERSE_ID =") +
      universeId);
  QList<db::Row> rows;
  cursor->fetch(rows, 1);
  return rows.isEmpty() ? QString() : rows[0].value(0).toString();
}

void UniverseExport::writeFiles(const QString& universeId, const QString& into) {
  for (const ExportFile& file : exportFiles(scrambled_)) {
    auto cursor = connection_.query(file.query + universeId);
    const QString path = QDir(into).filePath(file.fileName);
    DataPacket packet;
    if (scrambled_ && file.fileName == QLatin1String("UNV_CLASS.xml"))
      packet = scrambledPacket(*cursor, QStringLiteral("CLS_NAME"));
    else if (scrambled_ && file.fileName == QLatin1String("UNV_OBJECT.xml"))
      packet = scrambledPacket(*cursor, QStringLiteral("OBJ_NAME"));
    else
      packet = packetFromCursor(*cursor);
    saveDataPacketFile(path, packet);
  }
}

ExportOutcome UniverseExport::ExporterUnivers(bool boRepositoryFound, const QString& universeId) {
  if (!boRepositoryFound) {
    interaction_.inform(message(18));
    return ExportOutcome::NoRepository;
  }
  if (universeId.isEmpty()) {
    interaction_.inform(message(19));
    return ExportOutcome::NoUniverse;
  }
  if (!isUniverseIdText(universeId)) {
    interaction_.error(text("« %1 » n'est pas un identifiant d'univers : rien n'a été exporté.",
                            "\"%1\" is not a universe id: nothing was exported.")
                           .arg(universeId));
    return ExportOutcome::Refused;
  }
  scrambled_ = interaction_.confirm(message(37));

  // The ten queries are one activity of the window: shown and cancelled as one.
  const db::StatementRunner::Activity activity(
      connection_, text("Export de l'univers…", "Exporting the universe…"));
  try {
    if (scrambled_) {
      // The scrambled object file holds ids of five characters: one cut
      // would point the objects at other classes or universes.
      const QString tooLong = tooLongObjectId(universeId);
      if (!tooLong.isEmpty()) {
        interaction_.error(
            text("L'identifiant %1 dépasse les cinq caractères du fichier des objets crypté : rien "
                 "n'a été exporté.",
                 "The id %1 is longer than the five characters of the scrambled object file: "
                 "nothing was exported.")
                .arg(tooLong));
        return ExportOutcome::Refused;
      }
    }
    const QString folder = QDir(folder_).absolutePath();
    if (!QDir().mkpath(folder)) {
      interaction_.error(text("Le dossier %1 ne peut pas être créé : rien n'a été exporté.",
                              "The folder %1 cannot be created: nothing was exported.")
                             .arg(folder));
      return ExportOutcome::Failed;
    }
    // Beside the universe folder, on the same file system, so the moves are renames.
    QTemporaryDir staging(QFileInfo(folder).absolutePath() + QStringLiteral("/.") +
                          QFileInfo(folder).fileName() + QStringLiteral("-export-XXXXXX"));
    if (!staging.isValid()) {
      interaction_.error(text("Aucun dossier de travail ne peut être créé près de %1 : rien n'a "
                              "été exporté.",
                              "No work folder can be created beside %1: nothing was exported.")
                             .arg(folder));
      return ExportOutcome::Failed;
    }
    writeFiles(universeId, staging.path());
    QStringList names;
    for (const ExportFile& file : exportFiles(scrambled_)) names << file.fileName;
    QString fault;
    if (!replaceFiles(staging.path(), folder, names, fault)) {
      interaction_.error(text("%1 ne peut pas être remplacé : le dossier des univers est resté tel "
                              "qu'il était.",
                              "%1 cannot be replaced: the universe folder was left as it was.")
                             .arg(fault));
      return ExportOutcome::Failed;
    }
  } catch (const db::DbError& e) {
    interaction_.error(e.text() + QLatin1Char('\n') +
                       text("Le dossier des univers est resté tel qu'il était.",
                            "The universe folder was left as it was."));
    return ExportOutcome::Failed;
  } catch (const DataPacketError& e) {
    interaction_.error(e.text() + QLatin1Char('\n') +
                       text("Le dossier des univers est resté tel qu'il était.",
                            "The universe folder was left as it was."));
    return ExportOutcome::Failed;
  }
  interaction_.inform(message(20));
  return ExportOutcome::Finished;
}

}  // namespace korvo::repository

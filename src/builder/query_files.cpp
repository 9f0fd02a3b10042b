#include "builder/query_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <memory>
#include <vector>

#include "repository/data_packet_io.h"

namespace korvo::builder {

using repository::DataPacket;
using repository::DataPacketError;
using repository::DataPacketField;

namespace {

const QString kAnd = QStringLiteral("AND");
const QString kOr = QStringLiteral("OR");

// The neutral form of operators is their English label.
const TextTables& neutral() { return kernel::englishTexts(); }

QString fieldName(const DataPacketField& f) { return f.name; }

QString checkFields(const DataPacket& packet, const QList<DataPacketField>& expected,
                    const QString& fileName) {
  if (packet.fieldCount() < expected.size())
    return QStringLiteral("%1: %2 fields found, %3 expected (%4)")
        .arg(QDir::toNativeSeparators(fileName))
        .arg(packet.fieldCount())
        .arg(expected.size())
        .arg([&] {
          QStringList names;
          for (const DataPacketField& f : expected) names << fieldName(f);
          return names.join(QStringLiteral(", "));
        }());
  for (int i = 0; i < expected.size(); ++i) {
    if (packet.fields()[i].name != expected[i].name)
      return QStringLiteral("%1: field %2 is \"%3\", \"%4\" expected")
          .arg(QDir::toNativeSeparators(fileName))
          .arg(i + 1)
          .arg(packet.fields()[i].name, expected[i].name);
  }
  return QString();
}

// A file written beside its final name, renamed into place later.
struct PendingFile {
  QString finalPath;
  std::unique_ptr<QTemporaryFile> temporary;
  QString backup;  // the file it replaces, moved aside while both are renamed
};

QString writePending(PendingFile& pending, const DataPacket& packet) {
  const QFileInfo info(pending.finalPath);
  if (!info.absoluteDir().exists())
    return QStringLiteral("%1: the folder %2 does not exist")
        .arg(QDir::toNativeSeparators(pending.finalPath),
             QDir::toNativeSeparators(info.absolutePath()));
  pending.temporary = std::make_unique<QTemporaryFile>(
      info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
  if (!pending.temporary->open())
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(pending.finalPath),
                                        pending.temporary->errorString());
  const QByteArray bytes = repository::writeDataPacket(packet);
  if (pending.temporary->write(bytes) != bytes.size() || !pending.temporary->flush())
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(pending.finalPath),
                                        pending.temporary->errorString());
  pending.temporary->close();
  return QString();
}

// Moves every written file into place, or puts everything back.
QString commit(std::vector<PendingFile>& files) {
  auto undo = [&files](size_t placed) {
    for (size_t i = 0; i < placed; ++i) QFile::remove(files[i].finalPath);
    for (PendingFile& f : files)
      if (!f.backup.isEmpty()) QFile::rename(f.backup, f.finalPath);
  };
  for (PendingFile& f : files) {
    if (!QFileInfo::exists(f.finalPath)) continue;
    f.backup = f.temporary->fileName() + QStringLiteral(".old");
    if (!QFile::rename(f.finalPath, f.backup)) {
      f.backup.clear();
      undo(0);
      return QStringLiteral("%1: the file cannot be replaced")
          .arg(QDir::toNativeSeparators(f.finalPath));
    }
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (!QFile::rename(files[i].temporary->fileName(), files[i].finalPath)) {
      undo(i);
      return QStringLiteral("%1: the file cannot be written")
          .arg(QDir::toNativeSeparators(files[i].finalPath));
    }
    files[i].temporary->setAutoRemove(false);
  }
  for (PendingFile& f : files)
    if (!f.backup.isEmpty()) QFile::remove(f.backup);
  return QString();
}

QString noRequetesFolder(const QString& path) {
  return QStringLiteral(
             "%1: a query is saved in a REQUETES folder, its conditions in the CONDITIONS "
             "folder beside it; this path has no REQUETES folder")
      .arg(QDir::toNativeSeparators(path));
}

}  // namespace

QList<DataPacketField> objectFileFields() {
  return {DataPacketField::string(QStringLiteral("Id"), 5),
          DataPacketField::string(QStringLiteral("Agréga"), 5),
          DataPacketField::string(QStringLiteral("Objet"), 100),
          DataPacketField::string(QStringLiteral("Type"), 4)};
}

QList<DataPacketField> conditionFileFields() {
  return {DataPacketField::string(QStringLiteral("Id"), 10),
          DataPacketField::string(QStringLiteral(")"), 15),
          DataPacketField::string(QStringLiteral("EtOu"), 15),
          DataPacketField::string(QStringLiteral("("), 15),
          DataPacketField::string(QStringLiteral("Objet"), 100),
          DataPacketField::string(QStringLiteral("Opérateur"), 50),
          DataPacketField::string(QStringLiteral("?"), 2),
          DataPacketField::string(QStringLiteral("Opérande"), 1000),
          DataPacketField::string(QStringLiteral("Type"), 4),
          DataPacketField::string(QStringLiteral("Mesure"), 1)};
}

std::optional<QString> conditionFileName(const QString& objectFile) {
  QString path = objectFile;
  bool found = false;
  for (const auto& [from, to] :
       {std::pair{QStringLiteral("\\REQUETES\\"), QStringLiteral("\\CONDITIONS\\")},
        std::pair{QStringLiteral("/REQUETES/"), QStringLiteral("/CONDITIONS/")}}) {
    if (path.contains(from)) {
      path.replace(from, to);
      found = true;
    }
  }
  if (!found) return std::nullopt;
  return path;
}

PacketOrError objectFilePacket(const Grid& objects) {
  PacketOrError out{DataPacket(objectFileFields()), QString()};
  const int idWidth = objectFileFields()[0].width;
  for (int r = 1; r < objects.rowCount(); ++r) {
    const QString id = objects.cell(r, kObjId);
    if (id.size() > idWidth) {
      out.error = QStringLiteral(
                      "The object id %1 is longer than the %2 characters a query file holds; "
                      "the query is not saved")
                      .arg(id)
                      .arg(idWidth);
      return out;
    }
    const int row = out.packet.appendRow();
    for (int c = 0; c < kObjColumns; ++c) out.packet.setValue(row, c, objects.cell(r, c));
  }
  return out;
}

PacketOrError conditionFilePacket(const Grid& conditions, const TextTables& texts) {
  PacketOrError out{DataPacket(conditionFileFields()), QString()};
  const int idWidth = conditionFileFields()[0].width;
  const QString andWord = texts.connectiveLabels.value(1);
  const QString orWord = texts.connectiveLabels.value(0);
  for (int r = 1; r < conditions.rowCount(); ++r) {
    const QString id = conditions.cell(r, kCondId);
    if (id.size() > idWidth) {
      out.error = QStringLiteral(
                      "The object id %1 of a condition is longer than the %2 characters a "
                      "query file holds; the query is not saved")
                      .arg(id)
                      .arg(idWidth);
      return out;
    }
    const int row = out.packet.appendRow();
    for (int c = 0; c < kCondColumns; ++c) {
      QString text = conditions.cell(r, c);
      if (c == kCondConnector) {
        text = text == andWord ? kAnd : text == orWord ? kOr : QString();
      } else if (c == kCondOperator) {
        const Operator op = operatorOf(texts, text);
        text = op == kNoOperator ? QString() : neutral().operatorLabels.value(op);
      }
      out.packet.setValue(row, c, text);
    }
  }
  return out;
}

RowsOrError objectRows(const DataPacket& packet, const QString& fileName) {
  RowsOrError out;
  out.error = checkFields(packet, objectFileFields(), fileName);
  if (!out.error.isEmpty()) return out;
  for (int r = 0; r < packet.rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < kObjColumns; ++c) cells << packet.text(r, c);
    out.rows << cells;
  }
  return out;
}

RowsOrError conditionRows(const DataPacket& packet, const QString& fileName,
                          const TextTables& texts) {
  RowsOrError out;
  out.error = checkFields(packet, conditionFileFields(), fileName);
  if (!out.error.isEmpty()) return out;
  for (int r = 0; r < packet.rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < kCondColumns; ++c) {
      QString text = packet.text(r, c);
      if (c == kCondConnector) {
        text = text == kAnd  ? texts.connectiveLabels.value(1)
               : text == kOr ? texts.connectiveLabels.value(0)
                             : QString();
      } else if (c == kCondOperator) {
        const Operator op = operatorOf(neutral(), text);
        text = op == kNoOperator ? QString() : texts.operatorLabels.value(op);
      }
      cells << text;
    }
    out.rows << cells;
  }
  return out;
}

QueryFileResult saveQuery(const QString& objectFile, const QueryGrids& grids) {
  const std::optional<QString> conditionFile = conditionFileName(objectFile);
  if (!conditionFile) return {noRequetesFolder(objectFile)};
  PacketOrError objects = objectFilePacket(grids.objects());
  if (!objects.error.isEmpty()) return {objects.error};
  PacketOrError conditions = conditionFilePacket(grids.conditions(), grids.texts());
  if (!conditions.error.isEmpty()) return {conditions.error};

  std::vector<PendingFile> files(2);
  files[0].finalPath = objectFile;
  files[1].finalPath = *conditionFile;
  for (int i = 0; i < 2; ++i) {
    const QString error = writePending(files[i], i == 0 ? objects.packet : conditions.packet);
    if (!error.isEmpty()) return {error};  // the temporaries remove themselves
  }
  return {commit(files)};
}

QueryFileResult openQuery(const QString& objectFile, QueryGrids& grids) {
  const std::optional<QString> conditionFile = conditionFileName(objectFile);
  if (!conditionFile) return {noRequetesFolder(objectFile)};
  RowsOrError objects;
  try {
    objects = objectRows(repository::loadDataPacketFile(objectFile), objectFile);
  } catch (const DataPacketError& e) {
    return {e.text()};
  }
  if (!objects.error.isEmpty()) return {objects.error};

  if (!QFileInfo::exists(*conditionFile)) {
    grids.replaceObjects(objects.rows);
    grids.replaceConditions({});
    return {QStringLiteral("%1: the condition file does not exist")
                .arg(QDir::toNativeSeparators(*conditionFile))};
  }
  RowsOrError conditions;
  try {
    conditions = conditionRows(repository::loadDataPacketFile(*conditionFile), *conditionFile,
                               grids.texts());
  } catch (const DataPacketError& e) {
    return {e.text()};
  }
  if (!conditions.error.isEmpty()) return {conditions.error};
  grids.replaceObjects(objects.rows);
  grids.replaceConditions(conditions.rows);
  return {};
}

}  // namespace korvo::builder

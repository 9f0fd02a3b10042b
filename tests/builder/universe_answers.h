#pragma once
// Prepared answers for the three questions of Init_Classes (catalogue,
// scrambling flag, classes) on a RecordingConnection, written compactly.
#include "builder/catalogue.h"
#include "builder/class_tree.h"
#include "repository/recording_connection.h"

namespace korvo::builder::fakes {

using repository::fakes::PreparedAnswer;
using repository::fakes::RecordingConnection;

// id, name, class, measure flag, select, where, comment, position, type
inline db::Row objectRow(int id, const QString& name, int classId, int measure = 0,
                         const QString& position = "1", const QString& comment = QString(),
                         const QString& type = "Char") {
  return {QVariant(qlonglong(id)),
          name,
          QVariant(qlonglong(classId)),
          QVariant(qlonglong(measure)),
          QString("T.C%1").arg(id),
          QVariant(),
          comment,
          QVariant(position.toLongLong()),
          type};
}

// id, parent, name, level
inline db::Row classRow(int id, int parent, const QString& name, int level) {
  return {QVariant(qlonglong(id)), QVariant(qlonglong(parent)), name, QVariant(qlonglong(level))};
}

struct UniverseAnswers {
  QList<db::Row> objects;
  QList<db::Row> classes;
  QList<db::Row> universe{db::Row{QString("N")}};
  QString classError;  // non-empty: the class query fails

  void into(RecordingConnection& connection) const {
    connection.answers = {
        {"from KORVO_OBJECT", {}, objects, QString()},
        {"FROM KORVO_UNIVERS", {}, universe, QString()},
        {"FROM KORVO_CLASS", {}, classes, classError},
    };
  }
};

}  // namespace korvo::builder::fakes

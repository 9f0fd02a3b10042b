#include "session/profile_file.h"

#include <QFile>
#include <QSaveFile>

#include "session/ansi_text.h"

namespace korvo::session {

namespace {

int readCount(const QList<QByteArray>& lines, int index, const char* what) {
  bool ok = false;
  const int value = index < lines.size() ? lines[index].trimmed().toInt(&ok) : 0;
  if (!ok || value < 1)
    throw ProfileFileError(QString("Invalid profile file: the %1 count on line %2 is not a "
                                   "positive number")
                               .arg(what)
                               .arg(index + 1));
  return value;
}

}  // namespace

Grid readProfileGrid(const QByteArray& bytes) {
  QList<QByteArray> lines = bytes.split('\n');
  for (QByteArray& line : lines)
    if (line.endsWith('\r')) line.chop(1);
  const int columns = readCount(lines, 0, "column");
  const int rows = readCount(lines, 1, "row");
  Grid grid(columns, rows);
  int index = 2;
  for (int c = 0; c < columns; ++c) {
    for (int r = 0; r < rows; ++r, ++index) {
      if (index < lines.size()) grid.setCell(r, c, fromAnsi(lines[index]));
    }
  }
  return grid;
}

QString unstorableCellReason(const QString& text) {
  if (text.contains('\r') || text.contains('\n')) return "it holds a line break";
  bool ok = false;
  toAnsi(text, &ok);
  if (!ok) return "it holds a character that the Windows-1252 code page cannot hold";
  return {};
}

QByteArray writeProfileGrid(const Grid& grid) {
  QByteArray out;
  out += QByteArray::number(grid.columnCount()) + "\r\n";
  out += QByteArray::number(grid.rowCount()) + "\r\n";
  for (int c = 0; c < grid.columnCount(); ++c) {
    for (int r = 0; r < grid.rowCount(); ++r) {
      const QString text = grid.cell(r, c);
      const QString reason = unstorableCellReason(text);
      if (!reason.isEmpty())
        throw ProfileFileError(
            QString("The cell in row %1, column %2 cannot be saved in a profile file: %3")
                .arg(r)
                .arg(c)
                .arg(reason));
      out += toAnsi(text) + "\r\n";
    }
  }
  return out;
}

void ChargerStringGrid(Grid& grid, const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    throw ProfileFileError(
        QString("I/O error: cannot read \"%1\" (%2)").arg(fileName, file.errorString()));
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw ProfileFileError(
        QString("I/O error: cannot read \"%1\" (%2)").arg(fileName, file.errorString()));
  try {
    grid = readProfileGrid(bytes);
  } catch (const ProfileFileError& e) {
    throw ProfileFileError(QString("\"%1\": %2").arg(fileName, e.text()));
  }
}

void EnregistrerStringGrid(const Grid& grid, const QString& fileName) {
  const QByteArray bytes = writeProfileGrid(grid);
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    throw ProfileFileError(
        QString("I/O error: cannot write \"%1\" (%2)").arg(fileName, file.errorString()));
}

}  // namespace korvo::session

#pragma once
// Connection profile files ("ParamOra.dat" and its two siblings): the column
// count, the row count, then every cell column by column, one per line, CR LF,
// Windows-1252. Byte-compatible with the files of the Windows program.
#include <QByteArray>
#include <QString>
#include <stdexcept>

#include "session/profile_grid.h"

namespace korvo::session {

// A profile file that cannot be read or written, or a grid that the format
// cannot hold; the text says which and why.
class ProfileFileError : public std::runtime_error {
 public:
  explicit ProfileFileError(const QString& text)
      : std::runtime_error(text.toStdString()), text_(text) {}
  const QString& text() const { return text_; }

 private:
  QString text_;
};

// Reads the format from bytes. Cells missing at the end of a short file are
// empty (as the Windows program's line reader leaves them); a count that is not
// a positive number is refused.
Grid readProfileGrid(const QByteArray& bytes);
// The bytes of the format. A cell holding a line break or a character outside
// Windows-1252 would make a file the program cannot read back: refused.
QByteArray writeProfileGrid(const Grid& grid);
// Empty when the text can be a cell of a profile file, else the reason.
QString unstorableCellReason(const QString& text);

// Loads a profile file into the grid; the grid is left as it was on failure.
void ChargerStringGrid(Grid& grid, const QString& fileName);
// Writes the grid to a profile file, creating or replacing it.
void EnregistrerStringGrid(const Grid& grid, const QString& fileName);

}  // namespace korvo::session

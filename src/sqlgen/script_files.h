#pragma once
// Script files of the SQL editor: plain text in the Windows code page 1252
// (the scripts of the Windows program read as they were written), one memo
// line per file line, each ending with CR LF, in the SCRIPTS folder beside the
// program.
#include <QString>
#include <QStringList>

namespace korvo::sqlgen {

QString scriptFolder(const QString& programFolder);

struct ScriptRead {
  bool ok = false;
  QStringList lines;
  QString error;  // names the file and the fault
};
// Lines end at CR LF, or at a lone LF or CR.
ScriptRead readScript(const QString& path, const QString& language);

struct ScriptWrite {
  bool ok = false;
  QString error;  // names the file, or the character the code page cannot hold and its line
};
// Refuses, writing nothing, a character the code page cannot hold; the file is
// written under a temporary name and renamed, so a failed write leaves the
// old file whole.
ScriptWrite writeScript(const QString& path, const QStringList& lines, const QString& language);

}  // namespace korvo::sqlgen

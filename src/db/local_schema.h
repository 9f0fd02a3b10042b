#pragma once
// Where the embedded engine keeps its schemas: an alias "local:NAME" is the
// folder NAME under the user's data folder, "local:/folder" (or "local:~/folder",
// or any target holding a '/') an explicit folder; inside it one SQLite file per
// user, named after the upper-cased user name.
#include <QString>

namespace korvo::db {

// GENERIC data folder + "/korvo-bo6/databases": shared by the desktop program
// and the command line whatever their application names.
QString localDatabasesRoot();

// The folder for the target of a "local:" alias. Throws DbError (ORA-12154) for
// an empty target or a NAME that could escape the databases root.
QString localSchemaFolder(const QString& target);

// The schema owner as Oracle stores an unquoted user name (upper case). Throws
// DbError (ORA-01017) for a name that is not a plain identifier: the name becomes
// a file name and must never carry a path.
QString schemaUserName(const QString& user);

// folder + "/" + USER + ".db".
QString schemaFilePath(const QString& folder, const QString& schemaUser);

}  // namespace korvo::db

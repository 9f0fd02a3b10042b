#pragma once
// Where the program keeps its settings, profiles, help pages, universe folder,
// saved queries and scripts. Two layouts: a portable folder (the settings file
// beside the executable, as the run folder of the set-up script has it) and an
// installed program, whose executable folder is read-only and holds none of
// those files, so every user works in a folder of their own seeded from the
// installed data.
#include <QString>
#include <QStringList>

namespace korvo::kernel {

inline constexpr const char* kUserFolderName = "korvo-bo6";

struct ProgramFolderChoice {
  QString folder;        // the program folder
  bool portable = false; // the executable's own folder
  QStringList seeded;    // files copied or refreshed, relative to `folder`
  QString error;         // the user folder could not be made or seeded (empty: fine)
};

// The installed data folder of an executable in <prefix>/bin:
// <prefix>/share/korvo-bo6.
QString installedDataFolder(const QString& executableFolder);

// $XDG_DATA_HOME/korvo-bo6 (by default ~/.local/share/korvo-bo6); the embedded
// databases live in its databases/ subfolder.
QString userProgramFolder();

// Copies `installed` into `user` (made when missing). A file the user already
// has is kept, except a help page (*.html, and everything under web/) whose
// installed copy is newer; copies take the installed file's modification time
// so that the next version's pages are recognised as newer. Returns the paths
// copied, relative to `user`; `error` tells what could not be done.
QStringList seedUserFolder(const QString& installed, const QString& user, QString* error);

// The executable's folder when it holds the settings file (any letter case),
// otherwise `userFolder` seeded from `installed`.
ProgramFolderChoice chooseProgramFolder(const QString& executableFolder, const QString& installed,
                                        const QString& userFolder);

// Start-up: chooseProgramFolder for this executable with the installed data
// folder and the user folder, then makes the chosen folder the current one.
ProgramFolderChoice enterProgramFolder(const QString& executableFolder);

}  // namespace korvo::kernel

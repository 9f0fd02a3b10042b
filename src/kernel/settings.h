#pragma once
// The settings file "Korvo-BO6.ini" beside the program, section PARAMETRES.
#include <QString>

#include "kernel/app_state.h"

namespace korvo::kernel {

inline constexpr const char* kSettingsFileName = "Korvo-BO6.ini";
inline constexpr const char* kSettingsSection = "PARAMETRES";

// The settings file in `folder`, its name matched without regard to letter
// case (the Windows program finds "korvo-BO6.ini" and "Korvo-BO6.ini" alike);
// an empty string when there is none.
QString findSettingsFile(const QString& folder);

struct SettingsOutcome {
  bool fileFound = false;
  bool ok = true;  // false: show kSettingsPermissionMessage and end the program
  QString reason;  // why it failed, for the developer (not shown)
};

// Init_param: reads LANG, COST and MESG_DEMO from the settings file of
// `folder` into `state` and writes "YES" into MESG_DEMO. Without a file nothing
// is read or written. A COST that is not an integer, a file that cannot be read
// or written give ok == false; what was read before the failure stays in state.
SettingsOutcome loadSettings(const QString& folder, AppState& state);

// The same reading without the write: the command line takes the language and
// the cost threshold from the settings and leaves the first-run notice to the
// desktop program.
SettingsOutcome readSettings(const QString& folder, AppState& state);

}  // namespace korvo::kernel

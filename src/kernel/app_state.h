#pragma once
// The program-wide state: one object owned by the main window (or by the
// command line) and passed by reference to the operations that need it.
#include <QString>

namespace korvo::kernel {

inline constexpr const char* kVersion = KORVO_VERSION;  // CMake's project version
inline constexpr const char* kVersionDate = "18 Janv 2012";

struct AppState {
  QString language = "FR";       // settings key LANG: "FR" or "AN"
  int costThreshold = 0;         // settings key COST
  bool firstRun = false;         // MESG_DEMO was empty
  QString dbmsType = "ORACLE";   // ORACLE, MSSQL, MYSQL5
  QString sortDirection = "ASC"; // shared by the profile grids and the result grid
  QString lastSortedTitle;
  QString workstationId;         // hardware addresses, see workstation_id.h
  QString banner;                // first row of v$version of the last connection
  QChar decimalSeparator = '.';  // program decimal separator
  QString shortDateFormat;       // program short date format (regional at start)
  bool planTablePresent = false; // PLAN_TABLE found in the schema
  bool scrambled = false;        // the loaded universe stores scrambled names
  QString programFolder;         // folder of the executable: settings, help, data
  QString connectedAlias;        // alias and user of the last connection (never its password)
  QString connectedUser;
};

}  // namespace korvo::kernel

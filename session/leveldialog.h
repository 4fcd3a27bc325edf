#pragma once
// The level dialog as the document reaches it. The dialog is a widget of the views, which the
// document cannot link, so the program installs a function that runs it (the views' CChangeLevel).

#include <functional>

#include "s100/symbols.h"

// The dialog's fields: set before the run, read back after OK.
struct LevelDialogFields {
    int nLevel = -1;        // radio button chosen: 0 for "Level 1" to 4 for "Level 5"; -1 none
    int bEmergency = 0;     // "Emergency Shutdown"
    int nCurrentLevel = 1;  // the server's level when the dialog opens
};

// Runs the dialog modally over the fields; IDOK when the operator pressed OK.
using LevelDialogRunner = std::function<int(LevelDialogFields&)>;

void InstallLevelDialog(LevelDialogRunner runner);
// Runs the installed dialog; IDCANCEL when none is installed.
int RunLevelDialog(LevelDialogFields& fields);

// The mode of a level change or a service stop.
inline unsigned long ChangeModeOf(int bEmergency) {
    return bEmergency ? LEVEL_CHANGE_EMERGENCY : LEVEL_CHANGE_NORMAL;
}

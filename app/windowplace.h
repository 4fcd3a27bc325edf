#pragma once
// The main window's size, position and bars between runs, kept with the rest of the client's
// configuration: "SOFTWARE\Kestrova\TLVS Client\Admin\Window", values "Geometry" and "State"
// (REG_SZ, the window's own saved forms in base64).

class QMainWindow;

inline constexpr const char* kWindowPlacementKey = "SOFTWARE\\Kestrova\\TLVS Client\\Admin\\Window";

// Puts the window where it was; false, and the window untouched, when nothing usable is stored
// (missing, too long, not base64, or refused by the window). Stored bars that do not read back
// are left as they are.
bool RestoreWindowPlacement(QMainWindow& window);

// Stores where the window is now; false when the registry refused the write.
bool SaveWindowPlacement(const QMainWindow& window);

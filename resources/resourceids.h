#pragma once
// The resource ids other than commands and strings: menu templates, the timer, dialogs, their
// controls and bitmaps. A dialog's controls carry their ids as object names, so tests and the
// manual's screenshots find them.

// Menus, accelerators, titles, icons and the toolbar bitmap of the three frame kinds.
inline constexpr unsigned IDR_MAINFRAME = 128;
inline constexpr unsigned IDR_LISTVIEW = 129;
inline constexpr unsigned IDR_STATUSVIEW = 130;

// The main frame's refresh timer.
inline constexpr unsigned ID_REFRESH_TIMER = 123;

// The status lamps.
inline constexpr unsigned IDB_LAMP_LIT = 139;
inline constexpr unsigned IDB_LAMP_UNLIT = 140;
inline constexpr unsigned IDB_LAMP_MASK = 141;

// The list views' confirmation and warning boxes.
inline constexpr unsigned IDD_REMOVE_PROFILES = 2053;
inline constexpr unsigned IDD_REMOVE_SERVICES = 2056;
inline constexpr unsigned IDD_START_SERVICE = 144;
inline constexpr unsigned IDD_STOP_SERVICE = 137;
inline constexpr unsigned IDD_RESTART_WARNING = 138;
inline constexpr int IDC_EMERGENCY = 49197;

// The list view's list control.
inline constexpr int IDC_LISTCTRL = 49215;

// "Change Server Level".
inline constexpr int IDD_CHANGELEVEL = 133;
inline constexpr int IDC_LEVEL1 = 49190;  // to IDC_LEVEL1 + 4 for "Level 5"
inline constexpr int IDC_EMERGENCYSHUTDOWN = 49183;

// The companion library's boxes: "Select Server" and "Profile Checking Results".
inline constexpr unsigned IDD_GETSERVER = 24581;
inline constexpr unsigned IDC_SERVER_MESSAGE = 53253;
inline constexpr unsigned IDC_SERVER_LIST = 53254;
inline constexpr unsigned IDD_CHECKPROFILE = 24584;
inline constexpr unsigned IDC_CHECK_RESULTS = 53255;

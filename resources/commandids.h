#pragma once
// The command ids: the numbers the menus, accelerators, toolbar, status-bar prompts and
// command handlers share. The framework's own commands keep the numbers they have on every
// program built on it; the administration client's follow them.

// The framework's commands.
inline constexpr unsigned ID_FILE_CLOSE = 57602;
inline constexpr unsigned ID_APP_EXIT = 57665;
inline constexpr unsigned ID_VIEW_TOOLBAR = 59392;
inline constexpr unsigned ID_VIEW_STATUS_BAR = 59393;
inline constexpr unsigned ID_WINDOW_NEW = 57648;
inline constexpr unsigned ID_WINDOW_ARRANGE = 57649;
inline constexpr unsigned ID_WINDOW_CASCADE = 57650;
inline constexpr unsigned ID_WINDOW_TILE_HORZ = 57651;

// The administration client's commands.
inline constexpr unsigned ID_FILE_OPEN = 57601;
inline constexpr unsigned ID_SERVER_CHANGESERVERLEVEL = 32805;
inline constexpr unsigned ID_MULTINODE_CFG = 32813;
inline constexpr unsigned ID_CLIENT_CHANGESERVERINFO = 32801;
inline constexpr unsigned ID_CLIENT_SERVEROVERVIEW = 32814;
inline constexpr unsigned ID_VIEW_PROFILES = 32775;
inline constexpr unsigned ID_VIEW_REPLACEABLESERVICES = 32776;
inline constexpr unsigned ID_VIEW_SERVICEPROVIDERS = 32777;
inline constexpr unsigned ID_VIEW_SERVERSTATUS = 32806;
inline constexpr unsigned ID_VIEW_SELECTALL = 32812;
inline constexpr unsigned ID_VIEW_REMOVE = 32792;
inline constexpr unsigned ID_VIEW_REFRESH = 32788;
inline constexpr unsigned ID_PROFILE_NEW = 32778;
inline constexpr unsigned ID_PROFILE_EDIT = 32779;
inline constexpr unsigned ID_PROFILE_REMOVE = 32780;
inline constexpr unsigned ID_PROFILE_IMPORT = 32782;
inline constexpr unsigned ID_PROFILE_EXPORT = 32793;
inline constexpr unsigned ID_PROFILE_ASSOCIATE = 32794;
inline constexpr unsigned ID_PROFILE_CHANGEDEFAULT = 32798;
inline constexpr unsigned ID_PROFILE_CHECKALLPROFILES = 32802;
inline constexpr unsigned ID_SERVICE_NEW = 32783;
inline constexpr unsigned ID_SERVICE_EDIT = 32803;
inline constexpr unsigned ID_SERVICE_REMOVE = 32784;
inline constexpr unsigned ID_SERVICE_START = 32785;
inline constexpr unsigned ID_SERVICE_STOP = 32786;
inline constexpr unsigned ID_WINDOW_CLOSEALL = 32789;
inline constexpr unsigned ID_HELP_CONTENTS = 32810;
inline constexpr unsigned ID_HELP_SEARCHFORHELPON = 32808;
inline constexpr unsigned ID_HELP_HOWTOUSEHELP = 32809;
inline constexpr unsigned ID_APP_ABOUT = 57664;

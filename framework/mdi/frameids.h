#pragma once
// The framework's own command ids, the same numbers on every program built on it.

inline constexpr unsigned ID_FILE_CLOSE = 57602;
inline constexpr unsigned ID_APP_EXIT = 57665;
inline constexpr unsigned ID_VIEW_TOOLBAR = 59392;
inline constexpr unsigned ID_VIEW_STATUS_BAR = 59393;
inline constexpr unsigned ID_WINDOW_NEW = 57648;
inline constexpr unsigned ID_WINDOW_ARRANGE = 57649;
inline constexpr unsigned ID_WINDOW_CASCADE = 57650;
inline constexpr unsigned ID_WINDOW_TILE_HORZ = 57651;

// The status bar's text while no prompt is shown.
inline constexpr const char* kIdleMessage = "Ready";

#pragma once
// Dialog and control ids of the companion library's boxes; each control carries its id as its
// object name, so tests and the manual's screenshots find them.

inline constexpr unsigned IDD_GETSERVER = 24581;
inline constexpr unsigned IDC_SERVER_MESSAGE = 53253;
inline constexpr unsigned IDC_SERVER_LIST = 53254;
inline constexpr unsigned IDD_CHECKPROFILE = 24584;
inline constexpr unsigned IDC_CHECK_RESULTS = 53255;

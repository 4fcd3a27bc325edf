#pragma once
// The KEY argument of tlvreg: a path below HKEY_LOCAL_MACHINE, with or without the root's name.

#include <string>
#include <string_view>

// Strips an optional "HKLM\" or "HKEY_LOCAL_MACHINE\" (any letter case); the root's name alone
// is the root itself (an empty path). False for a path naming another root.
bool ParseKeyArgument(std::string_view argument, std::string& path);

// "HKEY_LOCAL_MACHINE" followed by the path, as key lines and messages show it.
std::string FullKeyName(std::string_view path);

// Splits a path into its parent path and its last key name; false for the root.
bool SplitLastKey(std::string_view path, std::string& parent, std::string& last);

#pragma once
// Names and paths of registry keys: case folding, splitting and limits.

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/regapi.h"

// The form names are compared in: ASCII letters upper-cased, as the platform sorts them.
std::string FoldRegName(std::string_view name);

// Splits a backslash-separated path into key names. An empty path is no names. An empty name
// (a leading, doubled or trailing backslash) is ERROR_BAD_PATHNAME; a name or a depth beyond the
// limits is ERROR_INVALID_PARAMETER.
LONG SplitRegPath(std::string_view path, std::vector<std::string>& names);

// ERROR_SUCCESS when the value name and data sizes are within the limits.
LONG CheckValueName(std::string_view name);
LONG CheckValueSize(DWORD size);

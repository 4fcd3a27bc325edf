#pragma once
// Reads one open key's sub-key names and values through the registry calls.

#include <string>
#include <vector>

#include "platform/registry/regapi.h"
#include "platform/registry/scopedkey.h"

struct RegValue {
    std::string name;
    DWORD type = REG_NONE;
    std::string data;
};

struct KeyContents {
    std::vector<std::string> subKeys;  // in enumeration order
    std::vector<RegValue> values;      // in enumeration order
};

// The key needs KEY_READ. Run inside a RegTransaction for a consistent snapshot.
LONG ReadKeyContents(HKEY key, KeyContents& contents);

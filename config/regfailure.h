#pragma once
// What an error box says under a registry message: which files were read, which key or value
// was missing or could not be changed, and, when the registry holds none of this software's
// settings at all, where it looked and how to make them. The registry calls only say that
// something failed; this looks again at the place the caller names to say what.

#include <string>
#include <vector>

#include "platform/registry/regapi.h"

enum class RegistryUse { Read, Write };

// The place a caller read or wrote: a key below HKEY_LOCAL_MACHINE and, when one value was
// wanted, its name and the most bytes the caller could take of it (0: any).
struct RegistryPlace {
    const char* key = nullptr;
    const char* value = nullptr;
    DWORD maxBytes = 0;
};

// One line, or two for a registry without the software's settings; UTF-8, names and paths
// shown by the rule of platform/text/shownbytes.h. E.g.
// "in /home/u/.config/kestrova/registry.db (and /etc/kestrova/registry.db): key
// SOFTWARE\Kestrova\TLVS Client\Environment, value RootPath not found".
std::vector<std::string> RegistryFailureDetails(const RegistryPlace& place,
                                                RegistryUse use = RegistryUse::Read);

// For a registry without any of the software's settings, or without any file: where it looked
// and how to make one. Looks at no key, so it opens (and makes) no file.
std::vector<std::string> NoRegistrySettingsLines();

#pragma once
// Writes keys in the REGEDIT4 text format:
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Kestrova]
//   "name"="text"            a REG_SZ of one line of text ending in one NUL
//   "count"=dword:0000000a   a REG_DWORD of 4 bytes
//   @="..."                  the unnamed value
//   "blob"=hex:01,02         a REG_BINARY
//   "other"=hex(N):01,02     anything else, N the type in hex, so every byte survives
//
// Inside quotes, '"' and '\' are escaped with a backslash.

#include <ostream>
#include <string>

#include "platform/registry/regapi.h"

// Writes the key at the path (empty: the root) and every key below it, depth first in
// enumeration order. On failure message says why.
LONG WriteRegFile(const std::string& path, std::ostream& out, std::string& message);

// "text" with '"' and '\' escaped.
std::string QuoteRegText(const std::string& text);

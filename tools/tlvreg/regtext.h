#pragma once
// Value types and data as tlvreg shows and reads them.

#include <string>
#include <string_view>

#include "platform/registry/regapi.h"

// "REG_SZ", "REG_DWORD", ...; a type without a name is "REG_TYPE(N)".
std::string RegTypeName(DWORD type);
// Bytes as two lower-case hex digits each, separated by commas: "0a,ff".
std::string HexByteList(std::string_view bytes);
// Decimal or 0x-prefixed hexadecimal, at most 0xffffffff, nothing else around it.
bool ParseDword(std::string_view text, DWORD& value);
// The 4 bytes of a REG_DWORD in the machine's order, and back (false unless 4 bytes).
std::string DwordBytes(DWORD value);
bool BytesToDword(std::string_view bytes, DWORD& value);
// String data that is one line of text ended by one NUL; its text without the NUL.
bool IsPlainText(std::string_view data, std::string& text);

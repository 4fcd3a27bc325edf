#pragma once
// Reads the REGEDIT4 text format that regfile_writer.h writes. Also accepted: CRLF line ends,
// blank lines, ';' comment lines, "hex(3):" for REG_BINARY and hex lists continued on the next
// line after a trailing '\'. Only keys below HKEY_LOCAL_MACHINE; deletions ("[-KEY]",
// "name"=-) are refused.

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/regapi.h"

struct RegFileValue {
    std::string name;
    DWORD type = REG_NONE;
    std::string data;
    int line = 0;
};

struct RegFileKey {
    std::string path;  // below HKEY_LOCAL_MACHINE, empty for the root
    int line = 0;
    std::vector<RegFileValue> values;
};

struct RegFileError {
    int line = 0;
    std::string what;
};

// Parses the whole text; on the first malformed line returns false with its number and fault.
bool ParseRegFile(std::string_view text, std::vector<RegFileKey>& keys, RegFileError& error);

#pragma once
// Resolving a server entry name through the client's administration server table.

#include <string>

#include "s100/errors.h"

namespace tlv::client {

// The registry key holding the table: one REG_SZ value per entry, named by the entry.
inline constexpr const char* kAdministrationServersKey =
    "SOFTWARE\\Kestrova\\TLVS Client\\Servers\\KSTV_Administration";

// Connection strings are at most 99 characters where the operator edits them; anything much
// longer is not one, and a bound keeps a damaged registry from costing memory.
inline constexpr unsigned kMaxConnectStringBytes = 1024;

// Why an entry could not be looked up.
enum class EntryFault { None, NoTable, NoEntry, NotAString, TooLong };

// The connection string of the entry (names compared without regard to case, as the registry
// does). CTerr_UnknownServer when the table or the entry is missing or the entry is not a
// string value; CTerr_BadConnectString when its data is too long to be a connection string.
// Which of them in fault when asked.
CTerror lookUpServerEntry(const std::string& entryName, std::string& connectString,
                          EntryFault* fault = nullptr);

}  // namespace tlv::client

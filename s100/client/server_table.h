#pragma once
// Resolving a server entry name through the client's administration server table.

#include <string>

#include "s100/errors.h"

namespace tlv::client {

// The registry key holding the table: one REG_SZ value per entry, named by the entry.
inline constexpr const char* kAdministrationServersKey =
    "SOFTWARE\\Kestrova\\TLVS Client\\Servers\\KSTV_Administration";

// The connection string of the entry (names compared without regard to case, as the registry
// does). CTerr_UnknownServer when the table or the entry is missing or the entry is not a
// string value; CTerr_BadConnectString when its data is too long to be a connection string.
CTerror lookUpServerEntry(const std::string& entryName, std::string& connectString);

}  // namespace tlv::client

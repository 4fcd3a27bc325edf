#pragma once
// Where a client finds the admin key of a server entry: the file
// ${XDG_CONFIG_HOME:-~/.config}/kestrova/keys/ENTRY.key, a copy of the server's admin.key that
// only its owner may read, owned by the user, in folders no one else may write to (as ssh
// requires of a private key).

#include <string>

#include "s100/errors.h"
#include "s100/wire/admin_key.h"

namespace tlv::client {

// The key file of the entry; "" when the entry's name cannot name a file (empty, ".", "..",
// or holding a '/') or no configuration folder is known.
std::string entryKeyPath(const std::string& entryName);

// Reads the entry's key (from a file whose name differs only in case when none has the name as
// written, as entry names are compared without regard to case). CTerr_NoAdminKey with problem
// naming the file and the reason when it is missing, unreadable, too open, another user's, in a
// folder others may write to, or not a key.
// The file read goes into file, and the kind of fault into fault, when asked.
CTerror loadEntryKey(const std::string& entryName, std::string& key, std::string& problem,
                     std::string* file = nullptr, tlv::wire::KeyFault* fault = nullptr);

// Reads a key file the operator named (a server without an entry): the checks of an entry's key
// file, the folder holding it included. CTerr_NoAdminKey with problem otherwise, and the kind of
// fault into fault when asked.
CTerror loadKeyFile(const std::string& path, std::string& key, std::string& problem,
                    tlv::wire::KeyFault* fault = nullptr);

}  // namespace tlv::client

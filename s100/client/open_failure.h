#pragma once
// Why the last opening of a session to a server entry failed, told as a record: the S.100 calls
// report only a code, and a code cannot tell a closed port from an unknown host or a key file
// that others may read from one that is missing. The programs turn the record into words
// (session/connectwords.h). Kept per entry, so sessions opened on several threads at once keep
// their own.

#include <chrono>
#include <cstdint>
#include <string>

#include "s100/client/connect_string.h"
#include "s100/client/server_table.h"
#include "s100/wire/admin_key.h"
#include "s100/wire/client.h"

namespace tlv::client {

enum class OpenStep {
    None,     // the entry's last open succeeded, or none was tried
    Entry,    // looking the entry up in the administration server table: entryFault
    Address,  // reading its connection string: stringFault
    Key,      // reading its admin key: keyFault, keyProblem
    Connect,  // connecting and shaking hands: connectFault
};

struct OpenFailure {
    OpenStep step = OpenStep::None;
    std::string entry;
    std::string connectString;  // as the table holds it, once it was read
    std::string host;           // once the connection string was read
    std::uint16_t port = 0;
    std::string keyFile;  // the key file looked for ("" when none can be named)
    EntryFault entryFault = EntryFault::None;
    ConnectStringFault stringFault = ConnectStringFault::None;
    tlv::wire::KeyFault keyFault = tlv::wire::KeyFault::None;
    std::string keyProblem;  // the key file and what is wrong with it
    tlv::wire::ConnectFault connectFault = tlv::wire::ConnectFault::None;
    std::string systemReason;  // the system's words for an unreachable address
    std::uint32_t clientVersion = 0;
    std::uint32_t serverVersion = 0;  // 0 when the server named none
    std::chrono::milliseconds timeout{0};
};

// The record of the entry's last failed open; step None when it succeeded or none was tried.
OpenFailure openFailureOf(const std::string& entryName);

// Keeps the record under its entry; step None forgets the entry's.
void noteOpenFailure(OpenFailure failure);

}  // namespace tlv::client

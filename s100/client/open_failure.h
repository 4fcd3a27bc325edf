#pragma once
// Why the last opening of a session to a server entry failed, in words an operator can act on
// ("no server answered at lab1:2020 (connection refused)"). The S.100 calls report only a
// code; tlvadm and tlvedit look the words up by the entry's name. Kept per entry, so sessions
// opened on several threads at once keep their own.

#include <string>

namespace tlv::client {

// "" when the entry's last open succeeded, or none was tried.
std::string openFailureOf(const std::string& entryName);

// Keeps words for the entry; "" forgets them.
void noteOpenFailure(const std::string& entryName, std::string words);

}  // namespace tlv::client

#pragma once
// After a failed connection: names the admin key file tlvadm looked for when that is what was
// missing or unusable, so the operator knows which file to copy from the server.

#include <ostream>
#include <string>

// Writes "tlvadm: no admin key: FILE: REASON" when the entry exists but its key cannot be used.
void ExplainMissingKey(const std::string& entryName, std::ostream& err);

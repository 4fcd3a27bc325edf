#pragma once
// Under the GUI's sentence for a failed connection: which entry, where it points, or the admin
// key file tlvadm looked for when that is what was missing or unusable, so the operator knows
// what to fix.

#include <ostream>
#include <string>

// One line: no such entry, "no admin key: FILE: REASON", or the entry's connection string.
void ExplainConnectFailure(const std::string& entry, std::ostream& err);

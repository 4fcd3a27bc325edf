#pragma once
// Under the GUI's sentence for a failed connection: what went wrong, in the library's words
// (open_failure.h): no such entry, no usable key file, no server at the address, a refused key,
// so the operator knows what to fix.

#include <ostream>
#include <string>

// One line, e.g. "tlvadm: the server refused the admin key of ENTRY (KEYFILE)".
void ExplainConnectFailure(const std::string& entry, std::ostream& err);

#pragma once
// A failed connection in one line, where a row of a fleet's output has room for no more than
// the reason: the shared words of session/connectwords.h, their reason line alone.

#include <ostream>
#include <string>

// e.g. "tlvadm: The server at lab1:2020 refused the admin key ...".
void ExplainConnectFailure(const std::string& target, std::ostream& err);

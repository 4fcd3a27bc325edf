#pragma once
// tlvadm as a function over argv and two streams, so tests can run it in-process as well as
// through the built program.

#include <ostream>

int RunTlvadm(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

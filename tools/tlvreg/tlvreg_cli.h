#pragma once
// The command line of tlvreg: options, the command and its arguments.

#include <ostream>

// Runs tlvreg with the arguments of main; returns the exit status (commands.h).
int RunTlvreg(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

#pragma once
// The command line of tlvadm:
//   tlvadm [--registry FILE] [--json] ENTRY COMMAND ...

#include <string>
#include <vector>

struct TlvadmArgs {
    std::string registry;  // empty: the registry named by the environment
    bool bJson = false;
    bool bHelp = false;
    std::string entry;
    std::string command;
    bool bEmergency = false;            // set-level and stop
    std::vector<std::string> operands;  // what follows the command, options removed
};

// Fills args from argv; false with a message for a command line that cannot be run.
bool ParseTlvadmArgs(int argc, const char* const* argv, TlvadmArgs& args, std::string& error);

const char* TlvadmUsage();

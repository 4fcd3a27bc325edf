#pragma once
// The command line of tlvadm:
//   tlvadm [OPTIONS] ENTRY COMMAND [ARGUMENTS]     options may stand anywhere; "--" ends them

#include <string>
#include <vector>

// The least severity of a check finding that fails the check (the checker's CE_Type values).
enum class FailOn { Info = 0, Warning = 1, Error = 2, Fatal = 3 };

struct TlvadmArgs {
    std::string registry;  // empty: the registry named by the environment
    bool bJson = false;
    bool bHelp = false;
    bool bVersion = false;
    std::string entry;
    std::string command;
    bool bEmergency = false;  // set-level and stop
    bool bWait = false;       // start, stop and set-level: until the target state
    int timeoutSeconds = 30;  // of --wait
    FailOn failOn = FailOn::Error;      // check
    std::vector<std::string> operands;  // what follows the command, options removed
};

// Fills args from argv; false with a message for a command line that cannot be run.
bool ParseTlvadmArgs(int argc, const char* const* argv, TlvadmArgs& args, std::string& error);

const char* TlvadmUsage();

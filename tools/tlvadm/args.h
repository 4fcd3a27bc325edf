#pragma once
// The command line of tlvadm:
//   tlvadm [OPTIONS] TARGET COMMAND [ARGUMENTS]    options may stand anywhere; "--" ends them
//   tlvadm [OPTIONS] --all COMMAND [ARGUMENTS]
// TARGET: an entry name, tcp:HOST:PORT, a pattern or a comma list (tools/tlvadm/targets.h).

#include <string>
#include <vector>

// The least severity of a check finding that fails the check (the checker's CE_Type values).
enum class FailOn { Info = 0, Warning = 1, Error = 2, Fatal = 3 };

struct TlvadmArgs {
    std::string registry;  // empty: the registry named by the environment
    bool bJson = false;
    bool bHelp = false;
    bool bVersion = false;
    std::string target;   // as written; empty with --all
    bool bAll = false;    // every entry of the administration server table
    int jobs = 16;        // servers run at once
    bool bYes = false;    // a change to many servers goes ahead at a terminal
    std::string keyFile;  // --key: the admin key of a tcp:HOST:PORT target
    std::string command;
    bool bEmergency = false;  // set-level and stop
    bool bWait = false;       // start, stop and set-level: until the target state
    int timeoutSeconds = 30;  // of --wait; without --wait, the deadline of each server
    bool bTimeoutGiven = false;
    FailOn failOn = FailOn::Error;      // check
    std::vector<std::string> operands;  // what follows the command, options removed
};

// Fills args from argv; false with a message for a command line that cannot be run.
bool ParseTlvadmArgs(int argc, const char* const* argv, TlvadmArgs& args, std::string& error);

const char* TlvadmUsage();

// The most servers --jobs may run at once.
inline constexpr int kMaxJobs = 256;

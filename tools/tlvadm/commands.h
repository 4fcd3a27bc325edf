#pragma once
// tlvadm's commands over a CAdminDoc opened without windows: the document's refreshes and
// row texts for the lists, its operations and their messages for the changes.

#include <ostream>

#include "tools/tlvadm/args.h"

class CAdminDoc;

enum TlvadmExit : int {
    kExitOk = 0,
    kExitRefused = 1,   // the server refused; its message is on the error stream
    kExitUsage = 2,     // bad command line, unreadable input or no connection
    kExitFindings = 3,  // check: findings at or above --fail-on
    // status, as systemctl answers for units: a named service failed, or is no service.
    kExitServiceFailed = 3,
    kExitNoSuchService = 4,
};

// Runs the command of args on the open document.
int RunTlvadmCommand(CAdminDoc& doc, const TlvadmArgs& args, std::ostream& out, std::ostream& err);

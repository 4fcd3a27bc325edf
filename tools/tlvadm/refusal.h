#pragma once
// What a refusal means in plain words. The GUI's sentence for a refusal is broad ("Unable to
// start the service selected. ..."); tlvadm prints under it one line naming what the server
// actually said, for the command and the object it acted on.

#include <string>
#include <vector>

#include "s100/errors.h"

class ECTF_AdminSession;

// "already running", "disabled", "program not found: /opt/x", "no such profile ...". The
// session is asked for a service's status where the code alone does not tell.
std::string RefusalReason(ECTF_AdminSession& session, const std::string& command,
                          const std::vector<std::string>& objects, CTerror code);

// A service's state when the service exists, for reasons and notes.
struct ServiceLookup {
    bool bFound = false;
    unsigned long state = 0;
    std::string program;
};
ServiceLookup LookUpService(ECTF_AdminSession& session, const std::string& name);

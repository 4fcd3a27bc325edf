#pragma once
// A call of our own beside the CTadm_* calls: why services are where they are. tlvsd keeps, per
// service, the process id while it runs, the restarts since it was last started, how and when
// its process last ended, and its last lines of output. A client that does not ask is not
// affected.

#include <stdint.h>

#include <string>
#include <vector>

#include "s100/s100.h"

struct TLVserviceStatus {
    std::string name;
    CTsymbol state = SVC_StateIdle;  // as in KEY_ServiceStates
    bool failed = false;             // Idle [Failed]: it ended, or could not start, on its own
    bool disabled = false;
    CTsymbol kind = SVC_KindExecutable;  // SVC_KindExecutable or SVC_KindDLL
    int32_t pid = 0;                     // 0 when no process runs
    uint32_t restarts = 0;               // restarts since it was last started
    bool hasExited = false;              // the next three describe its last exit
    int32_t lastExitCode = -1;           // -1 when it was killed by a signal
    int32_t lastSignal = 0;              // 0 when it exited by itself
    int64_t lastExitTimeMs = 0;          // milliseconds since the epoch
    std::vector<std::string> lastOutput;  // oldest first: at most 20 lines of at most 512 bytes
    std::string program;                  // the program path of its command line
};

// Fills statuses with the named services, in the order asked, or every service by name when
// names is empty. A name that is no service is left out (compare the names to find it). The
// record (may be null) takes the error code. Returns CT_SUCCESS, or CT_FAILURE with
// CTerr_InvalidHandle for an unknown session, CTerr_ConnectionLost when no readable answer
// came (the session is then dead), CTerr_InvalidArgument from a server that does not offer the
// call, or the server's code (CTerr_StoreFailed).
CTstatus TLVadm_GetServiceStatus(CTsession session, const std::vector<std::string>& names,
                                 std::vector<TLVserviceStatus>& statuses, CTevtinfo* record);

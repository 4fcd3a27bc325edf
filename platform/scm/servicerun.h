#pragma once
// Whether a service runs, and starting and stopping it, on this machine's processes.
//
// A service with a pid file runs while the program that wrote the file runs and holds it; one
// this process started is start pending until then. A service without a pid file runs while
// the process this process started for it runs. A service asked to stop is stop pending until
// its process has ended. Services report no progress: the check point stays 0 and a pending
// state is waited for in steps of the service's wait hint.

#include "platform/scm/scmapi.h"
#include "platform/scm/servicedb.h"

namespace tlv::platform {

SERVICE_STATUS QueryRunState(const ServiceRecord& record);

// Starts the command line of the service's "ImagePath" as a detached process.
// ERROR_SERVICE_ALREADY_RUNNING unless it is stopped; ERROR_FILE_NOT_FOUND when the program
// cannot be started.
DWORD StartServiceProcess(const ServiceRecord& record);

// Sends the service's process SIGTERM; ERROR_SERVICE_NOT_ACTIVE when it is stopped. The status
// after the request goes to status.
DWORD StopServiceProcess(const ServiceRecord& record, SERVICE_STATUS& status);

}  // namespace tlv::platform

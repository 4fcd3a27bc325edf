#pragma once
// Whether a service runs, and starting and stopping it, on this machine's processes.
//
// A service with a pid file runs while the program that wrote the file runs and holds it; one
// this process started is start pending until then. Only a plain file of the service's account
// or root, naming a process of that account or root, counts; any other file there leaves the
// state in doubt, and a service in doubt is neither started nor signalled. A service without a
// pid file runs while the process this process started for it runs. A service asked to stop is
// stop pending until its process has ended. Services report no progress: the check point stays
// 0 and a pending state is waited for in steps of the service's wait hint.
//
// A service runs as its account: root starts it with the account's uid, gid and groups; anyone
// else can start only services of their own account.

#include <string>

#include "platform/scm/scmapi.h"
#include "platform/scm/servicedb.h"

namespace tlv::platform {

// ERROR_SUCCESS with the status; ERROR_INVALID_DATA, with the reason, when the state cannot be
// told for sure.
DWORD QueryRunState(const ServiceRecord& record, SERVICE_STATUS& status, std::string& why);

// Starts the command line of the service's "ImagePath" as a detached process of its account.
// ERROR_SERVICE_ALREADY_RUNNING unless it is stopped; ERROR_INVALID_SERVICE_ACCOUNT when the
// account does not exist; ERROR_ACCESS_DENIED when this process may not act as the account;
// ERROR_FILE_NOT_FOUND when the program cannot be started. why says what went wrong.
DWORD StartServiceProcess(const ServiceRecord& record, std::string& why);

// Sends the service's process SIGTERM; ERROR_SERVICE_NOT_ACTIVE when it is stopped. The status
// after the request goes to status.
DWORD StopServiceProcess(const ServiceRecord& record, SERVICE_STATUS& status, std::string& why);

}  // namespace tlv::platform

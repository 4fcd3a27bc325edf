#pragma once
// SCMclass: one open handle of the service control manager, and the few things the client does
// with services: ask their state, change the account a service runs as, install, remove, start
// and stop one. Every operation returns an SCM_Error and first gives SCM_Failed when the
// manager is not open. Passwords are passed on to the manager and not kept.

#include <string>

#include "platform/scm/scmapi.h"

enum SCM_Error {
    SCM_Success = 0,
    SCM_ServiceExists = 1,
    SCM_BadService = 2,
    SCM_Failed = 3,
    SCM_ServiceDisabled = 4,
    SCM_MarkedForDelete = 5,
    SCM_StopFailed = 6,
    SCM_StartFailed = 7,
    SCM_NoSuchAccount = 8,
};

enum SCM_State {
    SCM_Starting = 0,
    SCM_Running = 1,
    SCM_Stopping = 2,
    SCM_Stopped = 3,
    SCM_Paused = 4,
    SCM_Pausing = 5,
    SCM_Unknown = 6,
};

class SCMclass final {
public:
    // Null names: this machine, its active database.
    SCMclass(const char* machineName, const char* databaseName, DWORD access);
    ~SCMclass();
    SCMclass(const SCMclass&) = delete;
    SCMclass& operator=(const SCMclass&) = delete;

    bool IsOk() const { return m_hSCM != nullptr; }
    // What the last operation that failed found wrong, in words, when the manager said more
    // than its code (an account this process may not act as, a pid file in doubt); else empty.
    const std::string& FailureReason() const { return m_strReason; }

    SCM_Error QueryStatus(const char* serviceName, SCM_State& state);
    // Changes only the account, its password and the display name, under the database lock.
    SCM_Error ChangeService(const char* serviceName, const char* displayName, const char* account,
                            const char* password);
    // Runs as the local system account; the dependency is one service name (at most 1022
    // characters) or null.
    SCM_Error InstallService(const char* serviceName, const char* displayName, DWORD serviceType,
                             DWORD startType, const char* programPath, const char* dependency);
    // Stops the service first unless it is stopped.
    SCM_Error RemoveService(const char* serviceName);
    SCM_Error StartAService(const char* serviceName);
    SCM_Error StopAService(const char* serviceName);

private:
    SCM_Error Noted(SCM_Error error);

    SC_HANDLE m_hSCM;
    std::string m_strReason;
};

#include "config/scm.h"

#include <cstring>
#include <span>
#include <string>

#include "platform/scm/servicedb.h"

namespace {

constexpr DWORD kPollIntervalMs = 100;
// A pending start or stop may fail to advance its check point this often before the wait ends.
constexpr int kToleratedStalls = 51;
constexpr std::size_t kMaxDependencyLength = 1022;

// One service handle, closed on every way out.
class ServiceHandle final {
public:
    ServiceHandle(SC_HANDLE manager, const char* name, DWORD access)
        : m_hService(OpenServiceA(manager, name, access)) {}
    ~ServiceHandle() {
        if (m_hService != nullptr)
            CloseServiceHandle(m_hService);
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;

    bool IsOpen() const { return m_hService != nullptr; }
    SC_HANDLE Get() const { return m_hService; }

private:
    SC_HANDLE m_hService;
};

// The database lock, released on every way out; taking it may fail.
class DatabaseLock final {
public:
    explicit DatabaseLock(SC_HANDLE manager) : m_lock(LockServiceDatabase(manager)) {}
    ~DatabaseLock() {
        if (m_lock != nullptr)
            UnlockServiceDatabase(m_lock);
    }
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

private:
    SC_LOCK m_lock;
};

SCM_State StateOf(DWORD platformState) {
    switch (platformState) {
        case SERVICE_START_PENDING:
            return SCM_Starting;
        case SERVICE_RUNNING:
            return SCM_Running;
        case SERVICE_STOP_PENDING:
            return SCM_Stopping;
        case SERVICE_STOPPED:
            return SCM_Stopped;
        case SERVICE_PAUSED:
            return SCM_Paused;
        case SERVICE_PAUSE_PENDING:
            return SCM_Pausing;
        default:
            return SCM_Unknown;
    }
}

struct ErrorMapping {
    DWORD platformError;
    SCM_Error error;
};

// What a platform error means for an operation; an error the operation does not name is
// SCM_Failed.
SCM_Error MappedError(DWORD platformError, std::span<const ErrorMapping> mappings) {
    for (const ErrorMapping& mapping : mappings) {
        if (mapping.platformError == platformError)
            return mapping.error;
    }
    return SCM_Failed;
}

constexpr ErrorMapping kChangeErrors[] = {
    {ERROR_INVALID_PARAMETER, SCM_BadService},
    {ERROR_CIRCULAR_DEPENDENCY, SCM_BadService},
    {ERROR_DUP_NAME, SCM_BadService},
    {ERROR_INVALID_SERVICE_ACCOUNT, SCM_NoSuchAccount},
    {ERROR_SERVICE_MARKED_FOR_DELETE, SCM_MarkedForDelete},
};
constexpr ErrorMapping kInstallErrors[] = {
    {ERROR_SERVICE_EXISTS, SCM_ServiceExists},
    {ERROR_INVALID_PARAMETER, SCM_BadService},
    {ERROR_SERVICE_MARKED_FOR_DELETE, SCM_MarkedForDelete},
};
constexpr ErrorMapping kStartErrors[] = {
    {ERROR_SERVICE_ALREADY_RUNNING, SCM_Success},
    {ERROR_SERVICE_DISABLED, SCM_ServiceDisabled},
    {ERROR_SERVICE_MARKED_FOR_DELETE, SCM_MarkedForDelete},
};
constexpr ErrorMapping kStopErrors[] = {
    {ERROR_SERVICE_NOT_ACTIVE, SCM_Success},
};
constexpr ErrorMapping kDeleteErrors[] = {
    {ERROR_SERVICE_MARKED_FOR_DELETE, SCM_MarkedForDelete},
};

// Polls every 100 ms until the state is one of the two. A failed query ends the polling (false);
// so does a service that never gets there (the same number of polls as stalls are tolerated).
bool PollUntil(SC_HANDLE service, DWORD first, DWORD second, SERVICE_STATUS& status) {
    for (int polls = 0; status.dwCurrentState != first && status.dwCurrentState != second;
         ++polls) {
        if (polls > kToleratedStalls)
            return true;
        Sleep(kPollIntervalMs);
        if (!QueryServiceStatus(service, &status))
            return false;
    }
    return true;
}

// Waits while the condition holds, a wait hint at a time, until the check point has failed to
// advance more often than tolerated or a query fails.
template <typename Pending>
void WaitWhile(SC_HANDLE service, SERVICE_STATUS& status, Pending pending) {
    int stalls = 0;
    while (pending(status.dwCurrentState)) {
        const DWORD checkPoint = status.dwCheckPoint;
        Sleep(tlv::platform::BoundedWaitHint(status.dwWaitHint));
        if (!QueryServiceStatus(service, &status))
            return;
        if (status.dwCheckPoint <= checkPoint && ++stalls > kToleratedStalls)
            return;
    }
}

// The action's result on the open service; SCM_Failed when the manager is not open (null) and
// SCM_BadService when the service cannot be opened.
template <typename Action>
SCM_Error OnService(SC_HANDLE manager, const char* serviceName, DWORD access, Action action) {
    if (manager == nullptr)
        return SCM_Failed;
    const ServiceHandle service(manager, serviceName, access);
    if (!service.IsOpen())
        return SCM_BadService;
    return action(service.Get());
}

// The dependency as the platform takes it: the name, its NUL and a closing NUL.
std::string DependencyList(const char* dependency) {
    std::string list;
    if (dependency != nullptr && *dependency != '\0')
        list.append(dependency).push_back('\0');
    list.push_back('\0');
    return list;
}

}  // namespace

SCMclass::SCMclass(const char* machineName, const char* databaseName, DWORD access)
    : m_hSCM(OpenSCManagerA(machineName, databaseName, access)) {}

SCMclass::~SCMclass() {
    if (m_hSCM != nullptr)
        CloseServiceHandle(m_hSCM);
}

SCM_Error SCMclass::Noted(SCM_Error error) {
    m_strReason = error == SCM_Success ? std::string{} : std::string(GetLastErrorReason());
    return error;
}

SCM_Error SCMclass::QueryStatus(const char* serviceName, SCM_State& state) {
    return Noted(OnService(m_hSCM, serviceName, SERVICE_ALL_ACCESS, [&state](SC_HANDLE service) {
        SERVICE_STATUS status{};
        if (!QueryServiceStatus(service, &status))
            return SCM_Failed;
        state = StateOf(status.dwCurrentState);
        return SCM_Success;
    }));
}

SCM_Error SCMclass::ChangeService(const char* serviceName, const char* displayName,
                                  const char* account, const char* password) {
    if (!IsOk())
        return SCM_Failed;
    const DatabaseLock lock(m_hSCM);  // the change goes on without it
    return Noted(OnService(m_hSCM, serviceName, SERVICE_CHANGE_CONFIG, [&](SC_HANDLE service) {
        if (!ChangeServiceConfigA(service, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                                  SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr, account,
                                  password, displayName))
            return MappedError(GetLastError(), kChangeErrors);
        return SCM_Success;
    }));
}

SCM_Error SCMclass::InstallService(const char* serviceName, const char* displayName,
                                   DWORD serviceType, DWORD startType, const char* programPath,
                                   const char* dependency) {
    if (!IsOk())
        return SCM_Failed;
    if (dependency != nullptr && std::strlen(dependency) > kMaxDependencyLength)
        return SCM_BadService;
    const std::string dependencies = DependencyList(dependency);
    const SC_HANDLE service = CreateServiceA(
        m_hSCM, serviceName, displayName, SERVICE_ALL_ACCESS, serviceType, startType,
        SERVICE_ERROR_NORMAL, programPath, nullptr, nullptr, dependencies.c_str(), nullptr, nullptr);
    if (service == nullptr)
        return Noted(MappedError(GetLastError(), kInstallErrors));
    CloseServiceHandle(service);
    return SCM_Success;
}

SCM_Error SCMclass::RemoveService(const char* serviceName) {
    return Noted(OnService(m_hSCM, serviceName, SERVICE_ALL_ACCESS, [&](SC_HANDLE service) {
        SERVICE_STATUS status{};
        if (!QueryServiceStatus(service, &status))
            return SCM_Failed;
        if (status.dwCurrentState != SERVICE_STOPPED)
            StopAService(serviceName);
        if (!DeleteService(service))
            return MappedError(GetLastError(), kDeleteErrors);
        return SCM_Success;
    }));
}

SCM_Error SCMclass::StartAService(const char* serviceName) {
    return Noted(OnService(m_hSCM, serviceName, SERVICE_ALL_ACCESS, [](SC_HANDLE service) {
        if (!StartServiceA(service, 0, nullptr))
            return MappedError(GetLastError(), kStartErrors);
        SERVICE_STATUS status{};
        if (!QueryServiceStatus(service, &status))
            return SCM_StartFailed;
        if (PollUntil(service, SERVICE_START_PENDING, SERVICE_RUNNING, status))
            WaitWhile(service, status, [](DWORD state) { return state != SERVICE_RUNNING; });
        return status.dwCurrentState == SERVICE_RUNNING ? SCM_Success : SCM_StartFailed;
    }));
}

SCM_Error SCMclass::StopAService(const char* serviceName) {
    return Noted(OnService(m_hSCM, serviceName, SERVICE_ALL_ACCESS, [](SC_HANDLE service) {
        SERVICE_STATUS status{};
        if (!ControlService(service, SERVICE_CONTROL_STOP, &status))
            return MappedError(GetLastError(), kStopErrors);
        if (PollUntil(service, SERVICE_STOP_PENDING, SERVICE_STOPPED, status))
            WaitWhile(service, status,
                      [](DWORD state) { return state == SERVICE_STOP_PENDING; });
        return status.dwCurrentState == SERVICE_STOPPED ? SCM_Success : SCM_StopFailed;
    }));
}

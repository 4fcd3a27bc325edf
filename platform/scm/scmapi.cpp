#include "platform/scm/scmapi.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <thread>

#include "platform/registry/regname.h"
#include "platform/scm/account.h"
#include "platform/scm/servicedb.h"
#include "platform/scm/servicerun.h"
#include "platform/scm/systemdbus.h"
#include "platform/scm/unitfiles.h"
#include "platform/scm/unitservices.h"

using tlv::platform::CheckServiceName;
using tlv::platform::IsKnownAccount;
using tlv::platform::QueryRunState;
using tlv::platform::ReadService;
using tlv::platform::RemoveServiceKey;
using tlv::platform::ServiceChange;
using tlv::platform::ServiceRecord;

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;
thread_local std::string lastReason;

// Longest command line of a service program.
constexpr std::size_t kMaxImagePathLength = 32767;
// Longest dependency list, in bytes with its NULs.
constexpr std::size_t kMaxDependencyListSize = 16384;

struct OpenHandle {
    bool isService = false;
    DWORD access = 0;
    std::string serviceName;
    bool onSystemd = false;  // the manager's back end: systemd's units, else the registry's
    std::string unit;        // a service's unit on systemd
};

class Handles final {
public:
    SC_HANDLE Add(OpenHandle handle) {
        const std::uintptr_t id = m_nNext++;
        m_handles[id] = std::move(handle);
        return reinterpret_cast<SC_HANDLE>(id);
    }
    const OpenHandle* Find(SC_HANDLE handle) const {
        const auto found = m_handles.find(reinterpret_cast<std::uintptr_t>(handle));
        return found == m_handles.end() ? nullptr : &found->second;
    }
    bool Remove(SC_HANDLE handle) {
        return m_handles.erase(reinterpret_cast<std::uintptr_t>(handle)) != 0;
    }
    bool IsServiceOpen(const std::string& name) const {
        const std::string folded = FoldRegName(name);
        for (const auto& [id, open] : m_handles) {
            if (open.isService && FoldRegName(open.serviceName) == folded)
                return true;
        }
        return false;
    }

    // systemd has no database lock: its lock only stands for one.
    SC_LOCK AddLock(bool onDatabase) {
        m_nLock = m_nNext++;
        m_bLockOnDatabase = onDatabase;
        return reinterpret_cast<SC_LOCK>(m_nLock);
    }
    bool RemoveLock(SC_LOCK lock, bool& onDatabase) {
        if (lock == nullptr || reinterpret_cast<std::uintptr_t>(lock) != m_nLock)
            return false;
        m_nLock = 0;
        onDatabase = m_bLockOnDatabase;
        return true;
    }

private:
    std::map<std::uintptr_t, OpenHandle> m_handles;
    std::uintptr_t m_nNext = 0x5C00;
    std::uintptr_t m_nLock = 0;
    bool m_bLockOnDatabase = false;
};

Handles& TheHandles() {
    static Handles handles;
    return handles;
}

// The call's result: success, or failure with the error kept for GetLastError and the reason
// for GetLastErrorReason.
BOOL Result(DWORD error, std::string reason = {}) {
    lastError = error;
    lastReason = error == ERROR_SUCCESS ? std::string{} : std::move(reason);
    return error == ERROR_SUCCESS ? 1 : 0;
}

// A service's record, refused when the service is marked for deletion: deleting or starting it
// again fails.
DWORD ReadUnmarkedService(const std::string& name, ServiceRecord& record) {
    if (const DWORD rc = ReadService(name, record); rc != ERROR_SUCCESS)
        return rc;
    return record.markedForDelete ? ERROR_SERVICE_MARKED_FOR_DELETE : ERROR_SUCCESS;
}

// Stop and query: on the service's unit under systemd, else on its registry record.
template <typename OnUnit, typename OnRecord>
BOOL StatusCall(const OpenHandle& open, OnUnit onUnit, OnRecord onRecord) {
    std::string why;
    if (open.onSystemd) {
        const DWORD rc = onUnit(open.unit, why);
        return Result(rc, std::move(why));
    }
    ServiceRecord record;
    if (const DWORD rc = ReadService(open.serviceName, record); rc != ERROR_SUCCESS)
        return Result(rc);
    const DWORD rc = onRecord(record, why);
    return Result(rc, std::move(why));
}

// The open handle of the kind with all of the access; null (and the error set) otherwise.
const OpenHandle* Use(SC_HANDLE handle, bool service, DWORD access) {
    const OpenHandle* open = TheHandles().Find(handle);
    if (open == nullptr || open->isService != service) {
        Result(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if ((open->access & access) != access) {
        Result(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return open;
}

// A service marked for deletion goes once it has stopped and no handle refers to it.
void SweepIfUnused(const std::string& name) {
    ServiceRecord record;
    SERVICE_STATUS status{};
    std::string ignored;
    if (!TheHandles().IsServiceOpen(name) && ReadService(name, record) == ERROR_SUCCESS &&
        record.markedForDelete && QueryRunState(record, status, ignored) == ERROR_SUCCESS &&
        status.dwCurrentState == SERVICE_STOPPED)
        RemoveServiceKey(name);
}

std::optional<std::string> Optional(LPCSTR text) {
    return text == nullptr ? std::nullopt : std::optional<std::string>(text);
}

std::optional<DWORD> Optional(DWORD number) {
    return number == SERVICE_NO_CHANGE ? std::nullopt : std::optional<DWORD>(number);
}

// The dependency list as stored: each name with its NUL, then the closing NUL; empty for none.
std::optional<std::string> DependencyList(LPCSTR list) {
    if (list == nullptr)
        return std::nullopt;
    std::string stored;
    for (const char* name = list; *name != '\0' && stored.size() <= kMaxDependencyListSize;
         name += std::char_traits<char>::length(name) + 1)
        stored.append(name).push_back('\0');
    if (!stored.empty())
        stored.push_back('\0');
    return stored;
}

bool IsKnown(DWORD value, DWORD highest) {
    return value == SERVICE_NO_CHANGE || value <= highest;
}

DWORD CheckChange(const ServiceChange& change, const std::string& self) {
    if (change.type && *change.type != SERVICE_WIN32_OWN_PROCESS &&
        *change.type != SERVICE_WIN32_SHARE_PROCESS)
        return ERROR_INVALID_PARAMETER;
    if (!IsKnown(change.start.value_or(SERVICE_NO_CHANGE), SERVICE_DISABLED) ||
        !IsKnown(change.errorControl.value_or(SERVICE_NO_CHANGE), SERVICE_ERROR_CRITICAL))
        return ERROR_INVALID_PARAMETER;
    if ((change.displayName && change.displayName->size() > tlv::platform::kMaxDisplayNameLength) ||
        (change.imagePath && change.imagePath->size() > kMaxImagePathLength) ||
        (change.dependencies && change.dependencies->size() > kMaxDependencyListSize) ||
        (change.account && change.account->size() > tlv::platform::kMaxAccountLength))
        return ERROR_INVALID_PARAMETER;
    if (change.dependencies && FoldRegName(std::string(1, '\0') + *change.dependencies)
                                       .find(FoldRegName('\0' + self + '\0')) != std::string::npos)
        return ERROR_CIRCULAR_DEPENDENCY;
    if (change.account && !IsKnownAccount(*change.account))
        return ERROR_INVALID_SERVICE_ACCOUNT;
    return ERROR_SUCCESS;
}

}  // namespace

SC_HANDLE OpenSCManagerA(LPCSTR lpMachineName, LPCSTR lpDatabaseName, DWORD dwDesiredAccess) {
    if (lpMachineName != nullptr && *lpMachineName != '\0') {
        Result(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    if (lpDatabaseName != nullptr && *lpDatabaseName != '\0' &&
        std::string(lpDatabaseName) != "ServicesActive") {
        Result(ERROR_DATABASE_DOES_NOT_EXIST);
        return nullptr;
    }
    Result(ERROR_SUCCESS);
    return TheHandles().Add({false, dwDesiredAccess, {}, tlv::platform::UsesSystemd(), {}});
}

SC_HANDLE OpenServiceA(SC_HANDLE hSCManager, LPCSTR lpServiceName, DWORD dwDesiredAccess) {
    const OpenHandle* manager = Use(hSCManager, false, SC_MANAGER_CONNECT);
    if (manager == nullptr)
        return nullptr;
    if (lpServiceName == nullptr) {
        Result(ERROR_INVALID_NAME);
        return nullptr;
    }
    if (manager->onSystemd) {
        std::string unit;
        std::string why;
        const DWORD rc = tlv::platform::OpenUnitService(lpServiceName, unit, why);
        if (Result(rc, std::move(why)) == 0)
            return nullptr;
        return TheHandles().Add({true, dwDesiredAccess, lpServiceName, true, std::move(unit)});
    }
    SweepIfUnused(lpServiceName);
    ServiceRecord record;
    if (Result(ReadService(lpServiceName, record)) == 0)
        return nullptr;
    return TheHandles().Add({true, dwDesiredAccess, record.name, false, {}});
}

BOOL CloseServiceHandle(SC_HANDLE hSCObject) {
    const OpenHandle* open = TheHandles().Find(hSCObject);
    if (open == nullptr)
        return Result(ERROR_INVALID_HANDLE);
    const std::string serviceName =
        open->isService && !open->onSystemd ? open->serviceName : std::string{};
    TheHandles().Remove(hSCObject);
    if (!serviceName.empty())
        SweepIfUnused(serviceName);
    // Closing leaves the last error alone: it is what a caller reads after its cleanup.
    return 1;
}

SC_HANDLE CreateServiceA(SC_HANDLE hSCManager, LPCSTR lpServiceName, LPCSTR lpDisplayName,
                         DWORD dwDesiredAccess, DWORD dwServiceType, DWORD dwStartType,
                         DWORD dwErrorControl, LPCSTR lpBinaryPathName, LPCSTR lpLoadOrderGroup,
                         LPDWORD lpdwTagId, LPCSTR lpDependencies, LPCSTR lpServiceStartName,
                         LPCSTR /*lpPassword: dropped*/) {
    const OpenHandle* manager = Use(hSCManager, false, SC_MANAGER_CREATE_SERVICE);
    if (manager == nullptr)
        return nullptr;
    const bool onSystemd = manager->onSystemd;
    const std::string name = lpServiceName == nullptr ? std::string{} : lpServiceName;
    if (Result(CheckServiceName(name)) == 0)
        return nullptr;
    const bool groupGiven = lpLoadOrderGroup != nullptr && *lpLoadOrderGroup != '\0';
    if (lpBinaryPathName == nullptr || *lpBinaryPathName == '\0' || groupGiven ||
        lpdwTagId != nullptr || dwStartType == SERVICE_NO_CHANGE ||
        dwErrorControl == SERVICE_NO_CHANGE) {
        Result(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    ServiceRecord record;
    record.name = name;
    record.displayName = lpDisplayName == nullptr || *lpDisplayName == '\0' ? name : lpDisplayName;
    const ServiceChange settings{
        dwServiceType,
        dwStartType,
        dwErrorControl,
        std::string(lpBinaryPathName),
        DependencyList(lpDependencies).value_or(std::string{}),
        std::string(lpServiceStartName == nullptr ? kLocalSystemAccount : lpServiceStartName),
        record.displayName};
    if (Result(CheckChange(settings, name)) == 0)
        return nullptr;
    record.type = *settings.type;
    record.start = *settings.start;
    record.errorControl = *settings.errorControl;
    record.imagePath = *settings.imagePath;
    record.dependencies = *settings.dependencies;
    record.account = *settings.account;
    if (onSystemd) {
        std::string why;
        const DWORD rc = tlv::platform::CreateUnitService(record, why);
        if (Result(rc, std::move(why)) == 0)
            return nullptr;
        return TheHandles().Add(
            {true, dwDesiredAccess, name, true, tlv::platform::UnitNameOf(name)});
    }
    // A marked service that has stopped in the meantime gives way to the new one.
    SweepIfUnused(name);
    if (Result(tlv::platform::AddService(record)) == 0)
        return nullptr;
    return TheHandles().Add({true, dwDesiredAccess, name, false, {}});
}

BOOL ChangeServiceConfigA(SC_HANDLE hService, DWORD dwServiceType, DWORD dwStartType,
                          DWORD dwErrorControl, LPCSTR lpBinaryPathName, LPCSTR lpLoadOrderGroup,
                          LPDWORD lpdwTagId, LPCSTR lpDependencies, LPCSTR lpServiceStartName,
                          LPCSTR /*lpPassword: dropped*/, LPCSTR lpDisplayName) {
    const OpenHandle* open = Use(hService, true, SERVICE_CHANGE_CONFIG);
    if (open == nullptr)
        return 0;
    if ((lpLoadOrderGroup != nullptr && *lpLoadOrderGroup != '\0') || lpdwTagId != nullptr)
        return Result(ERROR_INVALID_PARAMETER);
    const ServiceChange change{Optional(dwServiceType),        Optional(dwStartType),
                               Optional(dwErrorControl),       Optional(lpBinaryPathName),
                               DependencyList(lpDependencies), Optional(lpServiceStartName),
                               Optional(lpDisplayName)};
    if (const DWORD rc = CheckChange(change, open->serviceName); rc != ERROR_SUCCESS)
        return Result(rc);
    if (open->onSystemd) {
        std::string why;
        const DWORD rc = tlv::platform::ChangeUnitService(open->unit, change, why);
        return Result(rc, std::move(why));
    }
    return Result(tlv::platform::ChangeService(open->serviceName, change));
}

BOOL DeleteService(SC_HANDLE hService) {
    const OpenHandle* open = Use(hService, true, DELETE);
    if (open == nullptr)
        return 0;
    if (open->onSystemd) {
        std::string why;
        const DWORD rc = tlv::platform::DeleteUnitService(open->unit, why);
        return Result(rc, std::move(why));
    }
    ServiceRecord record;
    if (const DWORD rc = ReadUnmarkedService(open->serviceName, record); rc != ERROR_SUCCESS)
        return Result(rc);
    return Result(tlv::platform::MarkServiceForDelete(record.name));
}

BOOL StartServiceA(SC_HANDLE hService, DWORD dwNumServiceArgs, LPCSTR* /*lpServiceArgVectors*/) {
    const OpenHandle* open = Use(hService, true, SERVICE_START);
    if (open == nullptr)
        return 0;
    if (dwNumServiceArgs != 0)
        return Result(ERROR_INVALID_PARAMETER);
    std::string why;
    if (open->onSystemd) {
        const DWORD rc = tlv::platform::StartUnitService(open->unit, why);
        return Result(rc, std::move(why));
    }
    ServiceRecord record;
    if (const DWORD rc = ReadUnmarkedService(open->serviceName, record); rc != ERROR_SUCCESS)
        return Result(rc);
    if (record.start == SERVICE_DISABLED)
        return Result(ERROR_SERVICE_DISABLED);
    if (tlv::platform::IsDatabaseLockedByOther())
        return Result(ERROR_SERVICE_DATABASE_LOCKED);
    const DWORD rc = tlv::platform::StartServiceProcess(record, why);
    return Result(rc, std::move(why));
}

BOOL ControlService(SC_HANDLE hService, DWORD dwControl, LPSERVICE_STATUS lpServiceStatus) {
    if (dwControl != SERVICE_CONTROL_STOP || lpServiceStatus == nullptr)
        return Result(ERROR_INVALID_PARAMETER);
    const OpenHandle* open = Use(hService, true, SERVICE_STOP);
    if (open == nullptr)
        return 0;
    return StatusCall(
        *open,
        [lpServiceStatus](const std::string& unit, std::string& why) {
            return tlv::platform::StopUnitService(unit, *lpServiceStatus, why);
        },
        [lpServiceStatus](const ServiceRecord& record, std::string& why) {
            return tlv::platform::StopServiceProcess(record, *lpServiceStatus, why);
        });
}

BOOL QueryServiceStatus(SC_HANDLE hService, LPSERVICE_STATUS lpServiceStatus) {
    const OpenHandle* open = Use(hService, true, SERVICE_QUERY_STATUS);
    if (open == nullptr)
        return 0;
    if (lpServiceStatus == nullptr)
        return Result(ERROR_INVALID_PARAMETER);
    return StatusCall(
        *open,
        [lpServiceStatus](const std::string& unit, std::string& why) {
            return tlv::platform::QueryUnitService(unit, *lpServiceStatus, why);
        },
        [lpServiceStatus](const ServiceRecord& record, std::string& why) {
            return QueryRunState(record, *lpServiceStatus, why);
        });
}

SC_LOCK LockServiceDatabase(SC_HANDLE hSCManager) {
    const OpenHandle* manager = Use(hSCManager, false, SC_MANAGER_LOCK);
    if (manager == nullptr)
        return nullptr;
    const bool onDatabase = !manager->onSystemd;
    if (Result(onDatabase ? tlv::platform::LockDatabase() : ERROR_SUCCESS) == 0)
        return nullptr;
    return TheHandles().AddLock(onDatabase);
}

BOOL UnlockServiceDatabase(SC_LOCK ScLock) {
    bool onDatabase = false;
    if (!TheHandles().RemoveLock(ScLock, onDatabase))
        return Result(ERROR_INVALID_HANDLE);
    return Result(onDatabase ? tlv::platform::UnlockDatabase() : ERROR_SUCCESS);
}

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD dwErrCode) {
    lastError = dwErrCode;
    lastReason.clear();
}

const char* GetLastErrorReason() {
    return lastReason.c_str();
}

void Sleep(DWORD dwMilliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

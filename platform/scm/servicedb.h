#pragma once
// The service database: one key per service below SYSTEM\CurrentControlSet\Services in the
// registry store, named as the service. Its values:
//   "DisplayName"  REG_SZ     the name shown to operators
//   "ObjectName"   REG_SZ     the account the service runs as
//   "Type", "Start", "ErrorControl"  REG_DWORD
//   "ImagePath"    REG_SZ     the command line that starts it (split at blanks, no shell)
//   "DependOnService" REG_MULTI_SZ
//   "PidFile"      REG_SZ     written by the installer: the file in which the running program
//                             tells its process id; without one, a service runs while the
//                             process this program started for it runs
//   "WaitHint"     REG_DWORD  optional: milliseconds between checks of a pending start or stop,
//                             taken within 100 ms .. 60 s
//   "DeleteFlag"   REG_DWORD  1 once the service is marked for deletion
// Every function returns ERROR_SUCCESS or a platform error code; each change is one
// transaction.

#include <optional>
#include <string>

#include "platform/scm/scmapi.h"

namespace tlv::platform {

inline constexpr const char* kServicesKey = "SYSTEM\\CurrentControlSet\\Services";
inline constexpr DWORD kDefaultWaitHint = 200;
// A wait hint is someone's number: below 100 ms a wait spins, above 60 s it hangs the caller.
inline constexpr DWORD kMinWaitHint = 100;
inline constexpr DWORD kMaxWaitHint = 60000;

DWORD BoundedWaitHint(DWORD milliseconds);
// Longest service name, display name and account, in characters.
inline constexpr std::size_t kMaxServiceNameLength = 255;
inline constexpr std::size_t kMaxDisplayNameLength = 256;
inline constexpr std::size_t kMaxAccountLength = 256;

struct ServiceRecord {
    std::string name;  // as stored: names are compared without regard to case
    std::string displayName;
    std::string account = kLocalSystemAccount;
    DWORD type = SERVICE_WIN32_OWN_PROCESS;
    DWORD start = SERVICE_DEMAND_START;
    DWORD errorControl = SERVICE_ERROR_NORMAL;
    std::string imagePath;
    std::string dependencies;  // names each ending in a NUL, as stored
    std::string pidFile;
    DWORD waitHint = kDefaultWaitHint;
    bool markedForDelete = false;
};

// What ChangeServiceConfigA changes; an empty member is left as it is.
struct ServiceChange {
    std::optional<DWORD> type;
    std::optional<DWORD> start;
    std::optional<DWORD> errorControl;
    std::optional<std::string> imagePath;
    std::optional<std::string> dependencies;
    std::optional<std::string> account;
    std::optional<std::string> displayName;
};

// ERROR_INVALID_NAME for an empty name, one with a backslash or one too long.
DWORD CheckServiceName(const std::string& name);

// ERROR_SERVICE_DOES_NOT_EXIST when there is no such service.
DWORD ReadService(const std::string& name, ServiceRecord& record);
// ERROR_SERVICE_EXISTS, or ERROR_SERVICE_MARKED_FOR_DELETE while a service of the name is
// marked; ERROR_DUP_NAME when the display name is another service's name or display name.
DWORD AddService(const ServiceRecord& record);
// ERROR_SERVICE_MARKED_FOR_DELETE for a marked service; ERROR_DUP_NAME as for AddService.
DWORD ChangeService(const std::string& name, const ServiceChange& change);
DWORD MarkServiceForDelete(const std::string& name);
DWORD RemoveServiceKey(const std::string& name);

// The database lock, held by this process; ERROR_SERVICE_DATABASE_LOCKED while a running
// process holds it. The holder is recorded as its pid and start time, so a lock whose holder
// ended counts as released even once its pid has been given to another process.
DWORD LockDatabase();
DWORD UnlockDatabase();
bool IsDatabaseLockedByOther();

}  // namespace tlv::platform

#pragma once
// The service control manager's calls of the Windows platform, on one of two back ends chosen when
// the manager is opened: where systemd is the init system, its units over D-Bus
// (unitservices.h); elsewhere a service database kept in the registry store (servicedb.h) and
// the processes of this machine (servicerun.h).
//
// Calls return nonzero (or a handle) on success; on failure 0 (or null) with the platform's
// error code for GetLastError. Handles are checked: an unknown or closed handle is
// ERROR_INVALID_HANDLE, and a call outside the access a handle was opened with is
// ERROR_ACCESS_DENIED. Only the local machine's active database can be opened. The calls are
// meant for one thread at a time.
//
// Passwords are accepted and dropped at once: no call keeps, writes or passes one on.

#include "platform/registry/regapi.h"

struct SC_HANDLE__;
using SC_HANDLE = SC_HANDLE__*;
struct SC_LOCK__;
using SC_LOCK = SC_LOCK__*;

struct SERVICE_STATUS {
    DWORD dwServiceType;
    DWORD dwCurrentState;
    DWORD dwControlsAccepted;
    DWORD dwWin32ExitCode;
    DWORD dwServiceSpecificExitCode;
    DWORD dwCheckPoint;
    DWORD dwWaitHint;
};
using LPSERVICE_STATUS = SERVICE_STATUS*;

// Service states.
inline constexpr DWORD SERVICE_STOPPED = 1;
inline constexpr DWORD SERVICE_START_PENDING = 2;
inline constexpr DWORD SERVICE_STOP_PENDING = 3;
inline constexpr DWORD SERVICE_RUNNING = 4;
inline constexpr DWORD SERVICE_CONTINUE_PENDING = 5;
inline constexpr DWORD SERVICE_PAUSE_PENDING = 6;
inline constexpr DWORD SERVICE_PAUSED = 7;

// Controls and the controls a running service accepts.
inline constexpr DWORD SERVICE_CONTROL_STOP = 1;
inline constexpr DWORD SERVICE_ACCEPT_STOP = 1;

// Access rights of the manager.
inline constexpr DWORD SC_MANAGER_CONNECT = 0x0001;
inline constexpr DWORD SC_MANAGER_CREATE_SERVICE = 0x0002;
inline constexpr DWORD SC_MANAGER_ENUMERATE_SERVICE = 0x0004;
inline constexpr DWORD SC_MANAGER_LOCK = 0x0008;
inline constexpr DWORD SC_MANAGER_QUERY_LOCK_STATUS = 0x0010;
inline constexpr DWORD SC_MANAGER_MODIFY_BOOT_CONFIG = 0x0020;
inline constexpr DWORD SC_MANAGER_ALL_ACCESS = 0x000F003F;

// Access rights of a service (DELETE comes from the registry's rights).
inline constexpr DWORD SERVICE_QUERY_CONFIG = 0x0001;
inline constexpr DWORD SERVICE_CHANGE_CONFIG = 0x0002;
inline constexpr DWORD SERVICE_QUERY_STATUS = 0x0004;
inline constexpr DWORD SERVICE_ENUMERATE_DEPENDENTS = 0x0008;
inline constexpr DWORD SERVICE_START = 0x0010;
inline constexpr DWORD SERVICE_STOP = 0x0020;
inline constexpr DWORD SERVICE_PAUSE_CONTINUE = 0x0040;
inline constexpr DWORD SERVICE_INTERROGATE = 0x0080;
inline constexpr DWORD SERVICE_USER_DEFINED_CONTROL = 0x0100;
inline constexpr DWORD SERVICE_ALL_ACCESS = 0x000F01FF;

// Service types, start types and error control; SERVICE_NO_CHANGE leaves a setting as it is.
inline constexpr DWORD SERVICE_WIN32_OWN_PROCESS = 0x10;
inline constexpr DWORD SERVICE_WIN32_SHARE_PROCESS = 0x20;
inline constexpr DWORD SERVICE_BOOT_START = 0;
inline constexpr DWORD SERVICE_SYSTEM_START = 1;
inline constexpr DWORD SERVICE_AUTO_START = 2;
inline constexpr DWORD SERVICE_DEMAND_START = 3;
inline constexpr DWORD SERVICE_DISABLED = 4;
inline constexpr DWORD SERVICE_ERROR_IGNORE = 0;
inline constexpr DWORD SERVICE_ERROR_NORMAL = 1;
inline constexpr DWORD SERVICE_ERROR_SEVERE = 2;
inline constexpr DWORD SERVICE_ERROR_CRITICAL = 3;
inline constexpr DWORD SERVICE_NO_CHANGE = 0xFFFFFFFF;

// Error codes beyond the registry's.
inline constexpr DWORD ERROR_INVALID_DATA = 13;  // a service whose state cannot be told for sure
inline constexpr DWORD ERROR_DUP_NAME = 52;
inline constexpr DWORD ERROR_INVALID_NAME = 123;
inline constexpr DWORD ERROR_SERVICE_DATABASE_LOCKED = 1055;
inline constexpr DWORD ERROR_SERVICE_ALREADY_RUNNING = 1056;
inline constexpr DWORD ERROR_INVALID_SERVICE_ACCOUNT = 1057;
inline constexpr DWORD ERROR_SERVICE_DISABLED = 1058;
inline constexpr DWORD ERROR_CIRCULAR_DEPENDENCY = 1059;
inline constexpr DWORD ERROR_SERVICE_DOES_NOT_EXIST = 1060;
inline constexpr DWORD ERROR_SERVICE_NOT_ACTIVE = 1062;
inline constexpr DWORD ERROR_EXCEPTION_IN_SERVICE = 1064;  // systemd refused or cannot be reached
inline constexpr DWORD ERROR_DATABASE_DOES_NOT_EXIST = 1065;
inline constexpr DWORD ERROR_SERVICE_MARKED_FOR_DELETE = 1072;
inline constexpr DWORD ERROR_SERVICE_EXISTS = 1073;

// The local system account that services run as unless told otherwise.
inline constexpr const char* kLocalSystemAccount = "LocalSystem";

// machine and database must be null or empty (this machine, its active database).
SC_HANDLE OpenSCManagerA(LPCSTR lpMachineName, LPCSTR lpDatabaseName, DWORD dwDesiredAccess);
SC_HANDLE OpenServiceA(SC_HANDLE hSCManager, LPCSTR lpServiceName, DWORD dwDesiredAccess);
BOOL CloseServiceHandle(SC_HANDLE hSCObject);

// lpDependencies is a list of names each ending in a NUL, the list ending in a second NUL; the
// start name is an account "DOMAIN\user", ".\user" or "user" of a local user, or null for the
// local system account.
SC_HANDLE CreateServiceA(SC_HANDLE hSCManager, LPCSTR lpServiceName, LPCSTR lpDisplayName,
                         DWORD dwDesiredAccess, DWORD dwServiceType, DWORD dwStartType,
                         DWORD dwErrorControl, LPCSTR lpBinaryPathName, LPCSTR lpLoadOrderGroup,
                         LPDWORD lpdwTagId, LPCSTR lpDependencies, LPCSTR lpServiceStartName,
                         LPCSTR lpPassword);
// A null argument (SERVICE_NO_CHANGE for numbers) leaves that setting alone. The change is one
// transaction: all of it is kept or none.
BOOL ChangeServiceConfigA(SC_HANDLE hService, DWORD dwServiceType, DWORD dwStartType,
                          DWORD dwErrorControl, LPCSTR lpBinaryPathName, LPCSTR lpLoadOrderGroup,
                          LPDWORD lpdwTagId, LPCSTR lpDependencies, LPCSTR lpServiceStartName,
                          LPCSTR lpPassword, LPCSTR lpDisplayName);
// Marks the service for deletion; it is deleted once it has stopped and its last handle is
// closed.
BOOL DeleteService(SC_HANDLE hService);

// Arguments are not supported: dwNumServiceArgs must be 0.
BOOL StartServiceA(SC_HANDLE hService, DWORD dwNumServiceArgs, LPCSTR* lpServiceArgVectors);
// Only SERVICE_CONTROL_STOP; the status after the control goes to lpServiceStatus.
BOOL ControlService(SC_HANDLE hService, DWORD dwControl, LPSERVICE_STATUS lpServiceStatus);
BOOL QueryServiceStatus(SC_HANDLE hService, LPSERVICE_STATUS lpServiceStatus);

// The lock keeps other programs from starting services until it is released; a lock whose
// holder has ended counts as released.
SC_LOCK LockServiceDatabase(SC_HANDLE hSCManager);
BOOL UnlockServiceDatabase(SC_LOCK ScLock);

DWORD GetLastError();
void SetLastError(DWORD dwErrCode);
// This layer's own addition: what the last failed call found wrong, in words, when it knows more
// than the error code says (a doubtful pid file, an account it may not act as); else empty.
const char* GetLastErrorReason();
void Sleep(DWORD dwMilliseconds);

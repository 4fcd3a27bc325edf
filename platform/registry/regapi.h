#pragma once
// The registry calls of the Windows platform, over one SQLite file (regstore.h).
//
// Keys live below HKEY_LOCAL_MACHINE; paths use backslashes. Key and value names are compared
// without regard to ASCII letter case and kept as first written. Sub-keys enumerate in
// case-insensitive name order, values in the order they were first written. Value data is kept
// byte for byte, whatever its type.
//
// Every call is atomic and returns ERROR_SUCCESS or a platform error code. Handles are checked:
// an unknown or closed handle is ERROR_INVALID_HANDLE, never a crash. A handle carries the access
// it was opened with; a call outside that access is ERROR_ACCESS_DENIED. Several processes may
// share one file. The calls are meant for one thread at a time.
//
// The registry is read in layers (reglayers.h): the user's file over the machine's. The user's
// file is $TLV_REGISTRY, else $XDG_CONFIG_HOME/kestrova/registry.db, else
// ~/.config/kestrova/registry.db, decided on first use; RegUseRegistryFile switches files. The
// machine's is $TLV_MACHINE_REGISTRY, else /etc/kestrova/registry.db, read only; when it is the
// user's file itself (an administrator writing it) there is one layer.

#include <cstdint>
#include <string>

using BOOL = int;
using BYTE = unsigned char;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using REGSAM = DWORD;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using LPSTR = char*;
using LPCSTR = const char*;

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;

struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
using PFILETIME = FILETIME*;

// The one root key; it cannot be deleted and closing it does nothing.
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t{0x80000002});

// Result codes.
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_OUTOFMEMORY = 14;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_BAD_PATHNAME = 161;
inline constexpr LONG ERROR_BUSY = 170;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;
inline constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016;
inline constexpr LONG ERROR_KEY_DELETED = 1018;

// Value types; other numbers are stored and returned unchanged.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

// Access rights.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM DELETE = 0x00010000;
inline constexpr REGSAM READ_CONTROL = 0x00020000;
inline constexpr REGSAM KEY_READ = 0x00020019;
inline constexpr REGSAM KEY_WRITE = 0x00020006;
inline constexpr REGSAM KEY_EXECUTE = KEY_READ;
inline constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;
inline constexpr REGSAM MAXIMUM_ALLOWED = 0x02000000;
inline constexpr REGSAM GENERIC_ALL = 0x10000000;
inline constexpr REGSAM GENERIC_EXECUTE = 0x20000000;
inline constexpr REGSAM GENERIC_WRITE = 0x40000000;
inline constexpr REGSAM GENERIC_READ = 0x80000000;

// RegCreateKeyExA options and dispositions.
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Limits; longer names or data are ERROR_INVALID_PARAMETER.
inline constexpr DWORD REG_MAX_KEY_NAME = 255;
inline constexpr DWORD REG_MAX_VALUE_NAME = 16383;
inline constexpr DWORD REG_MAX_CLASS = 255;
inline constexpr DWORD REG_MAX_VALUE_DATA = 1024 * 1024;
inline constexpr DWORD REG_MAX_KEY_DEPTH = 512;

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
// Creates every missing key of the path; lpClass (may be null) is kept for the last key only
// when it is created.
LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                     REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                     LPDWORD lpdwDisposition);
LONG RegCloseKey(HKEY hKey);

// A null lpData asks for the type and size only; data longer than *lpcbData is ERROR_MORE_DATA
// with the size needed in *lpcbData. No terminator is added to string data.
LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData);
// Rewriting a value keeps its place in the value order.
LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                    DWORD cbData);
LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
// Needs DELETE access on hKey; a key that has sub-keys is refused with ERROR_ACCESS_DENIED.
LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);

LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName);
LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
// The counts are written even when the class does not fit (ERROR_MORE_DATA). Write times are
// not recorded: lpftLastWriteTime reads as zero.
LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                      LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                      LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                      LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime);

// Switches to another registry file (an empty path: the one the environment names), opening it
// at once. Every open handle is closed. On failure *message (if given) says why.
LONG RegUseRegistryFile(const std::string& path, std::string* message = nullptr);

// The same for a command that only reads: a file that does not exist is not created (nor the
// folders above it). The machine's registry is then read alone, and every write is refused;
// without it either, ERROR_FILE_NOT_FOUND, with *message naming the user's file.
LONG RegUseExistingRegistryFile(const std::string& path, std::string* message = nullptr);

// The files the registry reads, so that a message can say where something was looked for.
struct RegistryFiles {
    std::string user;  // the user's file; "" when none can be named
    std::string machine;
    bool userExists = false;
    bool machineRead = false;  // the machine's file is read under the user's
};
RegistryFiles RegQueryFiles();

// Runs every registry call made while it is active as one transaction: kept only by Commit,
// rolled back on destruction otherwise. Transactions do not nest.
class RegTransaction final {
public:
    RegTransaction();
    ~RegTransaction();
    RegTransaction(const RegTransaction&) = delete;
    RegTransaction& operator=(const RegTransaction&) = delete;

    // ERROR_SUCCESS while the transaction is open.
    LONG Status() const { return m_nStatus; }
    LONG Commit();

private:
    LONG m_nStatus;
};

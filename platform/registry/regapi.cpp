#include "platform/registry/regapi.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "platform/registry/reglayers.h"
#include "platform/registry/regname.h"
#include "platform/registry/storepath.h"

namespace {

struct OpenKey {
    LayeredKey key;
    REGSAM access = 0;
};

bool IsFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    if (stat(a.c_str(), &first) != 0 || stat(b.c_str(), &second) != 0) {
        return a == b;
    }
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The machine's registry below the user's, when there is one to read: not when the user's file
// is the machine's itself, nor when it cannot be read (the user then sees only their own).
std::unique_ptr<RegStore> OpenMachineLayer(const std::string& userPath) {
    const std::string machine = MachineRegistryPath();
    if (IsSameFile(userPath, machine) || !IsFile(machine)) {
        return nullptr;
    }
    auto store = std::make_unique<RegStore>();
    std::string ignored;
    return store->OpenReadOnly(machine, ignored) == ERROR_SUCCESS ? std::move(store) : nullptr;
}

// The open registry files and the handles given out for them.
class Registry final {
public:
    // The layers, opened from the environment on first use; null when that fails. A failed open
    // is not retried on every call: RegUseRegistryFile tries again.
    LayeredRegistry* Layers() {
        if (m_pLayers == nullptr && !m_bOpenFailed) {
            std::string message;
            m_bOpenFailed = UseFile("", false, message) != ERROR_SUCCESS;
        }
        return m_pLayers.get();
    }

    // readOnly: a user's file that does not exist is not made; the machine's is read alone.
    LONG UseFile(const std::string& requested, bool readOnly, std::string& message) {
        if (m_pLayers != nullptr && m_pLayers->InTransaction()) {
            message = "a registry transaction is open";
            return ERROR_BUSY;
        }
        m_handles.clear();
        m_pLayers.reset();
        const std::string path = requested.empty() ? RegistryPathFromEnvironment() : requested;
        if (path.empty()) {
            message = "no registry file: set TLV_REGISTRY or HOME";
            return ERROR_FILE_NOT_FOUND;
        }
        std::unique_ptr<RegStore> machine = OpenMachineLayer(path);
        std::unique_ptr<RegStore> user;
        if (!readOnly || IsFile(path)) {
            if (!CreateParentFolders(path, message)) {
                return ERROR_ACCESS_DENIED;
            }
            user = std::make_unique<RegStore>();
            if (const LONG rc = user->Open(path, IsSameFile(path, MachineRegistryPath()), message);
                rc != ERROR_SUCCESS) {
                message = path + ": " + message;
                return rc;
            }
        } else if (machine == nullptr) {
            message = "the registry " + path + " does not exist";
            return ERROR_FILE_NOT_FOUND;
        }
        m_pLayers = std::make_unique<LayeredRegistry>(std::move(user), std::move(machine));
        m_bOpenFailed = false;
        m_strUserPath = path;
        return ERROR_SUCCESS;
    }

    // The files of the layers in use, else of those the environment names.
    RegistryFiles Files() const {
        RegistryFiles files;
        files.user = m_pLayers != nullptr ? m_strUserPath : RegistryPathFromEnvironment();
        files.machine = MachineRegistryPath();
        files.userExists = !files.user.empty() && IsFile(files.user);
        files.machineRead = m_pLayers != nullptr
                                ? m_pLayers->HasMachineFile()
                                : IsFile(files.machine) && !IsSameFile(files.user, files.machine);
        return files;
    }

    // The open key of the handle, brought up to date; null (with the error) otherwise.
    OpenKey* Resolve(HKEY handle, LONG& rc) {
        rc = ERROR_SUCCESS;
        if (handle == HKEY_LOCAL_MACHINE) {
            m_root = {LayeredRegistry::Root(), KEY_ALL_ACCESS};
            return &m_root;
        }
        const auto found = m_handles.find(reinterpret_cast<std::uintptr_t>(handle));
        if (found == m_handles.end()) {
            rc = ERROR_INVALID_HANDLE;
            return nullptr;
        }
        return &found->second;
    }

    HKEY Add(OpenKey key) {
        const std::uintptr_t handle = m_nNextHandle++;
        m_handles[handle] = std::move(key);
        return reinterpret_cast<HKEY>(handle);
    }

    LONG Close(HKEY handle) {
        if (handle == HKEY_LOCAL_MACHINE) {
            return ERROR_SUCCESS;
        }
        return m_handles.erase(reinterpret_cast<std::uintptr_t>(handle)) > 0 ? ERROR_SUCCESS
                                                                             : ERROR_INVALID_HANDLE;
    }

private:
    std::unique_ptr<LayeredRegistry> m_pLayers;
    std::string m_strUserPath;  // of the layers in use
    bool m_bOpenFailed = false;
    std::map<std::uintptr_t, OpenKey> m_handles;
    OpenKey m_root;
    // Handles are never reused, so a closed one stays invalid; they start far from any pointer.
    std::uintptr_t m_nNextHandle = 0x1000;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

// The store and the handle table are shared by every thread of the program (sessions look up
// their entries on threads of their own, many at once in tlvadm): one call at a time.
std::recursive_mutex& CallLock() {
    static std::recursive_mutex lock;
    return lock;
}

REGSAM MapGenericAccess(REGSAM access) {
    REGSAM mapped = access & KEY_ALL_ACCESS;
    if ((access & (GENERIC_ALL | MAXIMUM_ALLOWED)) != 0) {
        mapped |= KEY_ALL_ACCESS;
    }
    if ((access & (GENERIC_READ | GENERIC_EXECUTE)) != 0) {
        mapped |= KEY_READ;
    }
    if ((access & GENERIC_WRITE) != 0) {
        mapped |= KEY_WRITE;
    }
    return mapped;
}

bool Allows(const OpenKey& key, REGSAM needed) {
    return (key.access & needed) == needed;
}

std::string_view NameOrEmpty(LPCSTR name) {
    return name != nullptr ? std::string_view(name) : std::string_view{};
}

// Runs one call on an open key: resolves the handle, checks the access it needs, and runs the
// step atomically. Library exceptions stop here.
template <typename Step>
LONG WithKey(HKEY handle, REGSAM needed, bool write, Step step) {
    const std::lock_guard serialized(CallLock());
    try {
        Registry& registry = TheRegistry();
        LayeredRegistry* layers = registry.Layers();
        if (layers == nullptr) {
            return ERROR_REGISTRY_IO_FAILED;
        }
        LONG rc = ERROR_SUCCESS;
        OpenKey* key = registry.Resolve(handle, rc);
        if (key == nullptr) {
            return rc;
        }
        if (!Allows(*key, needed)) {
            return ERROR_ACCESS_DENIED;
        }
        return layers->Atomic(write, [&] {
            const LONG resolved = layers->Resolve(key->key);
            return resolved != ERROR_SUCCESS ? resolved : step(*layers, *key);
        });
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

// Copies bytes into a caller's buffer of *size bytes; ERROR_MORE_DATA with the size needed
// when they do not fit. A null buffer asks for the size only.
LONG CopyOut(const std::string& bytes, LPBYTE buffer, LPDWORD size) {
    if (size == nullptr) {
        return buffer == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    }
    const DWORD needed = static_cast<DWORD>(bytes.size());
    if (buffer != nullptr && needed > *size) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (buffer != nullptr && needed > 0) {
        std::copy(bytes.begin(), bytes.end(), buffer);
    }
    *size = needed;
    return ERROR_SUCCESS;
}

// Copies a name with its terminator into a buffer of capacity characters.
LONG CopyName(const std::string& name, LPSTR buffer, DWORD capacity) {
    if (name.size() >= capacity) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return ERROR_SUCCESS;
}

void SetIfWanted(LPDWORD out, DWORD value) {
    if (out != nullptr) {
        *out = value;
    }
}

LONG OpenOrCreate(HKEY hKey, LPCSTR lpSubKey, std::string_view className, REGSAM samDesired,
                  bool mayCreate, PHKEY phkResult, LPDWORD lpdwDisposition) {
    if (phkResult == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::lock_guard serialized(CallLock());
    std::vector<std::string> names;
    if (const LONG rc = SplitRegPath(NameOrEmpty(lpSubKey), names); rc != ERROR_SUCCESS) {
        return rc;
    }
    if (className.size() > REG_MAX_CLASS) {
        return ERROR_INVALID_PARAMETER;
    }
    LayeredKey opened;
    bool created = false;
    const LONG rc = WithKey(hKey, 0, mayCreate, [&](LayeredRegistry& layers, const OpenKey& parent) {
        LONG found = layers.Open(parent.key, names, opened);
        if (found != ERROR_FILE_NOT_FOUND || !mayCreate) {
            return found;
        }
        if (!Allows(parent, KEY_CREATE_SUB_KEY)) {
            return ERROR_ACCESS_DENIED;
        }
        return layers.Create(parent.key, names, className, opened, created);
    });
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    try {
        *phkResult = TheRegistry().Add({std::move(opened), MapGenericAccess(samDesired)});
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
    SetIfWanted(lpdwDisposition, created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY);
    return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*ulOptions*/, REGSAM samDesired,
                   PHKEY phkResult) {
    return OpenOrCreate(hKey, lpSubKey, {}, samDesired, false, phkResult, nullptr);
}

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD /*Reserved*/, LPSTR lpClass,
                     DWORD /*dwOptions*/, REGSAM samDesired,
                     LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/, PHKEY phkResult,
                     LPDWORD lpdwDisposition) {
    return OpenOrCreate(hKey, lpSubKey, NameOrEmpty(lpClass), samDesired, true, phkResult,
                        lpdwDisposition);
}

LONG RegCloseKey(HKEY hKey) {
    const std::lock_guard serialized(CallLock());
    return TheRegistry().Close(hKey);
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD /*lpReserved*/, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData) {
    return WithKey(hKey, KEY_QUERY_VALUE, false, [&](LayeredRegistry& layers, const OpenKey& key) {
        StoredValue value;
        if (const LONG rc = layers.GetValue(key.key, NameOrEmpty(lpValueName), value);
            rc != ERROR_SUCCESS) {
            return rc;
        }
        const LONG rc = CopyOut(value.data, lpData, lpcbData);
        if (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
            SetIfWanted(lpType, value.type);
        }
        return rc;
    });
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD /*Reserved*/, DWORD dwType,
                    const BYTE* lpData, DWORD cbData) {
    const std::string_view name = NameOrEmpty(lpValueName);
    if (CheckValueName(name) != ERROR_SUCCESS || CheckValueSize(cbData) != ERROR_SUCCESS ||
        (lpData == nullptr && cbData > 0)) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::string_view data(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0);
    return WithKey(hKey, KEY_SET_VALUE, true, [&](LayeredRegistry& layers, OpenKey& key) {
        return layers.SetValue(key.key, name, dwType, data);
    });
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    return WithKey(hKey, KEY_SET_VALUE, true, [&](LayeredRegistry& layers, OpenKey& key) {
        return layers.DeleteValue(key.key, NameOrEmpty(lpValueName));
    });
}

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
    std::vector<std::string> names;
    if (const LONG rc = SplitRegPath(NameOrEmpty(lpSubKey), names); rc != ERROR_SUCCESS) {
        return rc;
    }
    if (names.empty()) {
        return ERROR_INVALID_PARAMETER;
    }
    return WithKey(hKey, DELETE, true, [&](LayeredRegistry& layers, const OpenKey& key) {
        return layers.DeleteKey(key.key, names);
    });
}

LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName) {
    if (lpName == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return WithKey(hKey, KEY_ENUMERATE_SUB_KEYS, false, [&](LayeredRegistry& layers, const OpenKey& key) {
        std::string name;
        if (const LONG rc = layers.SubKeyAt(key.key, dwIndex, name); rc != ERROR_SUCCESS) {
            return rc;
        }
        return CopyName(name, lpName, cchName);
    });
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                   LPDWORD /*lpReserved*/, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    if (lpValueName == nullptr || lpcchValueName == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return WithKey(hKey, KEY_QUERY_VALUE, false, [&](LayeredRegistry& layers, const OpenKey& key) {
        StoredValue value;
        if (const LONG rc = layers.ValueAt(key.key, dwIndex, value); rc != ERROR_SUCCESS) {
            return rc;
        }
        if (const LONG rc = CopyName(value.name, lpValueName, *lpcchValueName);
            rc != ERROR_SUCCESS) {
            return rc;
        }
        *lpcchValueName = static_cast<DWORD>(value.name.size());
        SetIfWanted(lpType, value.type);
        return CopyOut(value.data, lpData, lpcbData);
    });
}

LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD /*lpReserved*/,
                      LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                      LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                      LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
    if (lpClass != nullptr && lpcchClass == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return WithKey(hKey, KEY_QUERY_VALUE, false, [&](LayeredRegistry& layers, const OpenKey& key) {
        StoredKeyInfo info;
        if (const LONG rc = layers.QueryInfo(key.key, info); rc != ERROR_SUCCESS) {
            return rc;
        }
        LONG result = ERROR_SUCCESS;
        if (lpClass != nullptr) {
            result = CopyName(info.className, lpClass, *lpcchClass);
        }
        SetIfWanted(lpcchClass, static_cast<DWORD>(info.className.size()));
        SetIfWanted(lpcSubKeys, info.subKeys);
        SetIfWanted(lpcbMaxSubKeyLen, info.maxSubKeyLength);
        SetIfWanted(lpcbMaxClassLen, info.maxClassLength);
        SetIfWanted(lpcValues, info.values);
        SetIfWanted(lpcbMaxValueNameLen, info.maxValueNameLength);
        SetIfWanted(lpcbMaxValueLen, info.maxValueLength);
        SetIfWanted(lpcbSecurityDescriptor, 0);
        if (lpftLastWriteTime != nullptr) {
            *lpftLastWriteTime = FILETIME{0, 0};
        }
        return result;
    });
}

namespace {

LONG UseRegistryFile(const std::string& path, bool readOnly, std::string* message) {
    std::string why;
    LONG rc = ERROR_OUTOFMEMORY;
    const std::lock_guard serialized(CallLock());
    try {
        rc = TheRegistry().UseFile(path, readOnly, why);
    } catch (const std::bad_alloc&) {
        why = "out of memory";
    }
    if (message != nullptr) {
        *message = why;
    }
    return rc;
}

}  // namespace

LONG RegUseRegistryFile(const std::string& path, std::string* message) {
    return UseRegistryFile(path, false, message);
}

LONG RegUseExistingRegistryFile(const std::string& path, std::string* message) {
    return UseRegistryFile(path, true, message);
}

RegistryFiles RegQueryFiles() {
    try {
        return TheRegistry().Files();
    } catch (const std::bad_alloc&) {
        return {};
    }
}

RegTransaction::RegTransaction() : m_nStatus(ERROR_REGISTRY_IO_FAILED) {
    const std::lock_guard serialized(CallLock());
    if (LayeredRegistry* layers = TheRegistry().Layers(); layers != nullptr) {
        m_nStatus = layers->BeginTransaction();
    }
}

RegTransaction::~RegTransaction() {
    const std::lock_guard serialized(CallLock());
    if (m_nStatus == ERROR_SUCCESS) {
        if (LayeredRegistry* layers = TheRegistry().Layers(); layers != nullptr) {
            layers->RollbackTransaction();
        }
    }
}

LONG RegTransaction::Commit() {
    if (m_nStatus != ERROR_SUCCESS) {
        return m_nStatus;
    }
    m_nStatus = ERROR_INVALID_HANDLE;
    const std::lock_guard serialized(CallLock());
    LayeredRegistry* layers = TheRegistry().Layers();
    return layers != nullptr ? layers->CommitTransaction() : ERROR_REGISTRY_IO_FAILED;
}


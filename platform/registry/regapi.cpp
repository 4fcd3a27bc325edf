#include "platform/registry/regapi.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/registry/regname.h"
#include "platform/registry/regstore.h"
#include "platform/registry/seedregistry.h"
#include "platform/registry/storepath.h"

namespace {

struct OpenKey {
    std::int64_t keyId = 0;
    REGSAM access = 0;
};

// The open registry file and the handles given out for it.
class Registry final {
public:
    // The store, opened from the environment on first use; null when that fails. A failed open
    // is not retried on every call: RegUseRegistryFile tries again.
    RegStore* Store() {
        if (m_pStore == nullptr && !m_bOpenFailed) {
            std::string message;
            m_bOpenFailed = UseFile("", message) != ERROR_SUCCESS;
        }
        return m_pStore.get();
    }

    LONG UseFile(const std::string& requested, std::string& message) {
        if (m_pStore != nullptr && m_pStore->InTransaction()) {
            message = "a registry transaction is open";
            return ERROR_BUSY;
        }
        m_handles.clear();
        m_pStore.reset();
        const std::string path = requested.empty() ? RegistryPathFromEnvironment() : requested;
        if (path.empty()) {
            message = "no registry file: set TLV_REGISTRY or HOME";
            return ERROR_FILE_NOT_FOUND;
        }
        if (!CreateParentFolders(path, message)) {
            return ERROR_ACCESS_DENIED;
        }
        SeedFromMachineRegistry(requested, path);
        auto store = std::make_unique<RegStore>();
        if (const LONG rc = store->Open(path, message); rc != ERROR_SUCCESS) {
            message = path + ": " + message;
            return rc;
        }
        m_pStore = std::move(store);
        m_bOpenFailed = false;
        return ERROR_SUCCESS;
    }

    // A failed copy is not fatal: the user's registry then starts empty, as without a package.
    static void SeedFromMachineRegistry(const std::string& requested, const std::string& path) {
        std::string ignored;
        if (requested.empty() && IsSeededRegistryLocation())
            SeedUserRegistry(path, ignored);
    }

    LONG Resolve(HKEY handle, OpenKey& key) const {
        if (handle == HKEY_LOCAL_MACHINE) {
            key = {RegStore::kRootKeyId, KEY_ALL_ACCESS};
            return ERROR_SUCCESS;
        }
        const auto found = m_handles.find(reinterpret_cast<std::uintptr_t>(handle));
        if (found == m_handles.end()) {
            return ERROR_INVALID_HANDLE;
        }
        key = found->second;
        return ERROR_SUCCESS;
    }

    HKEY Add(const OpenKey& key) {
        const std::uintptr_t handle = m_nNextHandle++;
        m_handles[handle] = key;
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
    std::unique_ptr<RegStore> m_pStore;
    bool m_bOpenFailed = false;
    std::map<std::uintptr_t, OpenKey> m_handles;
    // Handles are never reused, so a closed one stays invalid; they start far from any pointer.
    std::uintptr_t m_nNextHandle = 0x1000;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
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
    try {
        Registry& registry = TheRegistry();
        OpenKey key;
        if (const LONG rc = registry.Resolve(handle, key); rc != ERROR_SUCCESS) {
            return rc;
        }
        if (!Allows(key, needed)) {
            return ERROR_ACCESS_DENIED;
        }
        RegStore* store = registry.Store();
        if (store == nullptr) {
            return ERROR_REGISTRY_IO_FAILED;
        }
        return store->Atomic(write, [&] { return step(*store, key); });
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
        std::memcpy(buffer, bytes.data(), needed);
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
    std::vector<std::string> names;
    if (const LONG rc = SplitRegPath(NameOrEmpty(lpSubKey), names); rc != ERROR_SUCCESS) {
        return rc;
    }
    if (className.size() > REG_MAX_CLASS) {
        return ERROR_INVALID_PARAMETER;
    }
    std::int64_t id = 0;
    bool created = false;
    const LONG rc = WithKey(hKey, 0, mayCreate, [&](RegStore& store, const OpenKey& parent) {
        LONG found = store.FindKey(parent.keyId, names, id);
        if (found != ERROR_FILE_NOT_FOUND || !mayCreate) {
            return found;
        }
        if (!Allows(parent, KEY_CREATE_SUB_KEY)) {
            return ERROR_ACCESS_DENIED;
        }
        return store.CreateKey(parent.keyId, names, className, id, created);
    });
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    try {
        *phkResult = TheRegistry().Add({id, MapGenericAccess(samDesired)});
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
    return TheRegistry().Close(hKey);
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD /*lpReserved*/, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData) {
    return WithKey(hKey, KEY_QUERY_VALUE, false, [&](RegStore& store, const OpenKey& key) {
        StoredValue value;
        if (const LONG rc = store.GetValue(key.keyId, NameOrEmpty(lpValueName), value);
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
    return WithKey(hKey, KEY_SET_VALUE, true, [&](RegStore& store, const OpenKey& key) {
        return store.SetValue(key.keyId, name, dwType, data);
    });
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    return WithKey(hKey, KEY_SET_VALUE, true, [&](RegStore& store, const OpenKey& key) {
        return store.DeleteValue(key.keyId, NameOrEmpty(lpValueName));
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
    return WithKey(hKey, DELETE, true, [&](RegStore& store, const OpenKey& key) {
        std::int64_t id = 0;
        if (const LONG rc = store.FindKey(key.keyId, names, id); rc != ERROR_SUCCESS) {
            return rc;
        }
        return store.DeleteKey(id);
    });
}

LONG RegEnumKeyA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD cchName) {
    if (lpName == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return WithKey(hKey, KEY_ENUMERATE_SUB_KEYS, false, [&](RegStore& store, const OpenKey& key) {
        std::string name;
        if (const LONG rc = store.SubKeyAt(key.keyId, dwIndex, name); rc != ERROR_SUCCESS) {
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
    return WithKey(hKey, KEY_QUERY_VALUE, false, [&](RegStore& store, const OpenKey& key) {
        StoredValue value;
        if (const LONG rc = store.ValueAt(key.keyId, dwIndex, value); rc != ERROR_SUCCESS) {
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
    return WithKey(hKey, KEY_QUERY_VALUE, false, [&](RegStore& store, const OpenKey& key) {
        StoredKeyInfo info;
        if (const LONG rc = store.QueryInfo(key.keyId, info); rc != ERROR_SUCCESS) {
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

LONG RegUseRegistryFile(const std::string& path, std::string* message) {
    std::string why;
    LONG rc = ERROR_OUTOFMEMORY;
    try {
        rc = TheRegistry().UseFile(path, why);
    } catch (const std::bad_alloc&) {
        why = "out of memory";
    }
    if (message != nullptr) {
        *message = why;
    }
    return rc;
}

RegTransaction::RegTransaction() : m_nStatus(ERROR_REGISTRY_IO_FAILED) {
    if (RegStore* store = TheRegistry().Store(); store != nullptr) {
        m_nStatus = store->BeginTransaction();
    }
}

RegTransaction::~RegTransaction() {
    if (m_nStatus == ERROR_SUCCESS) {
        if (RegStore* store = TheRegistry().Store(); store != nullptr) {
            store->RollbackTransaction();
        }
    }
}

LONG RegTransaction::Commit() {
    if (m_nStatus != ERROR_SUCCESS) {
        return m_nStatus;
    }
    m_nStatus = ERROR_INVALID_HANDLE;
    RegStore* store = TheRegistry().Store();
    return store != nullptr ? store->CommitTransaction() : ERROR_REGISTRY_IO_FAILED;
}

LONG RegUseExistingRegistryFile(const std::string& path, std::string* message) {
    const std::string file = path.empty() ? RegistryPathFromEnvironment() : path;
    struct stat info {};
    const bool bMissing = !file.empty() && stat(file.c_str(), &info) != 0 && errno == ENOENT;
    // A user who has none yet reads the machine's through the copy every first use makes.
    if (bMissing && path.empty() && IsSeededRegistryLocation() &&
        stat(MachineRegistryPath().c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        return RegUseRegistryFile("", message);
    }
    if (bMissing) {
        if (message != nullptr) {
            *message = "the registry " + file + " does not exist";
        }
        return ERROR_FILE_NOT_FOUND;
    }
    return RegUseRegistryFile(file, message);
}

#include "platform/scm/servicedb.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <utility>

#include "platform/process/alive.h"
#include "platform/registry/regname.h"
#include "platform/registry/scopedkey.h"

namespace tlv::platform {

namespace {

constexpr const char* kLockKey = "SYSTEM\\CurrentControlSet\\Control\\ServiceDatabaseLock";
constexpr const char* kLockOwner = "Owner";

// One open registry key, closed on every way out, with the reads and writes of the database.
class Key final {
public:
    LONG Open(const std::string& path, REGSAM access) {
        return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, m_key.Out());
    }
    LONG Create(const std::string& path) {
        DWORD disposition = 0;
        return RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr,
                               REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, m_key.Out(),
                               &disposition);
    }

    // A missing value leaves the text as it is.
    LONG ReadText(const char* name, std::string& text) const {
        DWORD type = REG_NONE;
        DWORD size = 0;
        LONG rc = RegQueryValueExA(m_key.Get(), name, nullptr, &type, nullptr, &size);
        if (rc == ERROR_FILE_NOT_FOUND)
            return ERROR_SUCCESS;
        if (rc != ERROR_SUCCESS)
            return rc;
        std::string data(size, '\0');
        rc = RegQueryValueExA(m_key.Get(), name, nullptr, &type,
                              reinterpret_cast<LPBYTE>(data.data()), &size);
        if (rc != ERROR_SUCCESS)
            return rc;
        data.resize(size);
        // A string value's terminator is not part of the text; a list keeps its NULs.
        if (type != REG_MULTI_SZ && !data.empty() && data.back() == '\0')
            data.pop_back();
        text = std::move(data);
        return ERROR_SUCCESS;
    }
    // A missing value, or one that is not a 4-byte number, leaves the number as it is.
    LONG ReadNumber(const char* name, DWORD& number) const {
        DWORD type = REG_NONE;
        DWORD value = 0;
        DWORD size = sizeof value;
        const LONG rc = RegQueryValueExA(m_key.Get(), name, nullptr, &type,
                                         reinterpret_cast<LPBYTE>(&value), &size);
        if (rc == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value)
            number = value;
        return rc == ERROR_FILE_NOT_FOUND || rc == ERROR_MORE_DATA ? ERROR_SUCCESS : rc;
    }
    LONG WriteText(const char* name, const std::string& text, DWORD type = REG_SZ) const {
        const std::string data = type == REG_MULTI_SZ ? text : text + '\0';
        return RegSetValueExA(m_key.Get(), name, 0, type,
                              reinterpret_cast<const BYTE*>(data.data()),
                              static_cast<DWORD>(data.size()));
    }
    LONG WriteNumber(const char* name, DWORD number) const {
        return RegSetValueExA(m_key.Get(), name, 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
    HKEY Handle() const { return m_key.Get(); }

private:
    ScopedKey m_key;
};

std::string ServiceKeyPath(const std::string& name) {
    return std::string(kServicesKey) + "\\" + name;
}

DWORD ReadRecord(const Key& key, ServiceRecord& record) {
    DWORD marked = 0;
    const LONG results[] = {
        key.ReadText("DisplayName", record.displayName),
        key.ReadText("ObjectName", record.account),
        key.ReadNumber("Type", record.type),
        key.ReadNumber("Start", record.start),
        key.ReadNumber("ErrorControl", record.errorControl),
        key.ReadText("ImagePath", record.imagePath),
        key.ReadText("DependOnService", record.dependencies),
        key.ReadText("PidFile", record.pidFile),
        key.ReadNumber("WaitHint", record.waitHint),
        key.ReadNumber("DeleteFlag", marked),
    };
    record.markedForDelete = marked != 0;
    record.waitHint = BoundedWaitHint(record.waitHint);
    for (const LONG rc : results) {
        if (rc != ERROR_SUCCESS)
            return static_cast<DWORD>(rc);
    }
    return ERROR_SUCCESS;
}

// Writes the members the change holds; the first failure ends it.
DWORD WriteChange(const Key& key, const ServiceChange& change) {
    LONG rc = ERROR_SUCCESS;
    const auto text = [&](const char* name, const std::optional<std::string>& value,
                          DWORD type = REG_SZ) {
        if (rc == ERROR_SUCCESS && value)
            rc = key.WriteText(name, *value, type);
    };
    const auto number = [&](const char* name, const std::optional<DWORD>& value) {
        if (rc == ERROR_SUCCESS && value)
            rc = key.WriteNumber(name, *value);
    };
    text("DisplayName", change.displayName);
    text("ObjectName", change.account);
    number("Type", change.type);
    number("Start", change.start);
    number("ErrorControl", change.errorControl);
    text("ImagePath", change.imagePath);
    text("DependOnService", change.dependencies, REG_MULTI_SZ);
    return static_cast<DWORD>(rc);
}

// Whether another service than `self` is named or shown as the display name.
DWORD CheckDisplayNameFree(const std::string& self, const std::string& displayName) {
    Key services;
    if (services.Open(kServicesKey, KEY_READ) != ERROR_SUCCESS)
        return ERROR_SUCCESS;
    const std::string wanted = FoldRegName(displayName);
    char name[REG_MAX_KEY_NAME + 1];
    for (DWORD index = 0;
         RegEnumKeyA(services.Handle(), index, name, sizeof name) == ERROR_SUCCESS; ++index) {
        if (FoldRegName(name) == FoldRegName(self))
            continue;
        ServiceRecord other;
        if (FoldRegName(name) == wanted ||
            (ReadService(name, other) == ERROR_SUCCESS &&
             FoldRegName(other.displayName) == wanted))
            return ERROR_DUP_NAME;
    }
    return ERROR_SUCCESS;
}

DWORD Commit(RegTransaction& transaction, DWORD rc) {
    return rc == ERROR_SUCCESS ? static_cast<DWORD>(transaction.Commit()) : rc;
}

// The lock's holder as "PID:START" (START: the process's start time).
std::string ProcessMark(pid_t pid) {
    const std::optional<std::uint64_t> started = ProcessStartTime(pid);
    return started ? std::to_string(pid) + ":" + std::to_string(*started) : std::string{};
}

std::string LockOwner() {
    Key lock;
    std::string owner;
    if (lock.Open(kLockKey, KEY_READ) == ERROR_SUCCESS)
        lock.ReadText(kLockOwner, owner);
    return owner;
}

// Whether the recorded holder still runs: the same pid started at the same time. A mark that
// does not read as one (a bare pid of an older lock included) holds nothing.
bool IsHolderAlive(const std::string& owner) {
    const std::size_t colon = owner.find(':');
    pid_t pid = 0;
    if (colon == std::string::npos ||
        std::from_chars(owner.data(), owner.data() + colon, pid).ec != std::errc{} || pid <= 0)
        return false;
    return ProcessMark(pid) == owner;
}

}  // namespace

DWORD CheckServiceName(const std::string& name) {
    if (name.empty() || name.size() > kMaxServiceNameLength ||
        name.find_first_of("\\/") != std::string::npos)
        return ERROR_INVALID_NAME;
    return ERROR_SUCCESS;
}

DWORD ReadService(const std::string& name, ServiceRecord& record) {
    if (CheckServiceName(name) != ERROR_SUCCESS)
        return ERROR_SERVICE_DOES_NOT_EXIST;
    Key key;
    const LONG rc = key.Open(ServiceKeyPath(name), KEY_READ);
    if (rc == ERROR_FILE_NOT_FOUND)
        return ERROR_SERVICE_DOES_NOT_EXIST;
    if (rc != ERROR_SUCCESS)
        return static_cast<DWORD>(rc);
    record = ServiceRecord{};
    record.name = name;
    return ReadRecord(key, record);
}

DWORD AddService(const ServiceRecord& record) {
    RegTransaction transaction;
    if (transaction.Status() != ERROR_SUCCESS)
        return static_cast<DWORD>(transaction.Status());
    ServiceRecord existing;
    if (const DWORD rc = ReadService(record.name, existing); rc != ERROR_SERVICE_DOES_NOT_EXIST)
        return rc != ERROR_SUCCESS          ? rc
               : existing.markedForDelete ? ERROR_SERVICE_MARKED_FOR_DELETE
                                          : ERROR_SERVICE_EXISTS;
    if (const DWORD rc = CheckDisplayNameFree(record.name, record.displayName); rc != 0)
        return rc;
    Key key;
    if (const LONG rc = key.Create(ServiceKeyPath(record.name)); rc != ERROR_SUCCESS)
        return static_cast<DWORD>(rc);
    const ServiceChange all{record.type,        record.start,   record.errorControl,
                            record.imagePath,   record.dependencies, record.account,
                            record.displayName};
    return Commit(transaction, WriteChange(key, all));
}

DWORD ChangeService(const std::string& name, const ServiceChange& change) {
    RegTransaction transaction;
    if (transaction.Status() != ERROR_SUCCESS)
        return static_cast<DWORD>(transaction.Status());
    ServiceRecord existing;
    if (const DWORD rc = ReadService(name, existing); rc != ERROR_SUCCESS)
        return rc;
    if (existing.markedForDelete)
        return ERROR_SERVICE_MARKED_FOR_DELETE;
    if (change.displayName) {
        if (const DWORD rc = CheckDisplayNameFree(name, *change.displayName); rc != 0)
            return rc;
    }
    Key key;
    if (const LONG rc = key.Open(ServiceKeyPath(name), KEY_ALL_ACCESS); rc != ERROR_SUCCESS)
        return static_cast<DWORD>(rc);
    return Commit(transaction, WriteChange(key, change));
}

DWORD MarkServiceForDelete(const std::string& name) {
    Key key;
    if (const LONG rc = key.Open(ServiceKeyPath(name), KEY_ALL_ACCESS); rc != ERROR_SUCCESS)
        return rc == ERROR_FILE_NOT_FOUND ? ERROR_SERVICE_DOES_NOT_EXIST : static_cast<DWORD>(rc);
    return static_cast<DWORD>(key.WriteNumber("DeleteFlag", 1));
}

DWORD RemoveServiceKey(const std::string& name) {
    Key services;
    if (const LONG rc = services.Open(kServicesKey, KEY_ALL_ACCESS); rc != ERROR_SUCCESS)
        return static_cast<DWORD>(rc);
    // A service key has values only; a sub-key put there by hand keeps it (access denied).
    const LONG rc = RegDeleteKeyA(services.Handle(), name.c_str());
    return rc == ERROR_FILE_NOT_FOUND ? ERROR_SERVICE_DOES_NOT_EXIST : static_cast<DWORD>(rc);
}

DWORD LockDatabase() {
    RegTransaction transaction;
    if (transaction.Status() != ERROR_SUCCESS)
        return static_cast<DWORD>(transaction.Status());
    if (IsHolderAlive(LockOwner()))
        return ERROR_SERVICE_DATABASE_LOCKED;
    const std::string self = ProcessMark(getpid());
    if (self.empty())
        return ERROR_SERVICE_DATABASE_LOCKED;
    Key lock;
    LONG rc = lock.Create(kLockKey);
    if (rc == ERROR_SUCCESS)
        rc = lock.WriteText(kLockOwner, self);
    return Commit(transaction, static_cast<DWORD>(rc));
}

DWORD UnlockDatabase() {
    RegTransaction transaction;
    if (transaction.Status() != ERROR_SUCCESS)
        return static_cast<DWORD>(transaction.Status());
    if (LockOwner() != ProcessMark(getpid()))
        return ERROR_INVALID_HANDLE;
    Key lock;
    LONG rc = lock.Open(kLockKey, KEY_ALL_ACCESS);
    if (rc == ERROR_SUCCESS)
        rc = RegDeleteValueA(lock.Handle(), kLockOwner);
    return Commit(transaction, static_cast<DWORD>(rc));
}

bool IsDatabaseLockedByOther() {
    const std::string owner = LockOwner();
    return owner != ProcessMark(getpid()) && IsHolderAlive(owner);
}

DWORD BoundedWaitHint(DWORD milliseconds) {
    return std::clamp(milliseconds, kMinWaitHint, kMaxWaitHint);
}

}  // namespace tlv::platform

#include "s100/client/server_table.h"

#include <mutex>
#include <vector>

#include "platform/registry/regapi.h"
#include "platform/registry/scopedkey.h"

namespace tlv::client {
namespace {

// The registry calls are made for one thread at a time; sessions may be opened from several.
std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}

EntryFault readEntry(const std::string& entryName, std::string& connectString) {
    if (entryName.empty()) {
        return EntryFault::NoEntry;  // the unnamed value is the key's default, never an entry
    }
    const std::lock_guard lock(registryMutex());
    ScopedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAdministrationServersKey, 0, KEY_READ, key.Out()) !=
        ERROR_SUCCESS) {
        return EntryFault::NoTable;
    }
    std::vector<BYTE> data(kMaxConnectStringBytes);
    DWORD type = REG_NONE;
    DWORD size = kMaxConnectStringBytes;
    const LONG result =
        RegQueryValueExA(key.Get(), entryName.c_str(), nullptr, &type, data.data(), &size);
    if (result == ERROR_MORE_DATA) {
        return type == REG_SZ ? EntryFault::TooLong : EntryFault::NotAString;
    }
    if (result != ERROR_SUCCESS) {
        return EntryFault::NoEntry;
    }
    if (type != REG_SZ) {
        return EntryFault::NotAString;
    }
    std::string text(reinterpret_cast<const char*>(data.data()), size);
    // String data may or may not carry its terminator; the text ends at the first NUL.
    if (const std::size_t end = text.find('\0'); end != std::string::npos) {
        text.resize(end);
    }
    connectString = std::move(text);
    return EntryFault::None;
}

}  // namespace

CTerror lookUpServerEntry(const std::string& entryName, std::string& connectString,
                          EntryFault* fault) {
    const EntryFault found = readEntry(entryName, connectString);
    if (fault != nullptr) {
        *fault = found;
    }
    switch (found) {
        case EntryFault::None:
            return CTerr_NoError;
        case EntryFault::TooLong:
            return CTerr_BadConnectString;
        default:
            return CTerr_UnknownServer;
    }
}

}  // namespace tlv::client

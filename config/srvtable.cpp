#include "config/srvtable.h"

#include <string>
#include <vector>

#include "config/registry.h"
#include "resources/stringids.h"

namespace {

// Buffers sized from the key's own longest name and data, so no stored entry is cut or
// skipped for its length (the store bounds both).
struct ValueBuffers {
    explicit ValueBuffers(DWORD longestName, DWORD longestData)
        : name(std::size_t{longestName} + 1), data(std::size_t{longestData} + 1) {}

    std::vector<char> name;
    std::vector<char> data;
};

// Visits each string value of the key in the store's order; false when the key's values
// cannot be counted. A value of another type reads as a failure and is passed over.
template <typename Visit>
bool ForEachStringValue(NT_RegKey& key, Visit visit) {
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (!key.GetValueDetails(count, longestName, longestData)) {
        return false;
    }
    ValueBuffers buffers(longestName, longestData);
    for (DWORD index = 0; index < count; ++index) {
        if (key.GetStringValue(index, buffers.name.data(), static_cast<DWORD>(buffers.name.size()),
                               buffers.data.data(), static_cast<DWORD>(buffers.data.size()))) {
            visit(std::string(buffers.name.data()), std::string(buffers.data.data()));
        }
    }
    return true;
}

bool DeleteStringValues(NT_RegKey& key) {
    std::vector<std::string> names;
    if (!ForEachStringValue(
            key, [&](std::string name, const std::string&) { names.push_back(std::move(name)); })) {
        return false;
    }
    for (const std::string& name : names) {
        if (!key.DelValue(name.c_str())) {
            return false;
        }
    }
    return true;
}

bool WriteEntries(NT_RegKey& key, const ServerList& list) {
    for (const ServerEntry& entry : list.Entries()) {
        if (!key.SetValue(entry.name.c_str(), entry.connection.c_str())) {
            return false;
        }
    }
    return true;
}

}  // namespace

void ReadServerTable(const char* keyPath, ServerList& list) {
    list.Clear();
    std::vector<ServerEntry> entries;
    ReadServerEntries(keyPath, entries);
    for (ServerEntry& entry : entries) {
        list.Add(std::move(entry));
    }
}

bool ReadServerEntries(const char* keyPath, std::vector<ServerEntry>& entries) {
    entries.clear();
    NT_RegKey key(HKEY_LOCAL_MACHINE, keyPath, GENERIC_READ);
    return key.IsValid() && ForEachStringValue(key, [&](std::string name, std::string connection) {
               entries.push_back({std::move(name), std::move(connection)});
           });
}

unsigned WriteServerTable(const char* keyPath, const ServerList& list) {
    NT_RegKey key(HKEY_LOCAL_MACHINE, keyPath, KEY_ALL_ACCESS);
    if (!key.IsValid()) {
        return IDS_REGISTRY_ACCESS_FAILED;
    }
    RegTransaction transaction;
    if (transaction.Status() != ERROR_SUCCESS || !DeleteStringValues(key) ||
        !WriteEntries(key, list) || transaction.Commit() != ERROR_SUCCESS) {
        return IDS_REGISTRY_UPDATE_FAILED;
    }
    return 0;
}

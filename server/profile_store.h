#pragma once
// The server's store: profiles (service definitions are profiles of class "TLVS_Service") and a
// few settings, in SQLite. A file store runs in WAL mode with synchronous=FULL, so a change is on
// disk when a call returns and survives a kill -9; without a file the store lives in memory.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "server/store_file.h"

namespace tlv::server {

struct StoredProfile {
    std::string name;
    std::string profileClass;
    std::string contents;  // a serialized tlv::wire::KVSet
};

enum class StoreResult { Ok, NotFound, Exists, Failed };

class ProfileStore final {
public:
    // Opens (creating when needed) the store in file path, or an in-memory store for "".
    // Returns null and a message in error when that fails.
    static std::unique_ptr<ProfileStore> open(const std::string& path, std::string& error);

    // Profiles matching the filters ("" matches all), ordered by name, then class, byte order.
    // contents is filled only with withContents. False when the store cannot be read.
    bool list(const std::string& name, const std::string& profileClass, bool withContents,
              std::vector<StoredProfile>& out) const;
    bool isEmpty() const;

    StoreResult insert(const StoredProfile& profile);
    // Inserts all or, on the first failure, none.
    StoreResult insertAll(const std::vector<StoredProfile>& profiles);
    StoreResult update(const StoredProfile& profile);
    StoreResult remove(const std::string& name, const std::string& profileClass);

    std::optional<std::string> setting(const std::string& key) const;
    bool setSetting(const std::string& key, const std::string& value);

    // A number that grows with every change of the profiles, so that what was read from them
    // can be kept while it stays the same.
    std::uint64_t version() const { return m_version; }

    // The store's file; "" for a store in memory.
    const std::string& path() const { return m_path; }

    // The last SQLite failure, for the server's log.
    const std::string& lastError() const { return m_lastError; }

private:
    explicit ProfileStore(StoreConnection db) : m_db(std::move(db)) {}
    bool execute(const char* sql) const;
    StoreResult change(const char* sql, const std::string& a, const std::string& b,
                       const std::string* blob);

    StoreConnection m_db;
    std::string m_path;
    mutable std::string m_lastError;
    std::uint64_t m_version = 0;
};

}  // namespace tlv::server

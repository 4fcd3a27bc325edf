#pragma once
// Opening the store's SQLite file, for the store itself and for its read snapshots, and owning
// the connection until its owner goes.

#include <memory>
#include <string>

struct sqlite3;

namespace tlv::server {

struct StoreCloser {
    void operator()(sqlite3* db) const;
};
using StoreConnection = std::unique_ptr<sqlite3, StoreCloser>;

// The database at path opened with the flags (SQLITE_OPEN_*), waiting up to 2 s for another
// connection's lock. Null on failure, with "cannot <verb> the store <path>: <reason>" in error.
StoreConnection openStoreFile(const std::string& path, int flags, const char* verb,
                              std::string& error);

}  // namespace tlv::server

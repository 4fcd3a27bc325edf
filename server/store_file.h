#pragma once
// Opening the store's SQLite file, for the store itself and for its read snapshots.

#include <sqlite3.h>

#include <string>

namespace tlv::server {

// The database at path opened with the flags, waiting up to 2 s for another connection's lock.
// Null on failure, with "cannot <verb> the store <path>: <reason>" in error.
sqlite3* openStoreFile(const std::string& path, int flags, const char* verb, std::string& error);

}  // namespace tlv::server

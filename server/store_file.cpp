#include "server/store_file.h"

#include <sqlite3.h>

namespace tlv::server {

// A statement still open keeps the connection until it is finalized, rather than leaking it.
void StoreCloser::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

StoreConnection openStoreFile(const std::string& path, int flags, const char* verb,
                              std::string& error) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        error = std::string("cannot ") + verb + " the store " + path + ": " +
                (db != nullptr ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 2000);
    return StoreConnection(db);
}

}  // namespace tlv::server

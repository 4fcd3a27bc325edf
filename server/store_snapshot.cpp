#include "server/store_snapshot.h"

#include <utility>

#include "server/sqlite_statement.h"
#include "server/store_file.h"

namespace tlv::server {
namespace {

// A snapshot reads each content once: a large page cache would only hold memory per client.
constexpr const char* kSmallCache = "PRAGMA cache_size=-256;";

}  // namespace

std::unique_ptr<StoreSnapshot> StoreSnapshot::open(const std::string& path, std::string& error) {
    StoreConnection connection =
        openStoreFile(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, "read", error);
    if (connection == nullptr)
        return nullptr;
    std::unique_ptr<StoreSnapshot> snapshot{new StoreSnapshot(std::move(connection))};
    sqlite3* const db = snapshot->m_db.get();
    // The read transaction lasts until the snapshot closes, so every part sees the same store.
    if (sqlite3_exec(db, kSmallCache, nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, "BEGIN;", nullptr, nullptr, nullptr) != SQLITE_OK) {
        error = "cannot read the store " + path + ": " + sqlite3_errmsg(db);
        return nullptr;
    }
    return snapshot;
}

bool StoreSnapshot::keys(const std::string& name, const std::string& profileClass,
                         std::vector<ProfileKey>& out, std::string& error) {
    out.clear();
    Statement query{m_db.get(),
                    "SELECT name, class, length(contents) FROM profiles"
                    " WHERE (length(?1) = 0 OR name = ?1) AND (length(?2) = 0 OR class = ?2)"
                    " ORDER BY name, class"};
    if (!query.ok() || !query.bindBlob(1, name) || !query.bindBlob(2, profileClass)) {
        error = sqlite3_errmsg(m_db.get());
        return false;
    }
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(query.get())) == SQLITE_ROW) {
        out.push_back({query.column(0), query.column(1),
                       static_cast<std::size_t>(sqlite3_column_int64(query.get(), 2))});
    }
    if (step != SQLITE_DONE) {
        error = sqlite3_errmsg(m_db.get());
        out.clear();
        return false;
    }
    return true;
}

bool StoreSnapshot::contents(const ProfileKey& key, std::string& out, std::string& error) {
    Statement query{m_db.get(), "SELECT contents FROM profiles WHERE name = ?1 AND class = ?2"};
    if (!query.ok() || !query.bindBlob(1, key.name) || !query.bindBlob(2, key.profileClass)) {
        error = sqlite3_errmsg(m_db.get());
        return false;
    }
    if (sqlite3_step(query.get()) != SQLITE_ROW) {
        error = "the contents are gone";
        return false;
    }
    out = query.column(0);
    return true;
}

}  // namespace tlv::server

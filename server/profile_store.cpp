#include "server/profile_store.h"

#include <sqlite3.h>

#include <utility>

#include "server/sqlite_statement.h"
#include "server/store_file.h"

namespace tlv::server {
namespace {

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS profiles ("
    "  name BLOB NOT NULL, class BLOB NOT NULL, contents BLOB NOT NULL,"
    "  PRIMARY KEY (name, class)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS settings (key TEXT PRIMARY KEY, value TEXT NOT NULL);";

}  // namespace

std::unique_ptr<ProfileStore> ProfileStore::open(const std::string& path, std::string& error) {
    const std::string target = path.empty() ? ":memory:" : path;
    StoreConnection connection = openStoreFile(
        target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, "open", error);
    if (connection == nullptr)
        return nullptr;
    std::unique_ptr<ProfileStore> store{new ProfileStore(std::move(connection))};
    store->m_path = path;
    const bool ready = (path.empty() || store->execute("PRAGMA journal_mode=WAL;")) &&
                       store->execute("PRAGMA synchronous=FULL;") && store->execute(kSchema);
    if (!ready) {
        error = "cannot prepare the store " + target + ": " + store->lastError();
        return nullptr;
    }
    return store;
}

bool ProfileStore::execute(const char* sql) const {
    char* message = nullptr;
    if (sqlite3_exec(m_db.get(), sql, nullptr, nullptr, &message) != SQLITE_OK) {
        m_lastError = message != nullptr ? message : sqlite3_errmsg(m_db.get());
        sqlite3_free(message);
        return false;
    }
    return true;
}

bool ProfileStore::list(const std::string& name, const std::string& profileClass, bool withContents,
                        std::vector<StoredProfile>& out) const {
    out.clear();
    Statement query{m_db.get(),
                    "SELECT name, class, CASE WHEN ?3 THEN contents ELSE x'' END FROM profiles"
                    " WHERE (length(?1) = 0 OR name = ?1) AND (length(?2) = 0 OR class = ?2)"
                    " ORDER BY name, class"};
    if (!query.ok() || !query.bindBlob(1, name) || !query.bindBlob(2, profileClass) ||
        sqlite3_bind_int(query.get(), 3, withContents ? 1 : 0) != SQLITE_OK) {
        m_lastError = sqlite3_errmsg(m_db.get());
        return false;
    }
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(query.get())) == SQLITE_ROW) {
        out.push_back({query.column(0), query.column(1), query.column(2)});
    }
    if (step != SQLITE_DONE) {
        m_lastError = sqlite3_errmsg(m_db.get());
        out.clear();
        return false;
    }
    return true;
}

bool ProfileStore::isEmpty() const {
    Statement query{m_db.get(), "SELECT 1 FROM profiles LIMIT 1"};
    return query.ok() && sqlite3_step(query.get()) == SQLITE_DONE;
}

StoreResult ProfileStore::change(const char* sql, const std::string& a, const std::string& b,
                                 const std::string* blob) {
    Statement statement{m_db.get(), sql};
    if (!statement.ok() || !statement.bindBlob(1, a) || !statement.bindBlob(2, b) ||
        (blob != nullptr && !statement.bindBlob(3, *blob))) {
        m_lastError = sqlite3_errmsg(m_db.get());
        return StoreResult::Failed;
    }
    const int step = sqlite3_step(statement.get());
    ++m_version;  // also after a failure: what the store holds now is not known for sure
    if (step == SQLITE_CONSTRAINT) {
        return StoreResult::Exists;
    }
    if (step != SQLITE_DONE) {
        m_lastError = sqlite3_errmsg(m_db.get());
        return StoreResult::Failed;
    }
    return sqlite3_changes(m_db.get()) == 0 ? StoreResult::NotFound : StoreResult::Ok;
}

StoreResult ProfileStore::insert(const StoredProfile& profile) {
    return change("INSERT INTO profiles (name, class, contents) VALUES (?1, ?2, ?3)", profile.name,
                  profile.profileClass, &profile.contents);
}

StoreResult ProfileStore::insertAll(const std::vector<StoredProfile>& profiles) {
    if (!execute("BEGIN IMMEDIATE;")) {
        return StoreResult::Failed;
    }
    for (const StoredProfile& profile : profiles) {
        if (const StoreResult result = insert(profile); result != StoreResult::Ok) {
            execute("ROLLBACK;");
            return result;
        }
    }
    return execute("COMMIT;") ? StoreResult::Ok : StoreResult::Failed;
}

StoreResult ProfileStore::update(const StoredProfile& profile) {
    return change("UPDATE profiles SET contents = ?3 WHERE name = ?1 AND class = ?2", profile.name,
                  profile.profileClass, &profile.contents);
}

StoreResult ProfileStore::remove(const std::string& name, const std::string& profileClass) {
    return change("DELETE FROM profiles WHERE name = ?1 AND class = ?2", name, profileClass,
                  nullptr);
}

std::optional<std::string> ProfileStore::setting(const std::string& key) const {
    Statement query{m_db.get(), "SELECT value FROM settings WHERE key = ?1"};
    if (!query.ok() || !query.bindText(1, key) || sqlite3_step(query.get()) != SQLITE_ROW) {
        return std::nullopt;
    }
    return query.column(0);
}

bool ProfileStore::setSetting(const std::string& key, const std::string& value) {
    Statement statement{m_db.get(), "INSERT OR REPLACE INTO settings (key, value) VALUES (?1, ?2)"};
    if (!statement.ok() || !statement.bindText(1, key) || !statement.bindText(2, value) ||
        sqlite3_step(statement.get()) != SQLITE_DONE) {
        m_lastError = sqlite3_errmsg(m_db.get());
        return false;
    }
    return true;
}

}  // namespace tlv::server

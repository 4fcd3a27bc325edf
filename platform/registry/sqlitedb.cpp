#include "platform/registry/sqlitedb.h"

#include <chrono>
#include <thread>

namespace {

// The busy timeout covers ordinary lock waits; a few retries cover the cases SQLite reports
// without waiting (a WAL file being recovered by another process).
constexpr int kBusyTimeoutMs = 5000;
constexpr int kBusyRetries = 20;
constexpr auto kBusyRetryPause = std::chrono::milliseconds(50);

bool IsBusy(int rc) {
    const int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

}  // namespace

SqliteDb::~SqliteDb() {
    sqlite3_close_v2(m_pDb);
}

int SqliteDb::Open(const std::string& path, bool readOnly) {
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
                      SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.c_str(), &m_pDb, flags, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(m_pDb, 1);
        sqlite3_busy_timeout(m_pDb, kBusyTimeoutMs);
    }
    return rc;
}

int SqliteDb::Exec(const char* sql) {
    int rc = sqlite3_exec(m_pDb, sql, nullptr, nullptr, nullptr);
    for (int attempt = 0; IsBusy(rc) && attempt < kBusyRetries; ++attempt) {
        std::this_thread::sleep_for(kBusyRetryPause);
        rc = sqlite3_exec(m_pDb, sql, nullptr, nullptr, nullptr);
    }
    return rc;
}

std::string SqliteDb::ErrorMessage() const {
    return m_pDb != nullptr ? sqlite3_errmsg(m_pDb) : "out of memory";
}

SqliteStatement::SqliteStatement(const SqliteDb& db, const char* sql) {
    if (sqlite3_prepare_v2(db.Handle(), sql, -1, &m_pStmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_pStmt);
        m_pStmt = nullptr;
    }
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_pStmt);
}

void SqliteStatement::BindInt64(int index, std::int64_t value) {
    sqlite3_bind_int64(m_pStmt, index, value);
}

void SqliteStatement::BindBytes(int index, std::string_view bytes) {
    if (bytes.empty()) {
        sqlite3_bind_zeroblob(m_pStmt, index, 0);
        return;
    }
    sqlite3_bind_blob64(m_pStmt, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
}

int SqliteStatement::Step() {
    if (m_pStmt == nullptr) {
        return SQLITE_ERROR;
    }
    return sqlite3_step(m_pStmt);
}

std::int64_t SqliteStatement::ColumnInt64(int index) const {
    return sqlite3_column_int64(m_pStmt, index);
}

std::string SqliteStatement::ColumnBytes(int index) const {
    const void* bytes = sqlite3_column_blob(m_pStmt, index);
    const int size = sqlite3_column_bytes(m_pStmt, index);
    if (bytes == nullptr || size <= 0) {
        return {};
    }
    return std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(size));
}

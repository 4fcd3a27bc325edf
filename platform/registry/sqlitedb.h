#pragma once
// Small RAII wrappers over the SQLite C API: one connection, one prepared statement.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

class SqliteDb final {
public:
    SqliteDb() = default;
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    // Opens or creates the file (an existing one only, when read-only); returns an SQLite
    // result code.
    int Open(const std::string& path, bool readOnly);
    // Runs statements without results, retrying while another process holds the lock.
    int Exec(const char* sql);
    std::string ErrorMessage() const;
    sqlite3* Handle() const { return m_pDb; }

private:
    sqlite3* m_pDb = nullptr;
};

class SqliteStatement final {
public:
    SqliteStatement(const SqliteDb& db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool IsPrepared() const { return m_pStmt != nullptr; }
    void BindInt64(int index, std::int64_t value);
    // Binds the bytes as a BLOB (an empty one, never NULL).
    void BindBytes(int index, std::string_view bytes);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();

    std::int64_t ColumnInt64(int index) const;
    std::string ColumnBytes(int index) const;

private:
    sqlite3_stmt* m_pStmt = nullptr;
};

#pragma once
// One prepared SQLite statement, owned: the store and its read snapshots bind names as blobs.

#include <sqlite3.h>

#include <string>

namespace tlv::server {

// Owns one prepared statement.
class Statement final {
public:
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) != SQLITE_OK) {
            m_statement = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool ok() const { return m_statement != nullptr; }
    sqlite3_stmt* get() const { return m_statement; }

    // Names and classes are bound as blobs so that comparisons are byte order and any 8-bit text
    // is kept as it is.
    bool bindBlob(int index, const std::string& value) {
        return sqlite3_bind_blob64(m_statement, index, value.data(), value.size(),
                                   SQLITE_TRANSIENT) == SQLITE_OK;
    }
    bool bindText(int index, const std::string& value) {
        return sqlite3_bind_text64(m_statement, index, value.data(), value.size(), SQLITE_TRANSIENT,
                                   SQLITE_UTF8) == SQLITE_OK;
    }
    std::string column(int index) const {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement, index));
        const int size = sqlite3_column_bytes(m_statement, index);
        return data == nullptr ? std::string{} : std::string(data, static_cast<std::size_t>(size));
    }

private:
    sqlite3_stmt* m_statement = nullptr;
};

}  // namespace tlv::server

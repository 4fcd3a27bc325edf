#include "platform/registry/regstore.h"

#include "platform/registry/regname.h"

namespace {

constexpr const char* kUserPragmas =
    "PRAGMA journal_mode=WAL;"
    "PRAGMA synchronous=FULL;"
    "PRAGMA foreign_keys=ON;";
constexpr const char* kMachinePragmas =
    "PRAGMA journal_mode=DELETE;"
    "PRAGMA synchronous=FULL;"
    "PRAGMA foreign_keys=ON;";

constexpr const char* kSchema =
    "BEGIN IMMEDIATE;"
    "CREATE TABLE IF NOT EXISTS keys("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
    "  parent_id INTEGER REFERENCES keys(id),"
    "  name BLOB NOT NULL,"
    "  name_folded BLOB NOT NULL,"
    "  class BLOB NOT NULL,"
    "  UNIQUE(parent_id, name_folded));"
    "CREATE TABLE IF NOT EXISTS key_values("
    "  key_id INTEGER NOT NULL REFERENCES keys(id),"
    "  name BLOB NOT NULL,"
    "  name_folded BLOB NOT NULL,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  ordinal INTEGER NOT NULL,"
    "  PRIMARY KEY(key_id, name_folded));"
    "CREATE INDEX IF NOT EXISTS key_values_order ON key_values(key_id, ordinal);"
    "CREATE TABLE IF NOT EXISTS hidden_keys("
    "  key_id INTEGER NOT NULL REFERENCES keys(id),"
    "  name_folded BLOB NOT NULL,"
    "  PRIMARY KEY(key_id, name_folded));"
    "CREATE TABLE IF NOT EXISTS hidden_values("
    "  key_id INTEGER NOT NULL REFERENCES keys(id),"
    "  name_folded BLOB NOT NULL,"
    "  PRIMARY KEY(key_id, name_folded));"
    "INSERT OR IGNORE INTO keys(id, parent_id, name, name_folded, class)"
    "  VALUES(1, NULL, x'', x'', x'');"
    "COMMIT;";

// Any SQLite failure inside a call reads as this one platform code.
constexpr LONG kStoreFailure = ERROR_REGISTRY_IO_FAILED;

LONG DoneOrFailure(int rc) {
    return rc == SQLITE_DONE ? ERROR_SUCCESS : kStoreFailure;
}

}  // namespace

LONG RegStore::Open(const std::string& path, bool machineWide, std::string& message) {
    if (m_db.Open(path, false) != SQLITE_OK ||
        m_db.Exec(machineWide ? kMachinePragmas : kUserPragmas) != SQLITE_OK ||
        m_db.Exec(kSchema) != SQLITE_OK) {
        message = m_db.ErrorMessage();
        return kStoreFailure;
    }
    return ERROR_SUCCESS;
}

LONG RegStore::OpenReadOnly(const std::string& path, std::string& message) {
    if (m_db.Open(path, true) != SQLITE_OK) {
        message = m_db.ErrorMessage();
        return kStoreFailure;
    }
    return ERROR_SUCCESS;
}

LONG RegStore::Atomic(bool write, const std::function<LONG()>& step) {
    return m_bInTransaction ? RunInSavepoint(step) : RunStep(write, step);
}

LONG RegStore::RunStep(bool write, const std::function<LONG()>& step) {
    // Writers take the write lock up front: a read transaction upgraded later could fail with
    // SQLITE_BUSY_SNAPSHOT, which no busy timeout waits out.
    if (m_db.Exec(write ? "BEGIN IMMEDIATE" : "BEGIN") != SQLITE_OK) {
        return kStoreFailure;
    }
    const LONG result = step();
    if (result == ERROR_SUCCESS && write && m_db.Exec("COMMIT") != SQLITE_OK) {
        m_db.Exec("ROLLBACK");
        return kStoreFailure;
    }
    if (result != ERROR_SUCCESS || !write) {
        m_db.Exec("ROLLBACK");
    }
    return result;
}

LONG RegStore::RunInSavepoint(const std::function<LONG()>& step) {
    if (m_db.Exec("SAVEPOINT reg_call") != SQLITE_OK) {
        return kStoreFailure;
    }
    const LONG result = step();
    if (result != ERROR_SUCCESS) {
        m_db.Exec("ROLLBACK TO reg_call");
    }
    m_db.Exec("RELEASE reg_call");
    return result;
}

LONG RegStore::BeginTransaction() {
    if (m_bInTransaction) {
        return ERROR_BUSY;
    }
    if (m_db.Exec("BEGIN IMMEDIATE") != SQLITE_OK) {
        return kStoreFailure;
    }
    m_bInTransaction = true;
    return ERROR_SUCCESS;
}

LONG RegStore::CommitTransaction() {
    if (!m_bInTransaction) {
        return ERROR_INVALID_PARAMETER;
    }
    m_bInTransaction = false;
    if (m_db.Exec("COMMIT") != SQLITE_OK) {
        m_db.Exec("ROLLBACK");
        return kStoreFailure;
    }
    return ERROR_SUCCESS;
}

void RegStore::RollbackTransaction() {
    if (m_bInTransaction) {
        m_bInTransaction = false;
        m_db.Exec("ROLLBACK");
    }
}

LONG RegStore::CheckKey(std::int64_t id) {
    SqliteStatement query(m_db, "SELECT 1 FROM keys WHERE id = ?1");
    query.BindInt64(1, id);
    const int rc = query.Step();
    if (rc == SQLITE_ROW) {
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_KEY_DELETED : kStoreFailure;
}

LONG RegStore::FindChild(std::int64_t parent, std::string_view name, std::int64_t& id) {
    SqliteStatement query(m_db, "SELECT id FROM keys WHERE parent_id = ?1 AND name_folded = ?2");
    query.BindInt64(1, parent);
    query.BindBytes(2, FoldRegName(name));
    const int rc = query.Step();
    if (rc == SQLITE_ROW) {
        id = query.ColumnInt64(0);
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : kStoreFailure;
}

LONG RegStore::InsertChild(std::int64_t parent, std::string_view name, std::string_view className,
                           std::int64_t& id) {
    SqliteStatement insert(m_db,
                           "INSERT INTO keys(parent_id, name, name_folded, class)"
                           " VALUES(?1, ?2, ?3, ?4)");
    insert.BindInt64(1, parent);
    insert.BindBytes(2, name);
    insert.BindBytes(3, FoldRegName(name));
    insert.BindBytes(4, className);
    if (insert.Step() != SQLITE_DONE) {
        return kStoreFailure;
    }
    id = sqlite3_last_insert_rowid(m_db.Handle());
    return ERROR_SUCCESS;
}

LONG RegStore::FindKey(std::int64_t parent, const std::vector<std::string>& names,
                       std::int64_t& id) {
    if (const LONG rc = CheckKey(parent); rc != ERROR_SUCCESS) {
        return rc;
    }
    std::int64_t current = parent;
    for (const std::string& name : names) {
        if (const LONG rc = FindChild(current, name, current); rc != ERROR_SUCCESS) {
            return rc;
        }
    }
    id = current;
    return ERROR_SUCCESS;
}

LONG RegStore::CreateKey(std::int64_t parent, const std::vector<std::string>& names,
                         std::string_view className, std::int64_t& id, bool& created) {
    if (const LONG rc = CheckKey(parent); rc != ERROR_SUCCESS) {
        return rc;
    }
    created = false;
    std::int64_t current = parent;
    for (std::size_t i = 0; i < names.size(); ++i) {
        LONG rc = FindChild(current, names[i], current);
        if (rc == ERROR_FILE_NOT_FOUND) {
            const bool last = i + 1 == names.size();
            rc = InsertChild(current, names[i], last ? className : std::string_view{}, current);
            created = last;
        }
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
    }
    id = current;
    return ERROR_SUCCESS;
}

LONG RegStore::DeleteKey(std::int64_t id) {
    if (id == kRootKeyId) {
        return ERROR_ACCESS_DENIED;
    }
    if (const LONG rc = CheckKey(id); rc != ERROR_SUCCESS) {
        return rc;
    }
    SqliteStatement children(m_db, "SELECT 1 FROM keys WHERE parent_id = ?1 LIMIT 1");
    children.BindInt64(1, id);
    const int rc = children.Step();
    if (rc == SQLITE_ROW) {
        return ERROR_ACCESS_DENIED;
    }
    if (rc != SQLITE_DONE) {
        return kStoreFailure;
    }
    for (const char* sql : {"DELETE FROM key_values WHERE key_id = ?1",
                            "DELETE FROM hidden_keys WHERE key_id = ?1",
                            "DELETE FROM hidden_values WHERE key_id = ?1",
                            "DELETE FROM keys WHERE id = ?1"}) {
        SqliteStatement erase(m_db, sql);
        erase.BindInt64(1, id);
        if (erase.Step() != SQLITE_DONE) {
            return kStoreFailure;
        }
    }
    return ERROR_SUCCESS;
}

LONG RegStore::GetValue(std::int64_t id, std::string_view name, StoredValue& value) {
    if (const LONG rc = CheckKey(id); rc != ERROR_SUCCESS) {
        return rc;
    }
    SqliteStatement query(m_db,
                          "SELECT name, type, data FROM key_values"
                          " WHERE key_id = ?1 AND name_folded = ?2");
    query.BindInt64(1, id);
    query.BindBytes(2, FoldRegName(name));
    const int rc = query.Step();
    if (rc != SQLITE_ROW) {
        return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : kStoreFailure;
    }
    value.name = query.ColumnBytes(0);
    value.type = static_cast<DWORD>(query.ColumnInt64(1));
    value.data = query.ColumnBytes(2);
    return ERROR_SUCCESS;
}

LONG RegStore::SetValue(std::int64_t id, std::string_view name, DWORD type, std::string_view data) {
    if (const LONG rc = CheckKey(id); rc != ERROR_SUCCESS) {
        return rc;
    }
    // A rewrite keeps the name as first written and the value's place in the order.
    SqliteStatement upsert(m_db,
                           "INSERT INTO key_values(key_id, name, name_folded, type, data, ordinal)"
                           " VALUES(?1, ?2, ?3, ?4, ?5,"
                           "  (SELECT IFNULL(MAX(ordinal), 0) + 1 FROM key_values"
                           "   WHERE key_id = ?1))"
                           " ON CONFLICT(key_id, name_folded)"
                           " DO UPDATE SET type = excluded.type, data = excluded.data");
    upsert.BindInt64(1, id);
    upsert.BindBytes(2, name);
    upsert.BindBytes(3, FoldRegName(name));
    upsert.BindInt64(4, type);
    upsert.BindBytes(5, data);
    return DoneOrFailure(upsert.Step());
}

LONG RegStore::DeleteValue(std::int64_t id, std::string_view name) {
    if (const LONG rc = CheckKey(id); rc != ERROR_SUCCESS) {
        return rc;
    }
    SqliteStatement erase(m_db, "DELETE FROM key_values WHERE key_id = ?1 AND name_folded = ?2");
    erase.BindInt64(1, id);
    erase.BindBytes(2, FoldRegName(name));
    if (erase.Step() != SQLITE_DONE) {
        return kStoreFailure;
    }
    return sqlite3_changes(m_db.Handle()) > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG RegStore::SubKeyNames(std::int64_t id, std::vector<std::string>& names) {
    if (const LONG rc = CheckKey(id); rc != ERROR_SUCCESS) {
        return rc;
    }
    SqliteStatement query(m_db, "SELECT name FROM keys WHERE parent_id = ?1 ORDER BY name_folded");
    query.BindInt64(1, id);
    int rc = SQLITE_ROW;
    while ((rc = query.Step()) == SQLITE_ROW) {
        names.push_back(query.ColumnBytes(0));
    }
    return DoneOrFailure(rc);
}

LONG RegStore::Values(std::int64_t id, std::vector<StoredValue>& values) {
    if (const LONG rc = CheckKey(id); rc != ERROR_SUCCESS) {
        return rc;
    }
    SqliteStatement query(m_db,
                          "SELECT name, type, data FROM key_values WHERE key_id = ?1"
                          " ORDER BY ordinal");
    query.BindInt64(1, id);
    int rc = SQLITE_ROW;
    while ((rc = query.Step()) == SQLITE_ROW) {
        values.push_back({query.ColumnBytes(0), static_cast<DWORD>(query.ColumnInt64(1)),
                          query.ColumnBytes(2)});
    }
    return DoneOrFailure(rc);
}

LONG RegStore::KeyClass(std::int64_t id, std::string& className) {
    SqliteStatement key(m_db, "SELECT class FROM keys WHERE id = ?1");
    key.BindInt64(1, id);
    const int rc = key.Step();
    if (rc != SQLITE_ROW) {
        return rc == SQLITE_DONE ? ERROR_KEY_DELETED : kStoreFailure;
    }
    className = key.ColumnBytes(0);
    return ERROR_SUCCESS;
}

LONG RegStore::SetHidden(bool key, std::int64_t id, std::string_view name, bool hidden) {
    const char* sql = key ? (hidden ? "INSERT OR IGNORE INTO hidden_keys VALUES(?1, ?2)"
                                    : "DELETE FROM hidden_keys WHERE key_id = ?1 AND name_folded = ?2")
                          : (hidden ? "INSERT OR IGNORE INTO hidden_values VALUES(?1, ?2)"
                                    : "DELETE FROM hidden_values WHERE key_id = ?1 AND name_folded = ?2");
    SqliteStatement change(m_db, sql);
    change.BindInt64(1, id);
    change.BindBytes(2, FoldRegName(name));
    return DoneOrFailure(change.Step());
}

LONG RegStore::IsHidden(bool key, std::int64_t id, std::string_view name, bool& hidden) {
    SqliteStatement query(m_db, key ? "SELECT 1 FROM hidden_keys WHERE key_id = ?1 AND name_folded = ?2"
                                    : "SELECT 1 FROM hidden_values WHERE key_id = ?1 AND name_folded = ?2");
    query.BindInt64(1, id);
    query.BindBytes(2, FoldRegName(name));
    const int rc = query.Step();
    hidden = rc == SQLITE_ROW;
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? ERROR_SUCCESS : kStoreFailure;
}

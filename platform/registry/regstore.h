#pragma once
// The registry's keys and values in one SQLite file.
//
// Schema: keys (id, parent_id, name, name_folded, class) and key_values (key_id, name,
// name_folded, type, data, ordinal). Names are stored as written and found through their folded
// form; ordinal keeps the order values were first written. Key ids are never reused, so a handle
// to a deleted key cannot reach a newer one.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/regapi.h"
#include "platform/registry/sqlitedb.h"

struct StoredValue {
    std::string name;
    DWORD type = REG_NONE;
    std::string data;
};

struct StoredKeyInfo {
    std::string className;
    DWORD subKeys = 0;
    DWORD maxSubKeyLength = 0;
    DWORD maxClassLength = 0;
    DWORD values = 0;
    DWORD maxValueNameLength = 0;
    DWORD maxValueLength = 0;
};

class RegStore final {
public:
    static constexpr std::int64_t kRootKeyId = 1;

    // Opens the file, switching it to WAL and creating the schema when missing.
    LONG Open(const std::string& path, std::string& message);

    // One call made atomic: its own transaction, or a savepoint inside the open one.
    LONG Atomic(bool write, const std::function<LONG()>& step);

    LONG BeginTransaction();
    LONG CommitTransaction();
    void RollbackTransaction();
    bool InTransaction() const { return m_bInTransaction; }

    // ERROR_SUCCESS while the key exists, ERROR_KEY_DELETED once it is gone.
    LONG CheckKey(std::int64_t id);
    LONG FindKey(std::int64_t parent, const std::vector<std::string>& names, std::int64_t& id);
    // Creates the missing keys of the path; the class goes to the last one if it is created.
    LONG CreateKey(std::int64_t parent, const std::vector<std::string>& names,
                   std::string_view className, std::int64_t& id, bool& created);
    // Refuses a key that has sub-keys with ERROR_ACCESS_DENIED.
    LONG DeleteKey(std::int64_t id);
    LONG SubKeyAt(std::int64_t id, DWORD index, std::string& name);
    LONG QueryInfo(std::int64_t id, StoredKeyInfo& info);

    LONG GetValue(std::int64_t id, std::string_view name, StoredValue& value);
    LONG SetValue(std::int64_t id, std::string_view name, DWORD type, std::string_view data);
    LONG DeleteValue(std::int64_t id, std::string_view name);
    LONG ValueAt(std::int64_t id, DWORD index, StoredValue& value);

private:
    LONG FindChild(std::int64_t parent, std::string_view name, std::int64_t& id);
    LONG InsertChild(std::int64_t parent, std::string_view name, std::string_view className,
                     std::int64_t& id);
    LONG RunStep(bool write, const std::function<LONG()>& step);
    LONG RunInSavepoint(const std::function<LONG()>& step);

    SqliteDb m_db;
    bool m_bInTransaction = false;
};

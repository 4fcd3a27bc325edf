#pragma once
// The registry's keys and values in one SQLite file.
//
// Schema: keys (id, parent_id, name, name_folded, class) and key_values (key_id, name,
// name_folded, type, data, ordinal). Names are stored as written and found through their folded
// form; ordinal keeps the order values were first written. Key ids are never reused, so a handle
// to a deleted key cannot reach a newer one. A user's file also keeps which keys and values of
// the machine's registry the user deleted (hidden_keys, hidden_values: the parent key or key and
// the folded name), since the machine's file itself is not the user's to change.

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

    // Opens the file, creating the schema when missing. A user's file is switched to WAL; the
    // machine's keeps a rollback journal, since WAL needs a shared-memory file beside it that
    // users who only read could not create in a folder of root's.
    LONG Open(const std::string& path, bool machineWide, std::string& message);
    // Opens an existing file for reading only, changing nothing in it.
    LONG OpenReadOnly(const std::string& path, std::string& message);

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

    // Every sub-key name in enumeration order; every value in value order.
    LONG SubKeyNames(std::int64_t id, std::vector<std::string>& names);
    LONG Values(std::int64_t id, std::vector<StoredValue>& values);
    LONG KeyClass(std::int64_t id, std::string& className);

    // The marks of deleted keys and values of a layer below this file.
    LONG SetHidden(bool key, std::int64_t id, std::string_view name, bool hidden);
    LONG IsHidden(bool key, std::int64_t id, std::string_view name, bool& hidden);

    LONG GetValue(std::int64_t id, std::string_view name, StoredValue& value);
    LONG SetValue(std::int64_t id, std::string_view name, DWORD type, std::string_view data);
    LONG DeleteValue(std::int64_t id, std::string_view name);

private:
    LONG FindChild(std::int64_t parent, std::string_view name, std::int64_t& id);
    LONG InsertChild(std::int64_t parent, std::string_view name, std::string_view className,
                     std::int64_t& id);
    LONG RunStep(bool write, const std::function<LONG()>& step);
    LONG RunInSavepoint(const std::function<LONG()>& step);

    SqliteDb m_db;
    bool m_bInTransaction = false;
};

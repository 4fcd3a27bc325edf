#pragma once
// The registry as one program sees it: the user's file over the machine's, as git config and
// dconf layer theirs.
//
// A key or value the user's file holds is the user's; anything else the machine's file holds
// shows through, so an entry the administrator adds later reaches every user. Writes go to the
// user's file only: writing into a key that only the machine has creates it in the user's file
// first. Deleting a key or value the machine has cannot change the machine's file: the user's
// file marks it deleted, and from then on this user no longer sees it (writing it again, or
// creating the key again, lifts the mark; the machine's values of a key created again show
// through again). Sub-keys enumerate merged in case-insensitive name order; values the user's
// first, in their order, then the machine's the user's file neither holds nor hides.
//
// Without a user's file (a command that only reads, for a user who never wrote) the machine's
// is read alone and every write is ERROR_ACCESS_DENIED. Without a machine's file the user's is
// the whole registry.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry/regstore.h"

// A key: its path from the root, and its id in each file (0: not there).
struct LayeredKey {
    std::vector<std::string> path;
    std::int64_t userId = 0;
    std::int64_t machineId = 0;
    bool machineShown = false;  // the machine's key exists and the user has not deleted it
};

class LayeredRegistry final {
public:
    LayeredRegistry(std::unique_ptr<RegStore> user, std::unique_ptr<RegStore> machine);

    static LayeredKey Root();
    bool HasUserFile() const { return m_pUser != nullptr; }
    bool HasMachineFile() const { return m_pMachine != nullptr; }

    // One call made atomic in the user's file; a write without one is refused.
    LONG Atomic(bool write, const std::function<LONG()>& step);
    LONG BeginTransaction();
    LONG CommitTransaction();
    void RollbackTransaction();
    bool InTransaction() const {
        return m_pUser != nullptr ? m_pUser->InTransaction() : m_bReadingTransaction;
    }

    // Brings the key's ids up to date; ERROR_KEY_DELETED once no layer shows it.
    LONG Resolve(LayeredKey& key);
    LONG Open(const LayeredKey& parent, const std::vector<std::string>& names, LayeredKey& key);
    LONG Create(const LayeredKey& parent, const std::vector<std::string>& names,
                std::string_view className, LayeredKey& key, bool& created);
    // Refuses a key that shows sub-keys with ERROR_ACCESS_DENIED.
    LONG DeleteKey(const LayeredKey& parent, const std::vector<std::string>& names);
    LONG SubKeyAt(const LayeredKey& key, DWORD index, std::string& name);
    LONG QueryInfo(const LayeredKey& key, StoredKeyInfo& info);

    LONG GetValue(const LayeredKey& key, std::string_view name, StoredValue& value);
    LONG SetValue(LayeredKey& key, std::string_view name, DWORD type, std::string_view data);
    LONG DeleteValue(LayeredKey& key, std::string_view name);
    LONG ValueAt(const LayeredKey& key, DWORD index, StoredValue& value);

private:
    LONG IsPathHidden(const std::vector<std::string>& path, bool& hidden);
    LONG FindIn(RegStore* store, const std::vector<std::string>& path, std::int64_t& id);
    // Creates the key in the user's file when only the machine's has it.
    LONG EnsureUserKey(LayeredKey& key);
    LONG UnhidePath(const std::vector<std::string>& path);
    LONG SubKeyNames(const LayeredKey& key, std::vector<std::string>& names);
    LONG ClassOf(const LayeredKey& key, std::string& className);
    LONG Values(const LayeredKey& key, std::vector<StoredValue>& values);
    LONG IsValueHidden(const LayeredKey& key, std::string_view name, bool& hidden);

    std::unique_ptr<RegStore> m_pUser;
    std::unique_ptr<RegStore> m_pMachine;
    bool m_bReadingTransaction = false;
};

#include "platform/registry/reglayers.h"

#include <algorithm>
#include <map>
#include <set>

#include "platform/registry/regname.h"

namespace {

constexpr bool kKeyMark = true;
constexpr bool kValueMark = false;

std::vector<std::string> Joined(const std::vector<std::string>& path,
                                const std::vector<std::string>& names) {
    std::vector<std::string> joined = path;
    joined.insert(joined.end(), names.begin(), names.end());
    return joined;
}

// The item at the index of an enumeration made whole.
template <typename Item>
LONG TakeAt(std::vector<Item>& items, DWORD index, Item& item) {
    if (index >= items.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    item = std::move(items[index]);
    return ERROR_SUCCESS;
}

DWORD Length(const std::string& text) {
    return static_cast<DWORD>(std::min<std::size_t>(text.size(), 0xFFFFFFFFu));
}

}  // namespace

LayeredRegistry::LayeredRegistry(std::unique_ptr<RegStore> user, std::unique_ptr<RegStore> machine)
    : m_pUser(std::move(user)), m_pMachine(std::move(machine)) {}

LayeredKey LayeredRegistry::Root() {
    return {{}, RegStore::kRootKeyId, RegStore::kRootKeyId, true};
}

LONG LayeredRegistry::Atomic(bool write, const std::function<LONG()>& step) {
    if (m_pUser == nullptr) {
        return write ? ERROR_ACCESS_DENIED : step();
    }
    return m_pUser->Atomic(write, step);
}

// Without a user's file nothing can be written, so a transaction only groups reads.
LONG LayeredRegistry::BeginTransaction() {
    if (m_pUser != nullptr) {
        return m_pUser->BeginTransaction();
    }
    if (m_bReadingTransaction) {
        return ERROR_BUSY;
    }
    m_bReadingTransaction = true;
    return ERROR_SUCCESS;
}

LONG LayeredRegistry::CommitTransaction() {
    if (m_pUser != nullptr) {
        return m_pUser->CommitTransaction();
    }
    if (!m_bReadingTransaction) {
        return ERROR_INVALID_PARAMETER;
    }
    m_bReadingTransaction = false;
    return ERROR_SUCCESS;
}

void LayeredRegistry::RollbackTransaction() {
    if (m_pUser != nullptr) {
        m_pUser->RollbackTransaction();
    }
    m_bReadingTransaction = false;
}

LONG LayeredRegistry::FindIn(RegStore* store, const std::vector<std::string>& path,
                             std::int64_t& id) {
    id = 0;
    if (store == nullptr) {
        return ERROR_SUCCESS;
    }
    const LONG rc = store->FindKey(RegStore::kRootKeyId, path, id);
    if (rc == ERROR_FILE_NOT_FOUND) {
        id = 0;
        return ERROR_SUCCESS;
    }
    return rc;
}

// A machine key is hidden when the user deleted it or a key above it: the mark sits in the
// user's key above the deleted one, so the walk ends where the user's file has no key.
LONG LayeredRegistry::IsPathHidden(const std::vector<std::string>& path, bool& hidden) {
    hidden = false;
    if (m_pUser == nullptr) {
        return ERROR_SUCCESS;
    }
    std::int64_t current = RegStore::kRootKeyId;
    for (const std::string& name : path) {
        if (const LONG rc = m_pUser->IsHidden(kKeyMark, current, name, hidden);
            rc != ERROR_SUCCESS || hidden) {
            return rc;
        }
        const LONG rc = m_pUser->FindKey(current, {name}, current);
        if (rc == ERROR_FILE_NOT_FOUND) {
            return ERROR_SUCCESS;
        }
        if (rc != ERROR_SUCCESS) {
            return rc;
        }
    }
    return ERROR_SUCCESS;
}

LONG LayeredRegistry::Resolve(LayeredKey& key) {
    if (key.path.empty()) {
        return ERROR_SUCCESS;
    }
    if (m_pUser != nullptr && key.userId != 0) {
        // A user's key once opened is that key: deleted, it stays deleted for the handle.
        if (const LONG rc = m_pUser->CheckKey(key.userId); rc != ERROR_SUCCESS) {
            return rc;
        }
    } else if (const LONG rc = FindIn(m_pUser.get(), key.path, key.userId); rc != ERROR_SUCCESS) {
        return rc;
    }
    key.machineShown = false;
    if (key.machineId != 0) {
        bool hidden = false;
        if (const LONG rc = IsPathHidden(key.path, hidden); rc != ERROR_SUCCESS) {
            return rc;
        }
        key.machineShown = !hidden;
    }
    return key.userId != 0 || key.machineShown ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

LONG LayeredRegistry::Open(const LayeredKey& parent, const std::vector<std::string>& names,
                           LayeredKey& key) {
    LayeredKey found{Joined(parent.path, names), 0, 0, false};
    if (const LONG rc = FindIn(m_pUser.get(), found.path, found.userId); rc != ERROR_SUCCESS) {
        return rc;
    }
    if (const LONG rc = FindIn(m_pMachine.get(), found.path, found.machineId);
        rc != ERROR_SUCCESS) {
        return rc;
    }
    const LONG rc = Resolve(found);
    if (rc == ERROR_KEY_DELETED) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (rc == ERROR_SUCCESS) {
        key = std::move(found);
    }
    return rc;
}

LONG LayeredRegistry::UnhidePath(const std::vector<std::string>& path) {
    std::int64_t current = RegStore::kRootKeyId;
    for (const std::string& name : path) {
        if (const LONG rc = m_pUser->SetHidden(kKeyMark, current, name, false);
            rc != ERROR_SUCCESS) {
            return rc;
        }
        if (const LONG rc = m_pUser->FindKey(current, {name}, current); rc != ERROR_SUCCESS) {
            return rc;
        }
    }
    return ERROR_SUCCESS;
}

LONG LayeredRegistry::Create(const LayeredKey& parent, const std::vector<std::string>& names,
                             std::string_view className, LayeredKey& key, bool& created) {
    created = false;
    const LONG rc = Open(parent, names, key);
    if (rc != ERROR_FILE_NOT_FOUND) {
        return rc;
    }
    if (m_pUser == nullptr) {
        return ERROR_ACCESS_DENIED;
    }
    const std::vector<std::string> path = Joined(parent.path, names);
    std::int64_t id = 0;
    bool userCreated = false;
    if (const LONG made = m_pUser->CreateKey(RegStore::kRootKeyId, path, className, id, userCreated);
        made != ERROR_SUCCESS) {
        return made;
    }
    if (const LONG shown = UnhidePath(path); shown != ERROR_SUCCESS) {
        return shown;
    }
    created = true;
    return Open(parent, names, key);
}

LONG LayeredRegistry::EnsureUserKey(LayeredKey& key) {
    if (key.userId != 0) {
        return ERROR_SUCCESS;
    }
    if (m_pUser == nullptr) {
        return ERROR_ACCESS_DENIED;
    }
    bool created = false;
    return m_pUser->CreateKey(RegStore::kRootKeyId, key.path, {}, key.userId, created);
}

LONG LayeredRegistry::SubKeyNames(const LayeredKey& key, std::vector<std::string>& names) {
    std::map<std::string, std::string> merged;  // folded name -> name as shown
    std::vector<std::string> found;
    if (key.userId != 0) {
        if (const LONG rc = m_pUser->SubKeyNames(key.userId, found); rc != ERROR_SUCCESS) {
            return rc;
        }
    }
    for (std::string& name : found) {
        merged.emplace(FoldRegName(name), std::move(name));
    }
    found.clear();
    if (key.machineShown) {
        if (const LONG rc = m_pMachine->SubKeyNames(key.machineId, found); rc != ERROR_SUCCESS) {
            return rc;
        }
    }
    for (std::string& name : found) {
        bool hidden = false;
        if (key.userId != 0) {
            if (const LONG rc = m_pUser->IsHidden(kKeyMark, key.userId, name, hidden);
                rc != ERROR_SUCCESS) {
                return rc;
            }
        }
        if (!hidden) {
            merged.emplace(FoldRegName(name), std::move(name));
        }
    }
    for (auto& [folded, name] : merged) {
        names.push_back(std::move(name));
    }
    return ERROR_SUCCESS;
}

LONG LayeredRegistry::IsValueHidden(const LayeredKey& key, std::string_view name, bool& hidden) {
    hidden = false;
    return key.userId == 0 ? ERROR_SUCCESS
                           : m_pUser->IsHidden(kValueMark, key.userId, name, hidden);
}

LONG LayeredRegistry::Values(const LayeredKey& key, std::vector<StoredValue>& values) {
    if (key.userId != 0) {
        if (const LONG rc = m_pUser->Values(key.userId, values); rc != ERROR_SUCCESS) {
            return rc;
        }
    }
    if (!key.machineShown) {
        return ERROR_SUCCESS;
    }
    std::set<std::string> taken;
    for (const StoredValue& value : values) {
        taken.insert(FoldRegName(value.name));
    }
    std::vector<StoredValue> machine;
    if (const LONG rc = m_pMachine->Values(key.machineId, machine); rc != ERROR_SUCCESS) {
        return rc;
    }
    for (StoredValue& value : machine) {
        bool hidden = false;
        if (const LONG rc = IsValueHidden(key, value.name, hidden); rc != ERROR_SUCCESS) {
            return rc;
        }
        if (!hidden && !taken.contains(FoldRegName(value.name))) {
            values.push_back(std::move(value));
        }
    }
    return ERROR_SUCCESS;
}

LONG LayeredRegistry::DeleteKey(const LayeredKey& parent, const std::vector<std::string>& names) {
    LayeredKey key;
    if (const LONG rc = Open(parent, names, key); rc != ERROR_SUCCESS) {
        return rc;
    }
    std::vector<std::string> subKeys;
    if (const LONG rc = SubKeyNames(key, subKeys); rc != ERROR_SUCCESS) {
        return rc;
    }
    if (!subKeys.empty() || key.path.empty()) {
        return ERROR_ACCESS_DENIED;
    }
    if (m_pUser == nullptr) {
        return ERROR_ACCESS_DENIED;
    }
    if (key.userId != 0) {
        if (const LONG rc = m_pUser->DeleteKey(key.userId); rc != ERROR_SUCCESS) {
            return rc;
        }
    }
    if (!key.machineShown) {
        return ERROR_SUCCESS;
    }
    LayeredKey above{{key.path.begin(), key.path.end() - 1}, 0, 0, false};
    if (const LONG rc = FindIn(m_pUser.get(), above.path, above.userId); rc != ERROR_SUCCESS) {
        return rc;
    }
    if (const LONG rc = EnsureUserKey(above); rc != ERROR_SUCCESS) {
        return rc;
    }
    return m_pUser->SetHidden(kKeyMark, above.userId, key.path.back(), true);
}

LONG LayeredRegistry::SubKeyAt(const LayeredKey& key, DWORD index, std::string& name) {
    std::vector<std::string> names;
    const LONG rc = SubKeyNames(key, names);
    return rc != ERROR_SUCCESS ? rc : TakeAt(names, index, name);
}

LONG LayeredRegistry::ClassOf(const LayeredKey& key, std::string& className) {
    className.clear();
    if (key.userId != 0) {
        if (const LONG rc = m_pUser->KeyClass(key.userId, className); rc != ERROR_SUCCESS) {
            return rc;
        }
    }
    // A key the user's file made only to hold the user's values has no class of its own.
    if (className.empty() && key.machineShown) {
        return m_pMachine->KeyClass(key.machineId, className);
    }
    return ERROR_SUCCESS;
}

LONG LayeredRegistry::QueryInfo(const LayeredKey& key, StoredKeyInfo& info) {
    info = StoredKeyInfo{};
    std::vector<std::string> names;
    std::vector<StoredValue> values;
    if (const LONG rc = ClassOf(key, info.className); rc != ERROR_SUCCESS) {
        return rc;
    }
    if (const LONG rc = SubKeyNames(key, names); rc != ERROR_SUCCESS) {
        return rc;
    }
    if (const LONG rc = Values(key, values); rc != ERROR_SUCCESS) {
        return rc;
    }
    info.subKeys = static_cast<DWORD>(names.size());
    for (const std::string& name : names) {
        info.maxSubKeyLength = std::max(info.maxSubKeyLength, Length(name));
        LayeredKey child;
        std::string childClass;
        if (Open(key, {name}, child) == ERROR_SUCCESS && ClassOf(child, childClass) == ERROR_SUCCESS) {
            info.maxClassLength = std::max(info.maxClassLength, Length(childClass));
        }
    }
    info.values = static_cast<DWORD>(values.size());
    for (const StoredValue& value : values) {
        info.maxValueNameLength = std::max(info.maxValueNameLength, Length(value.name));
        info.maxValueLength = std::max(info.maxValueLength, Length(value.data));
    }
    return ERROR_SUCCESS;
}

LONG LayeredRegistry::GetValue(const LayeredKey& key, std::string_view name, StoredValue& value) {
    if (key.userId != 0) {
        const LONG rc = m_pUser->GetValue(key.userId, name, value);
        if (rc != ERROR_FILE_NOT_FOUND) {
            return rc;
        }
    }
    bool hidden = false;
    if (const LONG rc = IsValueHidden(key, name, hidden); rc != ERROR_SUCCESS) {
        return rc;
    }
    if (!key.machineShown || hidden) {
        return ERROR_FILE_NOT_FOUND;
    }
    return m_pMachine->GetValue(key.machineId, name, value);
}

LONG LayeredRegistry::SetValue(LayeredKey& key, std::string_view name, DWORD type,
                               std::string_view data) {
    if (const LONG rc = EnsureUserKey(key); rc != ERROR_SUCCESS) {
        return rc;
    }
    // A value the user takes over keeps the name as the machine's file wrote it.
    StoredValue shown;
    if (const LONG rc = GetValue(key, name, shown); rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
        return rc;
    }
    if (const LONG rc = m_pUser->SetHidden(kValueMark, key.userId, name, false);
        rc != ERROR_SUCCESS) {
        return rc;
    }
    return m_pUser->SetValue(key.userId, shown.name.empty() ? name : shown.name, type, data);
}

LONG LayeredRegistry::DeleteValue(LayeredKey& key, std::string_view name) {
    if (m_pUser == nullptr) {
        return ERROR_ACCESS_DENIED;
    }
    LONG userRc = ERROR_FILE_NOT_FOUND;
    if (key.userId != 0) {
        userRc = m_pUser->DeleteValue(key.userId, name);
        if (userRc != ERROR_SUCCESS && userRc != ERROR_FILE_NOT_FOUND) {
            return userRc;
        }
    }
    bool hidden = false;
    if (const LONG rc = IsValueHidden(key, name, hidden); rc != ERROR_SUCCESS) {
        return rc;
    }
    StoredValue machineValue;
    const bool machineShows =
        key.machineShown && !hidden &&
        m_pMachine->GetValue(key.machineId, name, machineValue) == ERROR_SUCCESS;
    if (!machineShows) {
        return userRc;
    }
    if (const LONG rc = EnsureUserKey(key); rc != ERROR_SUCCESS) {
        return rc;
    }
    return m_pUser->SetHidden(kValueMark, key.userId, name, true);
}

LONG LayeredRegistry::ValueAt(const LayeredKey& key, DWORD index, StoredValue& value) {
    std::vector<StoredValue> values;
    const LONG rc = Values(key, values);
    return rc != ERROR_SUCCESS ? rc : TakeAt(values, index, value);
}

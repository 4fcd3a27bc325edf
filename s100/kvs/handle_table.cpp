#include "s100/kvs/handle_table.h"

#include <deque>

namespace s100::detail {
namespace {

constexpr uint32_t kSlotBits = 24;
constexpr uint32_t kSlotMask = (1u << kSlotBits) - 1;
constexpr uint32_t kGenerationMask = (1u << (32 - kSlotBits)) - 1;
constexpr uint32_t kEmptySlot = 1;
constexpr uint32_t kFirstSlot = 2;
// Reading a profile hands out from hundreds of entries, each released with the profile: their
// hand-out records are kept for the next reads rather than freed and allocated again. Lists
// past the small room are freed, so that one large read keeps no large lists.
constexpr std::size_t kMaxSpareHandOuts = 4096;
constexpr std::size_t kSpareListRoom = 64;

template <typename List>
void emptyKeepingSmallRoom(List& list) {
    if (list.capacity() > kSpareListRoom) {
        List().swap(list);
    } else {
        list.clear();
    }
}

class HandleTable final {
public:
    HandleTable() : entries_(kFirstSlot) {
        spareHandOuts_.reserve(kMaxSpareHandOuts);  // keeping a spare never allocates
        Entry& empty = entries_[kEmptySlot];
        empty.live = true;
        empty.set = std::make_shared<const KVSet>();
    }

    uint32_t add(Entry entry) {
        uint32_t slot;
        if (!freeSlots_.empty()) {
            slot = freeSlots_.back();
            freeSlots_.pop_back();
        } else if (entries_.size() <= kSlotMask) {
            slot = static_cast<uint32_t>(entries_.size());
            entries_.emplace_back();
        } else {
            return 0;
        }
        Entry& stored = entries_[slot];
        entry.generation = stored.generation == 0 ? 1 : stored.generation;
        entry.live = true;
        stored = std::move(entry);
        return (stored.generation << kSlotBits) | slot;
    }

    Entry* find(uint32_t handle) {
        const uint32_t slot = handle & kSlotMask;
        if (slot >= entries_.size() || !entries_[slot].live ||
            entries_[slot].generation != handle >> kSlotBits) {
            return nullptr;
        }
        return &entries_[slot];
    }

    // Views are released before the entry is reset, so a chain of views never recurses deeper
    // than the nesting bound.
    void release(uint32_t handle) {
        Entry* entry = find(handle);
        const uint32_t slot = handle & kSlotMask;
        if (entry == nullptr || slot == kEmptySlot) {
            return;
        }
        forgetAll(*entry);
        const uint32_t next = (entry->generation + 1) & kGenerationMask;
        *entry = Entry{};
        entry->generation = next == 0 ? 1 : next;
        freeSlots_.push_back(slot);
    }

    void forget(const HandedOut& handedOut) {
        if (handedOut.whole != 0) {
            release(handedOut.whole);
        }
        for (const uint32_t element : handedOut.elements) {
            release(element);
        }
    }

    void forgetAll(Entry& entry) {
        // Taken out first so that the hand-outs are not walked while they change.
        std::unique_ptr<HandOuts> handOuts = std::move(entry.handOuts);
        if (handOuts == nullptr) {
            return;
        }
        for (const auto& [key, handedOut] : handOuts->byKey) {
            forget(handedOut);
        }
        forget(handOuts->ofArray);
        keepSpare(std::move(handOuts));
    }

    std::unique_ptr<HandOuts> newHandOuts() {
        if (spareHandOuts_.empty()) {
            return std::make_unique<HandOuts>();
        }
        std::unique_ptr<HandOuts> handOuts = std::move(spareHandOuts_.back());
        spareHandOuts_.pop_back();
        return handOuts;
    }

private:
    void keepSpare(std::unique_ptr<HandOuts> handOuts) {
        if (spareHandOuts_.size() >= kMaxSpareHandOuts) {
            return;
        }
        handOuts->byKey.clear();
        HandedOut& ofArray = handOuts->ofArray;
        ofArray.whole = 0;
        emptyKeepingSmallRoom(ofArray.elements);
        emptyKeepingSmallRoom(ofArray.strings);
        emptyKeepingSmallRoom(ofArray.ints);
        emptyKeepingSmallRoom(ofArray.words);
        spareHandOuts_.push_back(std::move(handOuts));
    }

    std::deque<Entry> entries_;  // a deque keeps Entry pointers valid while slots are added
    std::vector<uint32_t> freeSlots_;
    std::vector<std::unique_ptr<HandOuts>> spareHandOuts_;  // emptied, ready for the next
};

HandleTable& table() {
    static HandleTable instance;
    return instance;
}

bool g_initialized = false;

}  // namespace

std::mutex& lock() {
    static std::mutex mutex;
    return mutex;
}

uint32_t addOwnedSet(KVSet set) {
    auto owned = std::make_shared<KVSet>(std::move(set));
    Entry entry;
    entry.kind = EntryKind::Set;
    entry.writableSet = owned.get();
    entry.set = std::move(owned);
    return table().add(std::move(entry));
}

uint32_t addOwnedArray() {
    auto owned = std::make_shared<Array>();
    Entry entry;
    entry.kind = EntryKind::Array;
    entry.writableArray = owned.get();
    entry.array = std::move(owned);
    return table().add(std::move(entry));
}

uint32_t addSetView(std::shared_ptr<const KVSet> set) {
    Entry entry;
    entry.kind = EntryKind::Set;
    entry.set = std::move(set);
    return table().add(std::move(entry));
}

uint32_t addArrayView(std::shared_ptr<const Array> array) {
    Entry entry;
    entry.kind = EntryKind::Array;
    entry.array = std::move(array);
    return table().add(std::move(entry));
}

Entry* findEntry(uint32_t handle, EntryKind kind) {
    Entry* entry = table().find(handle);
    return entry != nullptr && entry->kind == kind ? entry : nullptr;
}

void release(uint32_t handle) {
    table().release(handle);
}

namespace {

HandOuts& handOutsOf(Entry& entry) {
    if (entry.handOuts == nullptr) {
        entry.handOuts = table().newHandOuts();
    }
    return *entry.handOuts;
}

}  // namespace

HandedOut& handedOutFor(Entry& entry, CTsymbol key) {
    return handOutsOf(entry).byKey[key];
}

HandedOut& handedOutOfArray(Entry& entry) {
    return handOutsOf(entry).ofArray;
}

void forgetKey(Entry& entry, CTsymbol key) {
    if (entry.handOuts == nullptr) {
        return;
    }
    std::map<CTsymbol, HandedOut>& byKey = entry.handOuts->byKey;
    const auto it = byKey.find(key);
    if (it == byKey.end()) {
        return;
    }
    const HandedOut handedOut = std::move(it->second);
    byKey.erase(it);
    table().forget(handedOut);
}

void forgetAll(Entry& entry) {
    table().forgetAll(entry);
}

bool initialized() {
    return g_initialized;
}
void setInitialized(bool on) {
    g_initialized = on;
}

}  // namespace s100::detail

#pragma once
// The table behind the 32-bit KV set and array handles of the C API (internal to s100_kvs).
//
// A handle is (generation << 24) | slot. Releasing a slot bumps its generation, so a stale
// handle never matches again until the 8-bit generation wraps. 2^24 slots hold the views that
// reading some 50,000 large profiles hands out at once (about 300 each). Slot 1 with generation 0 is
// CT_kvsEmpty. Every function here expects the caller to hold lock().
//
// Entries are either owned (made by CTkvs_Create / CTary_Create, changed and destroyed by the
// caller) or views (handed out by a get, read-only, released with the entry that made them).

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "s100/kvs/value.h"

namespace s100::detail {

// What a get handed out for one key (or for one array) that must stay put until the key is
// put again or the owner is destroyed.
struct HandedOut {
    uint32_t whole = 0;                // view of the set or array under the key
    std::vector<uint32_t> elements;    // views of the elements of an array of sets or arrays
    std::vector<const char*> strings;  // element pointers of a string array
    std::vector<int32_t> ints;         // elements of an int array
    std::vector<uint32_t> words;       // elements of a uint, bool or symbol array
};

// Everything one entry handed out.
struct HandOuts {
    std::map<CTsymbol, HandedOut> byKey;  // a set's hand-outs
    HandedOut ofArray;                    // an array's hand-outs
};

enum class EntryKind { Set, Array };

// Kept small: a profile read hands out hundreds of views, and most never hand out anything.
struct Entry {
    uint32_t generation = 0;
    bool live = false;
    EntryKind kind = EntryKind::Set;
    std::shared_ptr<const KVSet> set;
    KVSet* writableSet = nullptr;  // non-null only for a set the caller owns
    std::shared_ptr<const Array> array;
    Array* writableArray = nullptr;      // non-null only for an array the caller owns
    std::unique_ptr<HandOuts> handOuts;  // made by the first hand-out
};

std::mutex& lock();

// A new owned set or array; 0 when the table is full.
uint32_t addOwnedSet(KVSet set);
uint32_t addOwnedArray();
// A view of a set or an array; 0 when the table is full.
uint32_t addSetView(std::shared_ptr<const KVSet> set);
uint32_t addArrayView(std::shared_ptr<const Array> array);

// The live entry of that kind behind handle, or null.
Entry* findEntry(uint32_t handle, EntryKind kind);

// What the entry handed out for key of its set, or for its array; made empty when asked first.
HandedOut& handedOutFor(Entry& entry, CTsymbol key);
HandedOut& handedOutOfArray(Entry& entry);

// Frees the entry and every view it handed out.
void release(uint32_t handle);
// Frees what was handed out for one key of a set (before the key changes).
void forgetKey(Entry& entry, CTsymbol key);
// Frees everything an entry handed out (before its contents change).
void forgetAll(Entry& entry);

bool initialized();
void setInitialized(bool on);

}  // namespace s100::detail

#include "s100/kvs/handles.h"

#include <memory>

#include "s100/kvs/capi_common.h"

namespace s100 {

using detail::Entry;
using detail::EntryKind;
using detail::Guard;

CTerror copyFromHandle(CTkvs handle, KVSet& out) {
    const Guard guard(detail::lock());
    const Entry* entry = detail::findEntry(handle, EntryKind::Set);
    if (entry == nullptr) {
        return CTerr_InvalidHandle;
    }
    out = *entry->set;
    return CTerr_NoError;
}

CTerror makeHandle(KVSet set, CTkvs& handle) {
    const Guard guard(detail::lock());
    handle = detail::addOwnedSet(std::move(set));
    return handle == 0 ? CTerr_NoMemory : CTerr_NoError;
}

CTerror lendHandle(KVSet set, CTkvs& handle) {
    const Guard guard(detail::lock());
    handle = detail::addSetView(std::make_shared<const KVSet>(std::move(set)));
    return handle == 0 ? CTerr_NoMemory : CTerr_NoError;
}

void releaseLent(CTkvs handle) {
    const Guard guard(detail::lock());
    if (const Entry* entry = detail::findEntry(handle, EntryKind::Set);
        entry != nullptr && entry->writableSet == nullptr) {
        detail::release(handle);
    }
}

CTerror replaceContents(CTkvs handle, KVSet set) {
    const Guard guard(detail::lock());
    Entry* entry = detail::findEntry(handle, EntryKind::Set);
    if (entry == nullptr) {
        return CTerr_InvalidHandle;
    }
    if (entry->writableSet == nullptr) {
        return CTerr_ReadOnly;
    }
    *entry->writableSet = std::move(set);
    detail::forgetAll(*entry);
    return CTerr_NoError;
}

bool isInitialized() {
    const Guard guard(detail::lock());
    return detail::initialized();
}

}  // namespace s100

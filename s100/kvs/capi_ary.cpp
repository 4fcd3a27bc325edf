// The CTary_* calls: arrays of any element type, arrays of arrays included.
#include "s100/s100.h"

#include "s100/kvs/capi_common.h"

using namespace s100;
using namespace s100::detail;

namespace s100::detail {

CTerror elementViews(const Array& array, HandedOut& handedOut) {
    if (!handedOut.elements.empty() || array.empty()) {
        return CTerr_NoError;
    }
    handedOut.elements.reserve(array.size());
    for (size_t index = 0; index < array.size(); ++index) {
        const Value element = array.at(index);
        const uint32_t view = element.type() == ValueType::KVSet
                                  ? addSetView(element.sharedSet())
                                  : addArrayView(element.sharedArray());
        if (view == 0) {
            for (const uint32_t made : handedOut.elements) {
                release(made);
            }
            handedOut.elements.clear();
            return CTerr_NoMemory;
        }
        handedOut.elements.push_back(view);
    }
    return CTerr_NoError;
}

}  // namespace s100::detail

namespace {

// An array whose elements are of elementType (an empty array is of every type).
CTerror findArrayOf(CTary handle, ValueType elementType, Entry*& entry) {
    entry = findEntry(handle, EntryKind::Array);
    if (entry == nullptr) {
        return CTerr_InvalidHandle;
    }
    const bool fits = entry->array->empty() || entry->array->elementType() == elementType;
    return fits ? CTerr_NoError : CTerr_WrongType;
}

// Arrays handed out by a get are read-only. An append drops what was handed out for the array.
CTerror appendTo(CTary handle, Value element) {
    Entry* entry = findEntry(handle, EntryKind::Array);
    if (entry == nullptr) {
        return CTerr_InvalidHandle;
    }
    if (entry->writableArray == nullptr) {
        return CTerr_ReadOnly;
    }
    const CTerror code = entry->writableArray->append(std::move(element));
    if (code == CTerr_NoError) {
        forgetAll(*entry);
    }
    return code;
}

}  // namespace

extern "C" {

CTstatus CTary_GetArray(CTary array, const CTary** elements, uint32_t* count, CTerror* error) {
    const Guard guard(lock());
    if (elements == nullptr || count == nullptr) {
        return report(error, CTerr_InvalidArgument);
    }
    Entry* entry = nullptr;
    CTerror code = findArrayOf(array, ValueType::Array, entry);
    if (code != CTerr_NoError) {
        return report(error, code);
    }
    HandedOut& handedOut = handedOutOfArray(*entry);
    code = elementViews(*entry->array, handedOut);
    if (code == CTerr_NoError) {
        const std::vector<uint32_t>& views = handedOut.elements;
        *elements = views.empty() ? static_cast<const CTary*>(emptyElements()) : views.data();
        *count = static_cast<uint32_t>(views.size());
    }
    return report(error, code);
}

CTstatus CTary_GetString(CTary array, const char* const** elements, uint32_t* count,
                         CTerror* error) {
    const Guard guard(lock());
    if (elements == nullptr || count == nullptr) {
        return report(error, CTerr_InvalidArgument);
    }
    Entry* entry = nullptr;
    if (const CTerror code = findArrayOf(array, ValueType::String, entry); code != CTerr_NoError) {
        return report(error, code);
    }
    *elements =
        stringElements(*entry->array, [entry]() -> HandedOut& { return handedOutOfArray(*entry); });
    *count = static_cast<uint32_t>(entry->array->size());
    return report(error, CTerr_NoError);
}

CTstatus CTary_GetCount(CTary array, uint32_t* count, CTerror* error) {
    const Guard guard(lock());
    if (count == nullptr) {
        return report(error, CTerr_InvalidArgument);
    }
    const Entry* entry = findEntry(array, EntryKind::Array);
    if (entry == nullptr) {
        return report(error, CTerr_InvalidHandle);
    }
    *count = static_cast<uint32_t>(entry->array->size());
    return report(error, CTerr_NoError);
}

CTstatus CTary_Create(CTary* array, CTerror* error) {
    const Guard guard(lock());
    if (array == nullptr) {
        return report(error, CTerr_InvalidArgument);
    }
    *array = addOwnedArray();
    return report(error, *array == 0 ? CTerr_NoMemory : CTerr_NoError);
}

// Only arrays made by CTary_Create are destroyed; views belong to their set.
CTstatus CTary_Destroy(CTary array, CTerror* error) {
    const Guard guard(lock());
    const Entry* entry = findEntry(array, EntryKind::Array);
    if (entry == nullptr || entry->writableArray == nullptr) {
        return report(error, CTerr_InvalidHandle);
    }
    release(array);
    return report(error, CTerr_NoError);
}

CTstatus CTary_AppendString(CTary array, const char* value, CTerror* error) {
    const Guard guard(lock());
    if (const CTerror code = checkCString(value); code != CTerr_NoError) {
        return report(error, code);
    }
    return report(error, appendTo(array, Value::string(value)));
}

CTstatus CTary_AppendArray(CTary array, CTary element, CTerror* error) {
    const Guard guard(lock());
    const Entry* source = findEntry(element, EntryKind::Array);
    if (source == nullptr) {
        return report(error, CTerr_InvalidHandle);
    }
    // A copy taken before the append, so an array appended to itself holds its old contents.
    Array copy = *source->array;
    return report(error, appendTo(array, Value::array(std::move(copy))));
}

}  // extern "C"

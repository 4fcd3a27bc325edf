// The CTkvs_* calls, CT_Initialize and CT_Shutdown.
#include "s100/s100.h"

#include "s100/kvs/capi_common.h"

using namespace s100;
using namespace s100::detail;

namespace {

CTerror findReadable(CTkvs kvs, Entry*& entry) {
    entry = findEntry(kvs, EntryKind::Set);
    return entry == nullptr ? CTerr_InvalidHandle : CTerr_NoError;
}

// Views handed out by a get and CT_kvsEmpty are read-only.
CTerror findWritable(CTkvs kvs, Entry*& entry) {
    if (const CTerror error = findReadable(kvs, entry); error != CTerr_NoError) {
        return error;
    }
    return entry->writableSet == nullptr ? CTerr_ReadOnly : CTerr_NoError;
}

CTerror putValue(CTkvs kvs, CTsymbol key, Value value) {
    Entry* entry = nullptr;
    if (const CTerror error = findWritable(kvs, entry); error != CTerr_NoError) {
        return error;
    }
    const CTerror error = entry->writableSet->put(key, std::move(value));
    if (error == CTerr_NoError) {
        forgetKey(*entry, key);
    }
    return error;
}

CTerror findValue(CTkvs kvs, CTsymbol key, ValueType type, Entry*& entry, const Value*& value) {
    if (const CTerror error = findReadable(kvs, entry); error != CTerr_NoError) {
        return error;
    }
    value = entry->set->find(key);
    if (value == nullptr) {
        return CTerr_NotFound;
    }
    return value->type() == type ? CTerr_NoError : CTerr_WrongType;
}

// An array value whose elements are of elementType (an empty array is of every type).
CTerror findArray(CTkvs kvs, CTsymbol key, ValueType elementType, Entry*& entry,
                  const Array*& array) {
    const Value* value = nullptr;
    if (const CTerror error = findValue(kvs, key, ValueType::Array, entry, value);
        error != CTerr_NoError) {
        return error;
    }
    array = &value->asArray();
    const bool fits = array->empty() || array->elementType() == elementType;
    return fits ? CTerr_NoError : CTerr_WrongType;
}

template <typename Scalar, typename Read>
CTstatus getScalar(CTkvs kvs, CTsymbol key, ValueType type, Scalar* out, CTerror* error,
                   Read read) {
    const Guard guard(lock());
    if (out == nullptr) {
        return report(error, CTerr_InvalidArgument);
    }
    Entry* entry = nullptr;
    const Value* value = nullptr;
    const CTerror code = findValue(kvs, key, type, entry, value);
    if (code == CTerr_NoError) {
        *out = read(*value);
    }
    return report(error, code);
}

CTstatus putScalar(CTkvs kvs, CTsymbol key, Value value, CTerror* error) {
    const Guard guard(lock());
    return report(error, putValue(kvs, key, std::move(value)));
}

// The elements of an array of elementType under key as handOut(entry, array) hands them out.
template <typename Element, typename HandOut>
CTstatus getArray(CTkvs kvs, CTsymbol key, ValueType elementType, const Element** elements,
                  uint32_t* count, CTerror* error, HandOut handOut) {
    const Guard guard(lock());
    if (elements == nullptr || count == nullptr) {
        return report(error, CTerr_InvalidArgument);
    }
    Entry* entry = nullptr;
    const Array* array = nullptr;
    if (const CTerror code = findArray(kvs, key, elementType, entry, array);
        code != CTerr_NoError) {
        return report(error, code);
    }
    *elements = handOut(*entry, *array);
    *count = static_cast<uint32_t>(array->size());
    return report(error, CTerr_NoError);
}

// The elements of a scalar array, copied once into cache so that the caller gets one block.
template <typename Element, typename Read>
CTstatus getScalarArray(CTkvs kvs, CTsymbol key, ValueType elementType, const Element** elements,
                        uint32_t* count, CTerror* error, std::vector<Element> HandedOut::*cache,
                        Read read) {
    const auto handOut = [key, cache, read](Entry& entry, const Array& array) {
        std::vector<Element>& block = handedOutFor(entry, key).*cache;
        if (block.empty()) {
            block.reserve(array.size());
            for (size_t index = 0; index < array.size(); ++index) {
                block.push_back(read(array.at(index)));
            }
        }
        return block.empty() ? static_cast<const Element*>(emptyElements()) : block.data();
    };
    return getArray(kvs, key, elementType, elements, count, error, handOut);
}

// Builds an array value from count C elements; make turns one into a value or fails.
template <typename Element, typename Make>
CTstatus putArray(CTkvs kvs, CTsymbol key, const Element* elements, uint32_t count, CTerror* error,
                  Make make) {
    const Guard guard(lock());
    if (elements == nullptr && count > 0) {
        return report(error, CTerr_InvalidArgument);
    }
    if (count > CT_MAX_ELEMENTS) {
        return report(error, CTerr_LimitExceeded);
    }
    Array array;
    for (uint32_t index = 0; index < count; ++index) {
        Value element = Value::integer(0);
        if (const CTerror code = make(elements[index], element); code != CTerr_NoError) {
            return report(error, code);
        }
        if (const CTerror code = array.append(std::move(element)); code != CTerr_NoError) {
            return report(error, code);
        }
    }
    return report(error, putValue(kvs, key, Value::array(std::move(array))));
}

// Builds an array value from count scalars, each of which makes a value.
template <typename Element, typename Make>
CTstatus putScalarArray(CTkvs kvs, CTsymbol key, const Element* elements, uint32_t count,
                        CTerror* error, Make make) {
    return putArray(kvs, key, elements, count, error, [make](Element element, Value& out) {
        out = make(element);
        return CTerr_NoError;
    });
}

CTerror copyOfSet(CTkvs kvs, KVSet& copy) {
    Entry* entry = nullptr;
    if (const CTerror error = findReadable(kvs, entry); error != CTerr_NoError) {
        return error;
    }
    copy = *entry->set;
    return CTerr_NoError;
}

}  // namespace

extern "C" {

CTstatus CT_Initialize(CTerror* error) {
    const Guard guard(lock());
    setInitialized(true);
    return report(error, CTerr_NoError);
}

CTstatus CT_Shutdown(CTerror* error) {
    const Guard guard(lock());
    setInitialized(false);
    return report(error, CTerr_NoError);
}

CTstatus CTkvs_Create(CTkvs* kvs, CTerror* error) {
    const Guard guard(lock());
    if (kvs == nullptr) {
        return report(error, CTerr_InvalidArgument);
    }
    *kvs = addOwnedSet(KVSet{});
    return report(error, *kvs == 0 ? CTerr_NoMemory : CTerr_NoError);
}

// CT_kvsEmpty is never destroyed: its destroy succeeds and does nothing. A view handed out by
// a get belongs to its set and is refused.
CTstatus CTkvs_Destroy(CTkvs kvs, CTerror* error) {
    const Guard guard(lock());
    if (kvs == CT_kvsEmpty) {
        return report(error, CTerr_NoError);
    }
    const Entry* entry = findEntry(kvs, EntryKind::Set);
    if (entry == nullptr || entry->writableSet == nullptr) {
        return report(error, CTerr_InvalidHandle);
    }
    release(kvs);
    return report(error, CTerr_NoError);
}

CTstatus CTkvs_Copy(CTkvs destination, CTkvs source, CTerror* error) {
    const Guard guard(lock());
    Entry* target = nullptr;
    KVSet pairs;
    CTerror code = findWritable(destination, target);
    if (code == CTerr_NoError) {
        code = copyOfSet(source, pairs);
    }
    if (code != CTerr_NoError) {
        return report(error, code);
    }
    // All or nothing: a bound hit half-way leaves the destination as it was.
    KVSet merged = *target->set;
    for (const Pair& pair : pairs.pairs()) {
        if (code = merged.put(pair.key, pair.value); code != CTerr_NoError) {
            return report(error, code);
        }
    }
    *target->writableSet = std::move(merged);
    for (const Pair& pair : pairs.pairs()) {
        forgetKey(*target, pair.key);
    }
    return report(error, CTerr_NoError);
}

CTstatus CTkvs_GetCount(CTkvs kvs, uint32_t* count, CTerror* error) {
    const Guard guard(lock());
    Entry* entry = nullptr;
    if (count == nullptr) {
        return report(error, CTerr_InvalidArgument);
    }
    const CTerror code = findReadable(kvs, entry);
    if (code == CTerr_NoError) {
        *count = static_cast<uint32_t>(entry->set->size());
    }
    return report(error, code);
}

CTstatus CTkvs_GetKeyAt(CTkvs kvs, uint32_t index, CTsymbol* key, CTerror* error) {
    const Guard guard(lock());
    Entry* entry = nullptr;
    if (key == nullptr) {
        return report(error, CTerr_InvalidArgument);
    }
    CTerror code = findReadable(kvs, entry);
    if (code == CTerr_NoError && index >= entry->set->size()) {
        code = CTerr_InvalidArgument;
    }
    if (code == CTerr_NoError) {
        *key = entry->set->at(index).key;
    }
    return report(error, code);
}

CTstatus CTkvs_Remove(CTkvs kvs, CTsymbol key, CTerror* error) {
    const Guard guard(lock());
    Entry* entry = nullptr;
    CTerror code = findWritable(kvs, entry);
    if (code == CTerr_NoError) {
        code = entry->writableSet->remove(key);
    }
    if (code == CTerr_NoError) {
        forgetKey(*entry, key);
    }
    return report(error, code);
}

CTstatus CTkvs_GetString(CTkvs kvs, CTsymbol key, const char** value, CTerror* error) {
    // The text lives in the set's shared value, which stays until the key is put again.
    return getScalar(kvs, key, ValueType::String, value, error,
                     [](const Value& v) { return v.asCString(); });
}

CTstatus CTkvs_PutString(CTkvs kvs, CTsymbol key, const char* value, CTerror* error) {
    if (const CTerror code = checkCString(value); code != CTerr_NoError) {
        return report(error, code);
    }
    return putScalar(kvs, key, Value::string(value), error);
}

CTstatus CTkvs_GetInt(CTkvs kvs, CTsymbol key, int32_t* value, CTerror* error) {
    return getScalar(kvs, key, ValueType::Int, value, error,
                     [](const Value& v) { return v.asInt(); });
}

CTstatus CTkvs_PutInt(CTkvs kvs, CTsymbol key, int32_t value, CTerror* error) {
    return putScalar(kvs, key, Value::integer(value), error);
}

CTstatus CTkvs_GetUInt(CTkvs kvs, CTsymbol key, uint32_t* value, CTerror* error) {
    return getScalar(kvs, key, ValueType::UInt, value, error,
                     [](const Value& v) { return v.asUInt(); });
}

CTstatus CTkvs_PutUInt(CTkvs kvs, CTsymbol key, uint32_t value, CTerror* error) {
    return putScalar(kvs, key, Value::uinteger(value), error);
}

CTstatus CTkvs_GetBool(CTkvs kvs, CTsymbol key, CTbool* value, CTerror* error) {
    return getScalar(kvs, key, ValueType::Bool, value, error,
                     [](const Value& v) { return v.asBool(); });
}

CTstatus CTkvs_PutBool(CTkvs kvs, CTsymbol key, CTbool value, CTerror* error) {
    return putScalar(kvs, key, Value::boolean(value), error);
}

CTstatus CTkvs_GetSymbol(CTkvs kvs, CTsymbol key, CTsymbol* value, CTerror* error) {
    return getScalar(kvs, key, ValueType::Symbol, value, error,
                     [](const Value& v) { return v.asSymbol(); });
}

CTstatus CTkvs_PutSymbol(CTkvs kvs, CTsymbol key, CTsymbol value, CTerror* error) {
    return putScalar(kvs, key, Value::symbol(value), error);
}

CTstatus CTkvs_GetKVSet(CTkvs kvs, CTsymbol key, CTkvs* value, CTerror* error) {
    const Guard guard(lock());
    if (value == nullptr) {
        return report(error, CTerr_InvalidArgument);
    }
    Entry* entry = nullptr;
    const Value* nested = nullptr;
    if (const CTerror code = findValue(kvs, key, ValueType::KVSet, entry, nested);
        code != CTerr_NoError) {
        return report(error, code);
    }
    HandedOut& handedOut = handedOutFor(*entry, key);
    if (handedOut.whole == 0) {
        handedOut.whole = addSetView(nested->sharedSet());
    }
    *value = handedOut.whole;
    return report(error, handedOut.whole == 0 ? CTerr_NoMemory : CTerr_NoError);
}

CTstatus CTkvs_PutKVSet(CTkvs kvs, CTsymbol key, CTkvs value, CTerror* error) {
    const Guard guard(lock());
    KVSet copy;
    CTerror code = copyOfSet(value, copy);
    if (code == CTerr_NoError) {
        code = putValue(kvs, key, Value::set(std::move(copy)));
    }
    return report(error, code);
}

CTstatus CTkvs_GetStringArray(CTkvs kvs, CTsymbol key, const char* const** elements,
                              uint32_t* count, CTerror* error) {
    return getArray(kvs, key, ValueType::String, elements, count, error,
                    [key](Entry& entry, const Array& array) {
                        return stringElements(array, [&entry, key]() -> HandedOut& {
                            return handedOutFor(entry, key);
                        });
                    });
}

CTstatus CTkvs_GetIntArray(CTkvs kvs, CTsymbol key, const int32_t** elements, uint32_t* count,
                           CTerror* error) {
    return getScalarArray<int32_t>(kvs, key, ValueType::Int, elements, count, error,
                                   &HandedOut::ints, [](const Value& v) { return v.asInt(); });
}

CTstatus CTkvs_GetUIntArray(CTkvs kvs, CTsymbol key, const uint32_t** elements, uint32_t* count,
                            CTerror* error) {
    return getScalarArray<uint32_t>(kvs, key, ValueType::UInt, elements, count, error,
                                    &HandedOut::words, [](const Value& v) { return v.asUInt(); });
}

CTstatus CTkvs_GetBoolArray(CTkvs kvs, CTsymbol key, const CTbool** elements, uint32_t* count,
                            CTerror* error) {
    return getScalarArray<CTbool>(kvs, key, ValueType::Bool, elements, count, error,
                                  &HandedOut::words, [](const Value& v) { return v.asBool(); });
}

CTstatus CTkvs_GetSymbolArray(CTkvs kvs, CTsymbol key, const CTsymbol** elements, uint32_t* count,
                              CTerror* error) {
    return getScalarArray<CTsymbol>(kvs, key, ValueType::Symbol, elements, count, error,
                                    &HandedOut::words, [](const Value& v) { return v.asSymbol(); });
}

CTstatus CTkvs_GetKVSetArray(CTkvs kvs, CTsymbol key, const CTkvs** elements, uint32_t* count,
                             CTerror* error) {
    const Guard guard(lock());
    if (elements == nullptr || count == nullptr) {
        return report(error, CTerr_InvalidArgument);
    }
    Entry* entry = nullptr;
    const Array* array = nullptr;
    CTerror code = findArray(kvs, key, ValueType::KVSet, entry, array);
    if (code != CTerr_NoError) {
        return report(error, code);
    }
    HandedOut& handedOut = handedOutFor(*entry, key);
    code = elementViews(*array, handedOut);
    if (code == CTerr_NoError) {
        const std::vector<uint32_t>& views = handedOut.elements;
        *elements = views.empty() ? static_cast<const CTkvs*>(emptyElements()) : views.data();
        *count = static_cast<uint32_t>(views.size());
    }
    return report(error, code);
}

CTstatus CTkvs_PutStringArray(CTkvs kvs, CTsymbol key, const char* const* elements, uint32_t count,
                              CTerror* error) {
    return putArray(kvs, key, elements, count, error, [](const char* text, Value& out) {
        const CTerror code = checkCString(text);
        if (code == CTerr_NoError) {
            out = Value::string(text);
        }
        return code;
    });
}

CTstatus CTkvs_PutIntArray(CTkvs kvs, CTsymbol key, const int32_t* elements, uint32_t count,
                           CTerror* error) {
    return putScalarArray(kvs, key, elements, count, error,
                          [](int32_t number) { return Value::integer(number); });
}

CTstatus CTkvs_PutUIntArray(CTkvs kvs, CTsymbol key, const uint32_t* elements, uint32_t count,
                            CTerror* error) {
    return putScalarArray(kvs, key, elements, count, error,
                          [](uint32_t number) { return Value::uinteger(number); });
}

CTstatus CTkvs_PutBoolArray(CTkvs kvs, CTsymbol key, const CTbool* elements, uint32_t count,
                            CTerror* error) {
    return putScalarArray(kvs, key, elements, count, error,
                          [](CTbool word) { return Value::boolean(word); });
}

CTstatus CTkvs_PutSymbolArray(CTkvs kvs, CTsymbol key, const CTsymbol* elements, uint32_t count,
                              CTerror* error) {
    return putScalarArray(kvs, key, elements, count, error,
                          [](CTsymbol symbol) { return Value::symbol(symbol); });
}

CTstatus CTkvs_PutKVSetArray(CTkvs kvs, CTsymbol key, const CTkvs* elements, uint32_t count,
                             CTerror* error) {
    return putArray(kvs, key, elements, count, error, [](CTkvs element, Value& out) {
        KVSet copy;
        const CTerror code = copyOfSet(element, copy);
        if (code == CTerr_NoError) {
            out = Value::set(std::move(copy));
        }
        return code;
    });
}

CTstatus CTkvs_GetArray(CTkvs kvs, CTsymbol key, CTary* array, CTerror* error) {
    const Guard guard(lock());
    if (array == nullptr) {
        return report(error, CTerr_InvalidArgument);
    }
    Entry* entry = nullptr;
    const Value* value = nullptr;
    if (const CTerror code = findValue(kvs, key, ValueType::Array, entry, value);
        code != CTerr_NoError) {
        return report(error, code);
    }
    HandedOut& handedOut = handedOutFor(*entry, key);
    if (handedOut.whole == 0) {
        handedOut.whole = addArrayView(value->sharedArray());
    }
    *array = handedOut.whole;
    return report(error, handedOut.whole == 0 ? CTerr_NoMemory : CTerr_NoError);
}

CTstatus CTkvs_PutArray(CTkvs kvs, CTsymbol key, CTary array, CTerror* error) {
    const Guard guard(lock());
    const Entry* source = findEntry(array, EntryKind::Array);
    if (source == nullptr) {
        return report(error, CTerr_InvalidHandle);
    }
    return report(error, putValue(kvs, key, Value::array(*source->array)));
}

}  // extern "C"

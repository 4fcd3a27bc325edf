#include "checker/kvsread.h"

#include <functional>

namespace kvsread {

namespace {

template <typename Element>
std::span<const Element> AsSpan(const Element* elements, uint32_t count) {
    if (elements == nullptr || count == 0) {
        return {};
    }
    return {elements, count};
}

// The elements get(&elements, &count, &error) hands out; false when it fails.
template <typename Element, typename Get>
bool Elements(Get get, std::span<const Element>& out) {
    const Element* elements = nullptr;
    uint32_t count = 0;
    CTerror error = CTerr_NoError;
    if (get(&elements, &count, &error) != CT_SUCCESS) {
        return false;
    }
    out = AsSpan(elements, count);
    return true;
}

}  // namespace

bool String(CTkvs kvs, CTsymbol key, std::string& out) {
    const char* value = nullptr;
    CTerror error = CTerr_NoError;
    if (CTkvs_GetString(kvs, key, &value, &error) != CT_SUCCESS) {
        return false;
    }
    out = Text(value);
    return true;
}

bool KVSet(CTkvs kvs, CTsymbol key, CTkvs& out) {
    CTerror error = CTerr_NoError;
    return CTkvs_GetKVSet(kvs, key, &out, &error) == CT_SUCCESS;
}

bool KVSetArray(CTkvs kvs, CTsymbol key, std::span<const CTkvs>& out) {
    return Elements(std::bind_front(CTkvs_GetKVSetArray, kvs, key), out);
}

std::span<const CTkvs> OptionalKVSetArray(CTkvs kvs, CTsymbol key) {
    std::span<const CTkvs> sets;
    return KVSetArray(kvs, key, sets) ? sets : std::span<const CTkvs>();
}

bool StringArray(CTkvs kvs, CTsymbol key, std::span<const char* const>& out) {
    return Elements(std::bind_front(CTkvs_GetStringArray, kvs, key), out);
}

bool ArrayOfArrays(CTkvs kvs, CTsymbol key, std::span<const CTary>& out) {
    CTary array = 0;
    CTerror error = CTerr_NoError;
    return CTkvs_GetArray(kvs, key, &array, &error) == CT_SUCCESS &&
           Elements(std::bind_front(CTary_GetArray, array), out);
}

bool Strings(CTary array, std::span<const char* const>& out) {
    return Elements(std::bind_front(CTary_GetString, array), out);
}

PrivateCopy::PrivateCopy(CTkvs original)
    : m_handle(m_copy.IsValid() && CTkvs_Copy(m_copy.Handle(), original, nullptr) == CT_SUCCESS
                   ? m_copy.Handle()
                   : original) {}

}  // namespace kvsread

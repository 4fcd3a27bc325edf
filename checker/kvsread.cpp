#include "checker/kvsread.h"

namespace kvsread {

namespace {

template <typename Element>
std::span<const Element> AsSpan(const Element* elements, uint32_t count) {
    if (elements == nullptr || count == 0) {
        return {};
    }
    return {elements, count};
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
    const CTkvs* elements = nullptr;
    uint32_t count = 0;
    CTerror error = CTerr_NoError;
    if (CTkvs_GetKVSetArray(kvs, key, &elements, &count, &error) != CT_SUCCESS) {
        return false;
    }
    out = AsSpan(elements, count);
    return true;
}

bool StringArray(CTkvs kvs, CTsymbol key, std::span<const char* const>& out) {
    const char* const* elements = nullptr;
    uint32_t count = 0;
    CTerror error = CTerr_NoError;
    if (CTkvs_GetStringArray(kvs, key, &elements, &count, &error) != CT_SUCCESS) {
        return false;
    }
    out = AsSpan(elements, count);
    return true;
}

bool ArrayOfArrays(CTkvs kvs, CTsymbol key, std::span<const CTary>& out) {
    CTary array = 0;
    CTerror error = CTerr_NoError;
    if (CTkvs_GetArray(kvs, key, &array, &error) != CT_SUCCESS) {
        return false;
    }
    const CTary* elements = nullptr;
    uint32_t count = 0;
    if (CTary_GetArray(array, &elements, &count, &error) != CT_SUCCESS) {
        return false;
    }
    out = AsSpan(elements, count);
    return true;
}

bool Strings(CTary array, std::span<const char* const>& out) {
    const char* const* elements = nullptr;
    uint32_t count = 0;
    CTerror error = CTerr_NoError;
    if (CTary_GetString(array, &elements, &count, &error) != CT_SUCCESS) {
        return false;
    }
    out = AsSpan(elements, count);
    return true;
}

PrivateCopy::PrivateCopy(CTkvs original)
    : m_handle(m_copy.IsValid() && CTkvs_Copy(m_copy.Handle(), original, nullptr) == CT_SUCCESS
                   ? m_copy.Handle()
                   : original) {}

}  // namespace kvsread

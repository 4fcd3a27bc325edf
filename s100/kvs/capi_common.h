#pragma once
// Shared steps of the C API calls (internal to s100_kvs).

#include <cstring>
#include <mutex>

#include "s100/kvs/handle_table.h"

namespace s100::detail {

using Guard = std::lock_guard<std::mutex>;

// Leaves code in the caller's error word (when there is one) and turns it into a status.
inline CTstatus report(CTerror* error, CTerror code) {
    if (error != nullptr) {
        *error = code;
    }
    return code == CTerr_NoError ? CT_SUCCESS : CT_FAILURE;
}

// A C string as a string value: null is CTerr_InvalidArgument, a string above CT_MAX_STRING
// CTerr_LimitExceeded (measured without reading past the bound).
inline CTerror checkCString(const char* text) {
    if (text == nullptr) {
        return CTerr_InvalidArgument;
    }
    return strnlen(text, CT_MAX_STRING + 1) > CT_MAX_STRING ? CTerr_LimitExceeded : CTerr_NoError;
}

// Where a get of an empty array points: never null, never read.
inline const void* emptyElements() {
    static const uint64_t none = 0;
    return &none;
}

// The element views of an array of sets or arrays, made once and kept in handedOut.elements.
// CTerr_NoMemory when the handle table is full (nothing is kept then).
CTerror elementViews(const Array& array, HandedOut& handedOut);

// The texts of a string array as the C API hands them out: a received array's own table, else
// one made once and kept in the strings of handOut() (only asked for then); never null.
template <typename HandOut>
const char* const* stringElements(const Array& array, HandOut handOut) {
    if (const char* const* texts = array.packedTexts()) {
        return texts;
    }
    std::vector<const char*>& strings = handOut().strings;
    if (strings.empty()) {
        strings.reserve(array.size());
        for (size_t index = 0; index < array.size(); ++index) {
            strings.push_back(array.stringAt(index).data());
        }
    }
    return strings.empty() ? static_cast<const char* const*>(emptyElements()) : strings.data();
}

}  // namespace s100::detail

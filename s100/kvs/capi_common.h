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

}  // namespace s100::detail

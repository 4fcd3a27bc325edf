#pragma once
// Reading the values of a profile's KV set. Each reader returns false when the key is missing
// or holds a value of another type; what it hands out belongs to the set it came from.

#include <span>
#include <string_view>

#include "checker/checkmessage.h"
#include "checker/simplekvset.h"
#include "s100/s100.h"

namespace kvsread {

bool String(CTkvs kvs, CTsymbol key, std::string& out);
bool KVSet(CTkvs kvs, CTsymbol key, CTkvs& out);
bool KVSetArray(CTkvs kvs, CTsymbol key, std::span<const CTkvs>& out);
// The sets of a list that may be left out: none when the key is missing or holds another type.
std::span<const CTkvs> OptionalKVSetArray(CTkvs kvs, CTsymbol key);
bool StringArray(CTkvs kvs, CTsymbol key, std::span<const char* const>& out);
// The elements of an array of arrays under key.
bool ArrayOfArrays(CTkvs kvs, CTsymbol key, std::span<const CTary>& out);
// The elements of an array of strings.
bool Strings(CTary array, std::span<const char* const>& out);

// A string element as a view, valid while the element is; a null element reads as empty.
inline std::string_view View(const char* element) {
    return element != nullptr ? std::string_view(element) : std::string_view();
}

// A string element as text; a null element reads as the empty string.
inline std::string Text(const char* element) {
    return std::string(View(element));
}

// A set read through a copy of its own, so that the views reading it hands out go with the copy
// rather than staying until the original goes. The original is read when no copy can be made.
class PrivateCopy final {
public:
    explicit PrivateCopy(CTkvs original);
    CTkvs Handle() const { return m_handle; }

private:
    SimpleKVSet m_copy;
    CTkvs m_handle;
};

}  // namespace kvsread

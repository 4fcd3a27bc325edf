#pragma once
// The packed form of a string array on the wire (Array.packed_strings in kvset.proto): the
// elements in order, each followed by one NUL byte. Readers count and cut it without making a
// string per element.

#include <cstddef>
#include <cstring>
#include <string_view>

#include "s100/proto/kvset.pb.h"

namespace tlv::wire {

// Appends text, which holds no NUL byte, as the next element of a packed string array.
void appendPacked(Array& array, std::string_view text);

// Packs the text textOf(element) of every element of elements, in order, into array's packed
// strings, room made at once; no text holds a NUL byte.
template <typename Elements, typename TextOf>
void packAll(Array& array, const Elements& elements, TextOf textOf) {
    std::size_t bytes = 0;
    for (const auto& element : elements) {
        bytes += std::string_view(textOf(element)).size() + 1;
    }
    array.mutable_packed_strings()->reserve(bytes);
    for (const auto& element : elements) {
        appendPacked(array, textOf(element));
    }
}

// The number of elements of packed bytes: their NUL bytes.
std::size_t packedCount(std::string_view packed);

// The number of elements of array, packed or one by one.
std::size_t arrayLength(const Array& array);

// Calls visit(element) for each element of packed bytes, in order, with a view that ends just
// before the element's NUL byte; stops early when visit returns false. False when visit did, or
// when the bytes do not end with a NUL (a cut element).
template <typename Visit>
bool forEachPacked(std::string_view packed, Visit&& visit) {
    const char* at = packed.data();
    const char* const end = at + packed.size();
    while (at != end) {
        const auto* nul = static_cast<const char*>(std::memchr(at, '\0', end - at));
        if (nul == nullptr || !visit(std::string_view(at, static_cast<std::size_t>(nul - at)))) {
            return false;
        }
        at = nul + 1;
    }
    return true;
}

}  // namespace tlv::wire

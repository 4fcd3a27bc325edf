#include "s100/proto/packed_strings.h"

#include <algorithm>

namespace tlv::wire {

void appendPacked(Array& array, std::string_view text) {
    std::string& packed = *array.mutable_packed_strings();
    packed.append(text);
    packed.push_back('\0');
}

std::size_t packedCount(std::string_view packed) {
    return static_cast<std::size_t>(std::count(packed.begin(), packed.end(), '\0'));
}

std::size_t arrayLength(const Array& array) {
    return packedCount(array.packed_strings()) + static_cast<std::size_t>(array.elements_size());
}

}  // namespace tlv::wire

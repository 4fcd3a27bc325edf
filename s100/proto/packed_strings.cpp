#include "s100/proto/packed_strings.h"

namespace tlv::wire {

void appendPacked(Array& array, std::string_view text) {
    std::string& packed = *array.mutable_packed_strings();
    packed.append(text);
    packed.push_back('\0');
}

std::size_t packedCount(std::string_view packed) {
    std::size_t count = 0;
    forEachPacked(packed, [&count](std::string_view) {
        ++count;
        return true;
    });
    return count;
}

std::size_t arrayLength(const Array& array) {
    return packedCount(array.packed_strings()) + static_cast<std::size_t>(array.elements_size());
}

}  // namespace tlv::wire

#pragma once
// What decoding a frame may cost. Protocol Buffers builds one object per nested message, tens
// of bytes each, so a frame packed with empty elements (two bytes apiece on the wire) would cost
// some thirty times its size. Before parsing, the payload is walked once over the schema,
// allocating nothing, and refused when it holds more messages than one per
// kMinWireBytesPerMessage bytes (plus a small allowance for tiny frames). Legal elements (a
// scalar, a string, a set whose pair holds a value) take at least that much per message; what
// is refused is a frame dominated by elements without a value or by empty sets. Decoding then
// costs at most about twenty times the frame's size.

#include <cstddef>
#include <string_view>

namespace google::protobuf {
class Descriptor;
}

namespace tlv::wire {

inline constexpr std::size_t kMinWireBytesPerMessage = 3;
inline constexpr std::size_t kMessageAllowance = 256;

// True when payload is well-formed wire data of type whose nested messages stay within the
// budget above and within the nesting limit of frame.h.
bool fitsDecodeBudget(std::string_view payload, const google::protobuf::Descriptor& type);

}  // namespace tlv::wire

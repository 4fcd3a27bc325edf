#pragma once
// Conversion between the C++ KV set and its wire form (s100/proto/kvset.proto).
//
// Decoding checks everything a peer could get wrong: the bounds of s100/s100.h (depth, pair and
// element counts, string sizes), NUL bytes in strings, values without a type, duplicate keys,
// arrays whose elements differ from each other or from the array's element type. It never
// trusts the input and never crashes on it.

#include <cstddef>
#include <optional>
#include <string>

#include "s100/kvs/value.h"
#include "s100/proto/kvset.pb.h"

namespace s100 {

struct DecodeError {
    CTerror code = CTerr_NoError;  // CTerr_LimitExceeded over a bound, else CTerr_InvalidArgument
    std::string message;
};

void toWire(const KVSet& set, tlv::wire::KVSet& out);
std::optional<KVSet> fromWire(const tlv::wire::KVSet& in, DecodeError& error);
// The same, taking the packed string blocks out of in instead of copying them; in is left
// unusable.
std::optional<KVSet> fromWire(tlv::wire::KVSet&& in, DecodeError& error);

// The serialized wire form, and back (for peers that hold raw bytes, and the fuzzer).
std::string encodeKVSet(const KVSet& set);
std::optional<KVSet> decodeKVSet(const void* data, size_t size, DecodeError& error);

}  // namespace s100

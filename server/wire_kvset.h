#pragma once
// Small accessors over the wire form of KV sets: the server reads a few keys of a service
// definition and builds the result arrays of the list queries. Incoming sets are checked in full
// by the KV set decoder before they get here.

#include <string>
#include <vector>

#include "s100/proto/kvset.pb.h"
#include "s100/symbols.h"

namespace tlv::server {

// The value under key, or null when the set does not hold it.
const tlv::wire::Value* findValue(const tlv::wire::KVSet& set, CTsymbol key);

void putStringArray(tlv::wire::KVSet& set, CTsymbol key, const std::vector<std::string>& values);
void putSymbolArray(tlv::wire::KVSet& set, CTsymbol key, const std::vector<CTsymbol>& values);
void putBoolArray(tlv::wire::KVSet& set, CTsymbol key, const std::vector<bool>& values);
// An array of sets given in their wire form (as stored): each goes out as the bytes it is,
// without being decoded and encoded again; the receiver reads them as the sets they encode.
void putEncodedKVSetArray(tlv::wire::KVSet& set, CTsymbol key, std::vector<std::string> encoded);

}  // namespace tlv::server

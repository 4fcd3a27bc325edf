#pragma once
// Every KV set that arrives from a client goes through the KV set decoder before the server stores
// or reads it: nesting depth, counts, sizes, one element type per array, unique keys.

#include "s100/errors.h"
#include "s100/proto/kvset.pb.h"

namespace tlv::server {

// CTerr_NoError, CTerr_LimitExceeded for a bound of s100/s100.h exceeded (for the depth,
// CT_MAX_STORED_DEPTH: every set that gets here is to be stored), or
// CTerr_InvalidArgument for a set that no S.100 call could have built.
CTerror checkIncomingKvSet(const tlv::wire::KVSet& set);

}  // namespace tlv::server

#pragma once
// The KV sets a call carries: the caller's sets on their way out, the answer's result set on its
// way into the record. Every bound of s100/s100.h is checked both ways.

#include "s100/kvs/value.h"
#include "s100/proto/kvset.pb.h"
#include "s100/s100.h"

namespace tlv::client {

// The wire form of the caller's set behind handle, to be stored by the server:
// CTerr_InvalidHandle for an unknown handle, CTerr_LimitExceeded when it is deeper than
// CT_MAX_STORED_DEPTH or would not fit one frame.
CTerror wireFromHandle(CTkvs handle, tlv::wire::KVSet& wire);

// The set a received wire form stands for; false when no S.100 call could have built it. The
// wire form's string arrays are taken, not copied: wire is not read again.
bool setFromWire(tlv::wire::KVSet&& wire, s100::KVSet& set);

// The wire form of a set of the model, to be stored; CTerr_LimitExceeded as for a handle.
CTerror wireFromSet(const s100::KVSet& set, tlv::wire::KVSet& wire);

// Puts every pair of set into the caller's set behind handle, replacing equal keys.
CTerror mergeIntoHandle(CTkvs handle, const s100::KVSet& set);

}  // namespace tlv::client

#include "s100/client/kvs_exchange.h"

#include "s100/kvs/handles.h"
#include "s100/kvs/wire.h"
#include "s100/wire/frame.h"

namespace tlv::client {
namespace {

// Room in a frame for the request around the set (names, ids, field tags).
constexpr std::size_t kRequestEnvelopeBytes = 64 * 1024;

}  // namespace

CTerror wireFromHandle(CTkvs handle, tlv::wire::KVSet& wire) {
    s100::KVSet set;
    if (const CTerror error = s100::copyFromHandle(handle, set); error != CTerr_NoError) {
        return error;
    }
    return wireFromSet(set, wire);
}

bool setFromWire(tlv::wire::KVSet&& wire, s100::KVSet& set) {
    s100::DecodeError error;
    std::optional<s100::KVSet> decoded = s100::fromWire(std::move(wire), error);
    if (!decoded) {
        return false;
    }
    set = std::move(*decoded);
    return true;
}

CTerror wireFromSet(const s100::KVSet& set, tlv::wire::KVSet& wire) {
    // The model keeps the bounds of each set; what is left is whether the server could hand it
    // back inside an answer, and whether the whole fits a frame: a frame that cannot be sent
    // would cost the session its connection.
    if (set.depth() > CT_MAX_STORED_DEPTH) {
        return CTerr_LimitExceeded;
    }
    tlv::wire::KVSet converted;
    s100::toWire(set, converted);
    if (converted.ByteSizeLong() > tlv::wire::kMaxFrameBytes - kRequestEnvelopeBytes) {
        return CTerr_LimitExceeded;
    }
    wire = std::move(converted);
    return CTerr_NoError;
}

CTerror mergeIntoHandle(CTkvs handle, const s100::KVSet& set) {
    CTkvs source = 0;
    if (const CTerror error = s100::makeHandle(set, source); error != CTerr_NoError) {
        return error;
    }
    CTerror error = CTerr_NoError;
    CTkvs_Copy(handle, source, &error);
    CTkvs_Destroy(source, nullptr);
    return error;
}

}  // namespace tlv::client

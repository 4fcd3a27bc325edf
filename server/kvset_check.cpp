#include "server/kvset_check.h"

#include "s100/kvs/wire.h"

namespace tlv::server {

CTerror checkIncomingKvSet(const tlv::wire::KVSet& set) {
    s100::DecodeError error;
    const std::optional<s100::KVSet> decoded = s100::fromWire(set, error);
    if (!decoded) {
        return error.code;
    }
    // Deeper, it would be stored but could not be read back by any client.
    return decoded->depth() > CT_MAX_STORED_DEPTH ? CTerr_LimitExceeded : CTerr_NoError;
}

}  // namespace tlv::server

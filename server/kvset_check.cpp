#include "server/kvset_check.h"

#include "s100/kvs/wire.h"

namespace tlv::server {

CTerror checkIncomingKvSet(const tlv::wire::KVSet& set) {
    s100::DecodeError error;
    return s100::fromWire(set, error) ? CTerr_NoError : error.code;
}

}  // namespace tlv::server

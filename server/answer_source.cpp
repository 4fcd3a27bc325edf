#include "server/answer_source.h"

#include "s100/errors.h"
#include "s100/wire/frame.h"

namespace tlv::server {

WholeAnswer::WholeAnswer(tlv::wire::Response whole)
    : m_id(whole.id()), m_parts(std::make_shared<const tlv::wire::Response>(std::move(whole))) {}

void WholeAnswer::next(Ready ready) {
    tlv::wire::Response part;
    m_parts.next(part);
    part.set_id(m_id);
    const bool more = part.more();
    ready(encodePart(std::move(part)), more);
}

std::string encodePart(tlv::wire::Response part) {
    const std::uint64_t id = part.id();
    tlv::wire::ServerFrame frame;
    *frame.mutable_response() = std::move(part);
    std::string bytes;
    if (!tlv::wire::encodeFrame(frame, bytes)) {
        tlv::wire::ServerFrame refusal;
        refusal.mutable_response()->set_id(id);
        refusal.mutable_response()->set_error(CTerr_LimitExceeded);
        bytes.clear();
        tlv::wire::encodeFrame(refusal, bytes);
    }
    return bytes;
}

}  // namespace tlv::server

#include "server/auth.h"

#include "s100/wire/frame.h"

namespace tlv::server {

using Step = ServerHandshake::Step;

Step ServerHandshake::onFrame(const tlv::wire::ClientFrame& frame, tlv::wire::ServerFrame& reply,
                              std::string& why) {
    if (m_complete) {
        why = "repeated its handshake";
        return Step::Drop;
    }
    if (!frame.has_hello()) {
        why = "skipped the handshake";
        return Step::Drop;
    }
    tlv::wire::HelloReply& answer = *reply.mutable_hello();
    answer.set_protocol_version(tlv::wire::kProtocolVersion);
    answer.set_server_name(m_serverName);
    answer.set_accepted(frame.hello().protocol_version() == tlv::wire::kProtocolVersion);
    if (!answer.accepted()) {
        return Step::Refuse;
    }
    m_complete = true;
    return Step::Authenticated;
}

}  // namespace tlv::server

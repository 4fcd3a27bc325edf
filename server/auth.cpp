#include "server/auth.h"

#include "s100/wire/admin_key.h"
#include "s100/wire/frame.h"

namespace tlv::server {

using Step = ServerHandshake::Step;

Step ServerHandshake::onFrame(const tlv::wire::ClientFrame& frame, tlv::wire::ServerFrame& reply,
                              std::string& why) {
    switch (m_stage) {
        case Stage::AwaitHello:
            if (frame.has_hello()) {
                return onHello(frame.hello(), reply, why);
            }
            why = "skipped the handshake";
            return Step::Drop;
        case Stage::AwaitProof:
            if (frame.has_key_proof()) {
                return onProof(frame.key_proof(), reply);
            }
            why = "did not prove it holds the admin key";
            return Step::Drop;
        case Stage::Done:
            break;
    }
    why = "repeated its handshake";
    return Step::Drop;
}

Step ServerHandshake::onHello(const tlv::wire::Hello& hello, tlv::wire::ServerFrame& reply,
                              std::string& why) {
    tlv::wire::HelloReply& answer = *reply.mutable_hello();
    answer.set_protocol_version(tlv::wire::kProtocolVersion);
    answer.set_server_name(m_serverName);
    if (hello.protocol_version() != tlv::wire::kProtocolVersion) {
        answer.set_accepted(false);
        return Step::Refuse;
    }
    if (hello.client_nonce().size() != tlv::wire::kNonceBytes) {
        why = "sent no usable nonce";
        return Step::Drop;
    }
    m_clientNonce = hello.client_nonce();
    m_serverNonce = tlv::wire::freshRandomBytes(tlv::wire::kNonceBytes);
    if (m_serverNonce.empty()) {
        why = "could not be given a nonce: no random bytes";
        return Step::Drop;
    }
    answer.set_accepted(true);
    answer.set_server_nonce(m_serverNonce);
    answer.set_server_proof(tlv::wire::serverKeyProof(m_adminKey, m_clientNonce, m_serverNonce));
    m_stage = Stage::AwaitProof;
    return Step::Reply;
}

Step ServerHandshake::onProof(const tlv::wire::KeyProof& proof, tlv::wire::ServerFrame& reply) {
    const bool accepted = tlv::wire::proofMatches(
        tlv::wire::clientKeyProof(m_adminKey, m_clientNonce, m_serverNonce), proof.client_proof());
    reply.mutable_key_verdict()->set_accepted(accepted);
    if (!accepted) {
        return Step::Refuse;
    }
    m_stage = Stage::Done;
    return Step::Authenticated;
}

}  // namespace tlv::server

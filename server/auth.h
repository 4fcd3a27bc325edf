#pragma once
// The server's side of the handshake: Hello answered with the server's nonce and proof, then
// the client's KeyProof checked against the admin key. Nothing else a client sends counts
// until the proof has been verified. A pure state machine: it sees frames, the session moves
// the bytes.

#include <string>

#include "s100/proto/admin.pb.h"

namespace tlv::server {

class ServerHandshake final {
public:
    // adminKey and serverName must outlive the handshake.
    ServerHandshake(const std::string& adminKey, const std::string& serverName)
        : m_adminKey(adminKey), m_serverName(serverName) {}

    enum class Step {
        Reply,          // send the reply and wait for the next handshake frame
        Authenticated,  // send the reply: the client proved it holds the key
        Refuse,         // send the reply, then close
        Drop            // close without a word; why says what the client did
    };

    Step onFrame(const tlv::wire::ClientFrame& frame, tlv::wire::ServerFrame& reply,
                 std::string& why);
    bool isComplete() const { return m_stage == Stage::Done; }

private:
    enum class Stage { AwaitHello, AwaitProof, Done };
    Step onHello(const tlv::wire::Hello& hello, tlv::wire::ServerFrame& reply, std::string& why);
    Step onProof(const tlv::wire::KeyProof& proof, tlv::wire::ServerFrame& reply);

    const std::string& m_adminKey;
    const std::string& m_serverName;
    Stage m_stage = Stage::AwaitHello;
    std::string m_clientNonce;
    std::string m_serverNonce;
};

}  // namespace tlv::server

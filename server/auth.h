#pragma once
// The Hello a client sends inside TLS, its key already proven: the protocol version is checked
// and the server's name given. Nothing else a client sends counts before it. A pure state
// machine: it sees frames, the session moves the bytes.

#include <string>

#include "s100/proto/admin.pb.h"

namespace tlv::server {

class ServerHandshake final {
public:
    // serverName must outlive the handshake.
    explicit ServerHandshake(const std::string& serverName) : m_serverName(serverName) {}

    enum class Step {
        Authenticated,  // send the reply: the client may call from now on
        Refuse,         // send the reply, then close
        Drop            // close without a word; why says what the client did
    };

    Step onFrame(const tlv::wire::ClientFrame& frame, tlv::wire::ServerFrame& reply,
                 std::string& why);

private:
    const std::string& m_serverName;
    bool m_complete = false;
};

}  // namespace tlv::server

// Feeds arbitrary bytes to what tlvsd reads inside TLS before the Hello is answered: frames of
// at most kMaxHandshakeFrameBytes, each decoded and given to the server's handshake. A frame
// above the limit ends the stream; an accepted Hello must carry this protocol's version.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "s100/proto/admin.pb.h"
#include "s100/wire/frame.h"
#include "server/auth.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tlv::wire::FrameDecoder decoder{tlv::wire::kMaxHandshakeFrameBytes};
    decoder.feed(reinterpret_cast<const char*>(data), size);
    const std::string serverName = "fuzz";
    tlv::server::ServerHandshake handshake{serverName};
    std::string payload;
    while (decoder.next(payload) == tlv::wire::FrameStatus::Frame) {
        if (payload.size() > tlv::wire::kMaxHandshakeFrameBytes) {
            std::abort();
        }
        tlv::wire::ClientFrame frame;
        if (!tlv::wire::parseFrame(payload, frame)) {
            return 0;  // the session drops the client here
        }
        tlv::wire::ServerFrame reply;
        std::string why;
        const auto step = handshake.onFrame(frame, reply, why);
        if (step == tlv::server::ServerHandshake::Step::Authenticated &&
            frame.hello().protocol_version() != tlv::wire::kProtocolVersion) {
            std::abort();
        }
        if (step != tlv::server::ServerHandshake::Step::Authenticated) {
            return 0;  // refused or dropped: nothing more is read
        }
    }
    return 0;
}

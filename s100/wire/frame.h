#pragma once
// Frames of the administration protocol: a 4-byte big-endian length, then that many bytes of one
// serialized message (ClientFrame or ServerFrame of s100/proto/admin.proto).
//
// The decoder is a pure function over bytes: the transport feeds whatever arrived and takes out
// complete frames; it never touches a socket.

#include <cstddef>
#include <cstdint>
#include <string>

namespace google::protobuf {
class MessageLite;
}

namespace tlv::wire {

// The largest frame either side accepts. A profile query of 10,000 profiles with their contents
// (a few KiB each) stays well below it; anything larger is treated as hostile and drops the
// connection before a byte of it is buffered.
inline constexpr std::uint32_t kMaxFrameBytes = 64u * 1024u * 1024u;

// A list answer whose encoding exceeds this travels in parts of about this size (one element
// larger than it travels alone), so neither side needs one frame the size of the whole answer.
inline constexpr std::size_t kAnswerPartBytes = 4u * 1024u * 1024u;

// The most a client gathers from the parts of one answer before it gives up on the connection.
inline constexpr std::size_t kMaxAnswerBytes = 1024u * 1024u * 1024u;

// The protocol version both sides send in their handshake.
inline constexpr std::uint32_t kProtocolVersion = 2;

inline constexpr std::size_t kFrameHeaderBytes = 4;

// Message nesting a frame may hold: a KV set nested to CT_MAX_DEPTH takes three message levels
// per step (set, pair, value), plus the frame's own envelope. Protocol Buffers' default of 100
// would refuse legal sets; the KV set decoder then checks the real depth.
inline constexpr int kMaxMessageNesting = 3 * 32 + 16;

enum class FrameStatus {
    Frame,     // a complete frame was taken out
    NeedMore,  // the buffered bytes do not yet hold a complete frame
    Oversized  // the announced length exceeds kMaxFrameBytes: the stream is unusable
};

class FrameDecoder final {
public:
    // Appends received bytes. Bytes fed after an Oversized result are ignored.
    void feed(const char* data, std::size_t size);

    // Takes out the next complete frame's payload (without its header) into frame.
    FrameStatus next(std::string& frame);

    // Bytes received but not yet taken out as frames.
    std::size_t buffered() const { return m_buffer.size() - m_start; }

private:
    std::string m_buffer;
    std::size_t m_start = 0;  // first byte not yet consumed
    bool m_broken = false;
};

// Parses a frame's payload into message with the nesting limit above; false for bytes that are
// not one whole message.
bool parseFrame(const std::string& payload, google::protobuf::MessageLite& message);

// Appends the frame of message (header and payload) to out. Fails, leaving out unchanged, when
// the message cannot be serialized or would exceed kMaxFrameBytes.
bool encodeFrame(const google::protobuf::MessageLite& message, std::string& out);

}  // namespace tlv::wire

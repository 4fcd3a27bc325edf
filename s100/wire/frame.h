#pragma once
// Frames of the administration protocol: a 4-byte big-endian length, then that many bytes of one
// serialized message (ClientFrame or ServerFrame of s100/proto/admin.proto).
//
// The decoder is a pure function over bytes: the transport feeds whatever arrived and takes out
// complete frames; it never touches a socket.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace google::protobuf {
class Message;
class MessageLite;
}  // namespace google::protobuf

namespace tlv::wire {

// The largest frame either side accepts: what the largest single message needs. A request
// carrying one KV set at the bounds of s100/s100.h that matter in practice (an array of
// CT_MAX_ELEMENTS scalars, at most 8 bytes each on the wire, beside a few strings of
// CT_MAX_STRING bytes) stays below it; big list answers travel in parts. Anything larger is
// treated as hostile and drops the connection before a byte of it is buffered.
inline constexpr std::uint32_t kMaxFrameBytes = 16u * 1024u * 1024u;

// Before the Hello is answered a frame is at most this long: a Hello is tiny.
inline constexpr std::uint32_t kMaxHandshakeFrameBytes = 4u * 1024u;

// A list answer whose encoding exceeds this travels in parts of about this size (one element
// larger than it travels alone), so neither side needs one frame the size of the whole answer.
inline constexpr std::size_t kAnswerPartBytes = 4u * 1024u * 1024u;

// The most a client gathers from the parts of one answer before it gives up on the connection.
inline constexpr std::size_t kMaxAnswerBytes = 1024u * 1024u * 1024u;

// The protocol version both sides send in their handshake.
inline constexpr std::uint32_t kProtocolVersion = 4;

inline constexpr std::size_t kFrameHeaderBytes = 4;

// Message nesting a frame may hold: a KV set nested to CT_MAX_DEPTH takes three message levels
// per step (set, pair, value), plus the frame's own envelope. Protocol Buffers' default of 100
// would refuse legal sets; the KV set decoder then checks the real depth.
inline constexpr int kMaxMessageNesting = 3 * 32 + 16;

enum class FrameStatus {
    Frame,     // a complete frame was taken out
    NeedMore,  // the buffered bytes do not yet hold a complete frame
    Oversized  // the announced length exceeds the decoder's limit: the stream is unusable
};

class FrameDecoder final {
public:
    explicit FrameDecoder(std::uint32_t maxFrameBytes = kMaxFrameBytes)
        : m_maxFrameBytes(maxFrameBytes) {}

    // Changes the largest frame accepted from the next frame on (after the handshake).
    void setMaxFrameBytes(std::uint32_t maxFrameBytes) { m_maxFrameBytes = maxFrameBytes; }

    // Appends received bytes. Bytes fed after an Oversized result are ignored.
    void feed(const char* data, std::size_t size);

    // Takes out the next complete frame's payload (without its header) into frame.
    FrameStatus next(std::string& frame);
    // As next, but frame views the payload where it lies, valid until the next call of feed or
    // next: a receiver that parses at once saves copying it.
    FrameStatus nextView(std::string_view& frame);

    // Bytes received but not yet taken out as frames.
    std::size_t buffered() const { return m_buffer.size() - m_start; }

    // The whole size (header and payload) of the frame being received once its header is in,
    // so that a receiver can make room for all of it before reading on; 0 before that, and for
    // a length over the limit (next() reports it).
    std::size_t pendingFrameBytes() const;

private:
    std::string m_buffer;
    std::size_t m_start = 0;  // first byte not yet consumed
    std::uint32_t m_maxFrameBytes;
    bool m_broken = false;
};

// Parses a frame's payload into message with the nesting limit above; false for bytes that are
// not one whole message, or that would cost more memory to decode than the decode budget
// allows (frame_budget.h), which is checked first without allocating anything.
bool parseFrame(std::string_view payload, google::protobuf::Message& message);

// Appends the frame of message (header and payload) to out. Fails, leaving out unchanged, when
// the message cannot be serialized or would exceed kMaxFrameBytes.
bool encodeFrame(const google::protobuf::MessageLite& message, std::string& out);

}  // namespace tlv::wire

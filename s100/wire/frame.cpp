#include "s100/wire/frame.h"

#include <google/protobuf/io/coded_stream.h>
#include <google/protobuf/message.h>

#include "s100/s100.h"
#include "s100/wire/frame_budget.h"

namespace tlv::wire {
namespace {

std::uint32_t readBigEndian32(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
           std::uint32_t{b[3]};
}

void appendBigEndian32(std::uint32_t value, std::string& out) {
    out.push_back(static_cast<char>((value >> 24) & 0xFF));
    out.push_back(static_cast<char>((value >> 16) & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
    out.push_back(static_cast<char>(value & 0xFF));
}

}  // namespace

void FrameDecoder::feed(const char* data, std::size_t size) {
    if (m_broken || size == 0) {
        return;
    }
    // Drop consumed bytes before growing, so a long-lived connection keeps a small buffer.
    if (m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = 0;
    } else if (m_start > 0 && m_start >= m_buffer.size() / 2) {
        m_buffer.erase(0, m_start);
        m_start = 0;
    }
    m_buffer.append(data, size);
}

std::size_t FrameDecoder::pendingFrameBytes() const {
    if (m_broken || buffered() < kFrameHeaderBytes) {
        return 0;
    }
    const std::uint32_t length = readBigEndian32(m_buffer.data() + m_start);
    return length > m_maxFrameBytes ? 0 : kFrameHeaderBytes + std::size_t{length};
}

FrameStatus FrameDecoder::next(std::string& frame) {
    std::string_view view;
    const FrameStatus status = nextView(view);
    if (status == FrameStatus::Frame) {
        frame.assign(view);
    }
    return status;
}

// A frame taken out leaves its bytes in place until the next feed drops them, so that a view
// of them stays valid until then.
FrameStatus FrameDecoder::nextView(std::string_view& frame) {
    if (m_broken) {
        return FrameStatus::Oversized;
    }
    if (buffered() < kFrameHeaderBytes) {
        return FrameStatus::NeedMore;
    }
    const std::uint32_t length = readBigEndian32(m_buffer.data() + m_start);
    if (length > m_maxFrameBytes) {
        m_broken = true;
        m_buffer.clear();
        m_start = 0;
        return FrameStatus::Oversized;
    }
    if (buffered() - kFrameHeaderBytes < length) {
        return FrameStatus::NeedMore;
    }
    frame = std::string_view(m_buffer).substr(m_start + kFrameHeaderBytes, length);
    m_start += kFrameHeaderBytes + length;
    return FrameStatus::Frame;
}

static_assert(kMaxMessageNesting == 3 * CT_MAX_DEPTH + 16, "nesting follows the set depth");

bool parseFrame(std::string_view payload, google::protobuf::Message& message) {
    if (!fitsDecodeBudget(payload, *message.GetDescriptor())) {
        message.Clear();
        return false;
    }
    google::protobuf::io::CodedInputStream stream(
        reinterpret_cast<const std::uint8_t*>(payload.data()), static_cast<int>(payload.size()));
    stream.SetRecursionLimit(kMaxMessageNesting);
    return message.ParseFromCodedStream(&stream) && stream.ConsumedEntireMessage();
}

bool encodeFrame(const google::protobuf::MessageLite& message, std::string& out) {
    const std::size_t size = message.ByteSizeLong();
    if (size > kMaxFrameBytes) {
        return false;
    }
    const std::size_t headerAt = out.size();
    appendBigEndian32(static_cast<std::uint32_t>(size), out);
    if (!message.AppendToString(&out)) {
        out.resize(headerAt);
        return false;
    }
    return true;
}

}  // namespace tlv::wire

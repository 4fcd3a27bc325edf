// Feeds arbitrary bytes to the frame decoder in pieces, as a socket would deliver them. Every
// frame that parses as a ClientFrame must encode and decode back to the same message.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "s100/proto/admin.pb.h"
#include "s100/wire/frame.h"
#include "s100/wire/frame_budget.h"

namespace {

// The first byte picks the piece size, so the fuzzer explores frames split across reads.
std::size_t pieceSize(const uint8_t* data, size_t size) {
    return size == 0 ? 1 : 1 + data[0] % 64;
}

void checkRoundTrip(const tlv::wire::ClientFrame& frame) {
    std::string encoded;
    if (!tlv::wire::encodeFrame(frame, encoded)) {
        std::abort();  // a frame that fit on the way in fits on the way out
    }
    tlv::wire::FrameDecoder decoder;
    decoder.feed(encoded.data(), encoded.size());
    std::string payload;
    tlv::wire::ClientFrame again;
    if (decoder.next(payload) != tlv::wire::FrameStatus::Frame || decoder.buffered() != 0) {
        std::abort();
    }
    // Input with padded lengths can be larger than its canonical form: only a re-encoding that
    // is still within the decode budget must read back.
    if (!tlv::wire::fitsDecodeBudget(payload, *again.GetDescriptor())) {
        return;
    }
    if (!tlv::wire::parseFrame(payload, again) ||
        again.SerializeAsString() != frame.SerializeAsString()) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::size_t piece = pieceSize(data, size);
    const char* bytes = reinterpret_cast<const char*>(data);
    tlv::wire::FrameDecoder decoder;
    std::string payload;
    for (std::size_t offset = 0; offset < size; offset += piece) {
        decoder.feed(bytes + offset, std::min(piece, size - offset));
        tlv::wire::FrameStatus status;
        while ((status = decoder.next(payload)) == tlv::wire::FrameStatus::Frame) {
            if (payload.size() > tlv::wire::kMaxFrameBytes) {
                std::abort();
            }
            tlv::wire::ClientFrame frame;
            if (tlv::wire::parseFrame(payload, frame)) {
                checkRoundTrip(frame);
            }
        }
        if (status == tlv::wire::FrameStatus::Oversized) {
            return 0;
        }
    }
    return 0;
}

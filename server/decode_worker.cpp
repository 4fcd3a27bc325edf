#include "server/decode_worker.h"

#include <memory>

#include "s100/wire/frame.h"

namespace tlv::server {

void DecodeWorker::decode(std::string payload, asio::any_io_executor back, Done done) {
    asio::post(m_thread, [payload = std::move(payload), back = std::move(back),
                          done = std::move(done)]() mutable {
        auto frame = std::make_shared<tlv::wire::ClientFrame>();
        const bool parsed = tlv::wire::parseFrame(payload, *frame);
        payload = std::string{};
        asio::post(back, [frame, parsed, done = std::move(done)] { done(parsed, *frame); });
    });
}

}  // namespace tlv::server

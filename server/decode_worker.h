#pragma once
// Decodes large frames on a thread of its own, so that parsing a frame of many megabytes never
// holds up the event loop that serves every other client. One frame at a time: the memory a
// decode costs (frame_budget.h) is spent once, not once per client.

#include <asio.hpp>
#include <functional>
#include <string>

#include "s100/proto/admin.pb.h"

namespace tlv::server {

class DecodeWorker final {
public:
    using Done = std::function<void(bool parsed, tlv::wire::ClientFrame& frame)>;

    DecodeWorker() : m_thread(1) {}
    DecodeWorker(const DecodeWorker&) = delete;
    DecodeWorker& operator=(const DecodeWorker&) = delete;

    // Parses payload aside; done runs on back (the event loop) with the outcome.
    void decode(std::string payload, asio::any_io_executor back, Done done);

private:
    asio::thread_pool m_thread;
};

}  // namespace tlv::server

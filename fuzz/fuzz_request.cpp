// Decodes arbitrary bytes as a stream of ClientFrames and lets the server's administrative
// handler answer every request over a fresh in-memory store, as a client session would. Each
// answer must carry the request's id and fit in a frame.
//
// StartService and SetTargetServerLevel are decoded but not answered: they would start
// executables named by the fuzzer's bytes.
#include <asio.hpp>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "s100/proto/admin.pb.h"
#include "s100/wire/frame.h"
#include "server/admin_handler.h"
#include "server/kvset_check.h"
#include "server/profile_store.h"
#include "server/server_level.h"
#include "server/service_table.h"
#include "server/supervisor.h"

namespace {

using tlv::wire::Request;

bool startsProcesses(const Request& request) {
    return request.call_case() == Request::kStartService ||
           request.call_case() == Request::kSetTargetServerLevel;
}

struct Server {
    asio::io_context io;
    std::unique_ptr<tlv::server::ProfileStore> store;
    std::unique_ptr<tlv::server::ServiceSupervisor> supervisor;
    std::unique_ptr<tlv::server::ServiceTable> services;
    std::unique_ptr<tlv::server::ServerLevel> level;
    std::unique_ptr<tlv::server::AdminHandler> handler;

    Server() {
        std::string error;
        store = tlv::server::ProfileStore::open("", error);
        if (!store) {
            std::abort();
        }
        supervisor = std::make_unique<tlv::server::ServiceSupervisor>(io, "/dev/null");
        services = std::make_unique<tlv::server::ServiceTable>(*store, *supervisor);
        level = std::make_unique<tlv::server::ServerLevel>(*store, *services);
        handler = std::make_unique<tlv::server::AdminHandler>(
            *store, *services, *level,
            std::vector<tlv::server::ServiceProvider>{{"SP_Fuzz", true}});
    }
};

void answer(Server& server, const Request& request) {
    if (request.has_add_profile()) {
        tlv::server::checkIncomingKvSet(request.add_profile().contents());
    }
    if (startsProcesses(request)) {
        return;
    }
    // A store in memory answers at once, every part an encoded frame of the request's id.
    const std::unique_ptr<tlv::server::AnswerSource> source = server.handler->answer(request);
    bool more = true;
    while (more) {
        more = false;
        bool produced = false;
        source->next([&](std::string frame, bool partsFollow) {
            tlv::wire::FrameDecoder decoder;
            decoder.feed(frame.data(), frame.size());
            std::string payload;
            tlv::wire::ServerFrame reply;
            if (decoder.next(payload) != tlv::wire::FrameStatus::Frame ||
                !reply.ParseFromString(payload) || reply.response().id() != request.id()) {
                std::abort();
            }
            produced = true;
            more = partsFollow;
        });
        if (!produced) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tlv::wire::FrameDecoder decoder;
    decoder.feed(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<Server> server;
    std::string payload;
    while (decoder.next(payload) == tlv::wire::FrameStatus::Frame) {
        tlv::wire::ClientFrame frame;
        if (!tlv::wire::parseFrame(payload, frame)) {
            return 0;  // the session drops the client here
        }
        if (!frame.has_request()) {
            continue;
        }
        if (!server) {
            server = std::make_unique<Server>();
        }
        answer(*server, frame.request());
    }
    return 0;
}

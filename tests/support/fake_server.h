#pragma once
// A scripted peer on 127.0.0.1 that plays the server's side of the protocol: it accepts one
// client, shakes TLS hands with the key it holds (the test key unless told), decodes each frame
// the client sends inside TLS and answers with whatever bytes the script returns for it
// (possibly none, possibly garbage). It never waits longer than a few seconds.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "s100/proto/admin.pb.h"

namespace tlv::test {

class FakeServer final {
public:
    // Bytes to send back for one frame the client sent.
    using Script = std::function<std::string(const tlv::wire::ClientFrame&)>;

    // key: the admin key it holds; "" for the test key.
    explicit FakeServer(Script script, std::string key = {});
    ~FakeServer();
    FakeServer(const FakeServer&) = delete;
    FakeServer& operator=(const FakeServer&) = delete;

    std::uint16_t port() const { return m_port; }

    // A framed ServerFrame.
    static std::string frame(const tlv::wire::ServerFrame& message);
    // The framed HelloReply of a server that speaks version.
    static std::string helloReply(bool accepted, std::uint32_t version);
    // A script that answers the Hello properly and every request with answer(request).
    static Script afterHandshake(std::function<std::string(const tlv::wire::Request&)> answer);

private:
    void serve();
    void converse(int client);

    Script m_script;
    std::string m_key;
    int m_listener = -1;
    std::uint16_t m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

}  // namespace tlv::test

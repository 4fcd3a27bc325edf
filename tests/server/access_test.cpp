// Who gets an answer from tlvsd: only holders of its admin key, and never fewer of them because
// of a crowd of connections that do not hold it or sit idle.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "s100/wire/admin_key.h"
#include "s100/wire/frame.h"
#include "tests/registry/child_process.h"
#include "tests/server/admin_calls.h"
#include "tests/server/raw_socket.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {
namespace {

using namespace std::chrono_literals;

tlv::wire::ClientFrame keyProof(const std::string& proof) {
    tlv::wire::ClientFrame frame;
    frame.mutable_key_proof()->set_client_proof(proof);
    return frame;
}

tlv::wire::ClientFrame levelRequestFrame() {
    tlv::wire::ClientFrame frame;
    frame.mutable_request()->set_id(1);
    frame.mutable_request()->mutable_get_server_level();
    return frame;
}

// Sends a Hello and checks the server's proof; the nonces of both sides come back.
bool helloWithProvedServer(const RawSocket& socket, std::string& clientNonce,
                           std::string& serverNonce) {
    tlv::wire::ServerFrame reply;
    if (!socket.send(helloBytes(tlv::wire::kProtocolVersion, &clientNonce)) ||
        !socket.receive(reply) || !reply.hello().accepted()) {
        return false;
    }
    serverNonce = reply.hello().server_nonce();
    return tlv::wire::proofMatches(
        tlv::wire::serverKeyProof(testAdminKey(), clientNonce, serverNonce),
        reply.hello().server_proof());
}

TEST(AdminKey, OnlyAClientThatProvesTheKeyIsAnswered) {
    TlvsdProcess server;
    ASSERT_TRUE(server.start({}));
    std::string clientNonce;
    std::string serverNonce;

    RawSocket eager{server.port()};
    ASSERT_TRUE(helloWithProvedServer(eager, clientNonce, serverNonce));
    ASSERT_TRUE(eager.send(levelRequestFrame()));
    tlv::wire::ServerFrame reply;
    EXPECT_FALSE(eager.receive(reply)) << "no answer before the proof";
    EXPECT_TRUE(eager.closedByPeer());

    RawSocket wrong{server.port()};
    ASSERT_TRUE(helloWithProvedServer(wrong, clientNonce, serverNonce));
    const std::string otherKey(tlv::wire::kAdminKeyBytes, 'x');
    ASSERT_TRUE(wrong.send(keyProof(tlv::wire::clientKeyProof(otherKey, clientNonce, serverNonce))));
    ASSERT_TRUE(wrong.receive(reply));
    EXPECT_FALSE(reply.key_verdict().accepted());
    EXPECT_TRUE(wrong.closedByPeer());

    RawSocket replayed{server.port()};  // the server's own proof played back is no proof
    std::string serverProof;
    ASSERT_TRUE(replayed.send(helloBytes(tlv::wire::kProtocolVersion, &clientNonce)));
    ASSERT_TRUE(replayed.receive(reply));
    ASSERT_TRUE(replayed.send(keyProof(reply.hello().server_proof())));
    ASSERT_TRUE(replayed.receive(reply));
    EXPECT_FALSE(reply.key_verdict().accepted());

    RawSocket holder{server.port()};
    ASSERT_TRUE(helloWithProvedServer(holder, clientNonce, serverNonce));
    ASSERT_TRUE(
        holder.send(keyProof(tlv::wire::clientKeyProof(testAdminKey(), clientNonce, serverNonce))));
    ASSERT_TRUE(holder.receive(reply));
    EXPECT_TRUE(reply.key_verdict().accepted());
    ASSERT_TRUE(holder.send(levelRequestFrame()));
    ASSERT_TRUE(holder.receive(reply));
    EXPECT_EQ(reply.response().level(), 1);
}

TEST(AdminKey, KeptInTheDataFolderPrivateAndRefusedWhenOthersCanReadIt) {
    TempDir data;
    const std::string keyFile = data.path() + "/admin.key";
    // The key is made before the address is tried: this start fails only at the address.
    ProcessResult first =
        RunProcess({tlvsdPath(), "--listen", "999.0.0.1:0", "--data", data.path()}, data.path());
    EXPECT_EQ(first.exitCode, 1) << first.err;
    struct stat info {};
    ASSERT_EQ(stat(keyFile.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::string key;
    std::string problem;
    ASSERT_TRUE(tlv::wire::readAdminKeyFile(keyFile, key, problem)) << problem;

    // A later start keeps the key: a client holding it gets in.
    TlvsdProcess server;
    ASSERT_TRUE(server.start({"--data", data.path(), "--key", keyFile}));
    tlv::wire::ClientConnection client{2s};
    ASSERT_EQ(client.connect("127.0.0.1", server.port()), CTerr_NoError);
    EXPECT_EQ(client.handshake("test", key), CTerr_NoError);
    EXPECT_EQ(server.terminate(), 0);
    std::string again;
    ASSERT_TRUE(tlv::wire::readAdminKeyFile(keyFile, again, problem)) << problem;
    EXPECT_EQ(again, key);

    chmod(keyFile.c_str(), 0640);
    ProcessResult refused =
        RunProcess({tlvsdPath(), "--listen", "127.0.0.1:0", "--data", data.path()}, data.path());
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find(keyFile + ": group or others may access it"), std::string::npos)
        << refused.err;

    ProcessResult missing = RunProcess(
        {tlvsdPath(), "--listen", "127.0.0.1:0", "--key", data.path() + "/none.key"}, data.path());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("none.key"), std::string::npos) << missing.err;

    ProcessResult noKey = RunProcess({tlvsdPath(), "--listen", "127.0.0.1:0"}, data.path());
    EXPECT_EQ(noKey.exitCode, 2);
    EXPECT_NE(noKey.err.find("--key FILE"), std::string::npos) << noKey.err;
}

TEST(AdminKey, HandshakeFramesAreSmallAndTheHandshakeHasFiveSeconds) {
    TlvsdProcess server;
    ASSERT_TRUE(server.start({}));
    RawSocket big{server.port()};
    tlv::wire::ClientFrame hello;
    hello.mutable_hello()->set_protocol_version(tlv::wire::kProtocolVersion);
    hello.mutable_hello()->set_client_name(std::string(5000, 'n'));
    ASSERT_TRUE(big.send(hello));
    EXPECT_TRUE(big.closedByPeer());

    RawSocket silent{server.port()};
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(silent.closedByPeer(8));
    EXPECT_GE(std::chrono::steady_clock::now() - started, 4s);
}

TEST(ConnectionLimits, ACrowdOfSilentOrIdleConnectionsNeverKeepsAKeyHolderOut) {
    TlvsdProcess server;
    ASSERT_TRUE(server.start({}));
    std::vector<std::unique_ptr<tlv::wire::ClientConnection>> idle;
    for (int i = 0; i < 260; ++i) {
        auto connection = server.connect(2s);
        ASSERT_NE(connection, nullptr) << "connection " << i;
        idle.push_back(std::move(connection));
    }
    std::vector<std::unique_ptr<RawSocket>> silent;
    for (int i = 0; i < 300; ++i) {
        silent.push_back(std::make_unique<RawSocket>(server.port()));
        ASSERT_TRUE(silent.back()->connected());
    }
    auto operatorConnection = server.connect(1s);
    ASSERT_NE(operatorConnection, nullptr);
    tlv::wire::Response response;
    EXPECT_EQ(call(*operatorConnection, getServerLevel(), &response), CTerr_NoError);
    EXPECT_EQ(response.level(), 1);
}

TEST(ConnectionLimits, WithoutDescriptorsTheOldestSilentConnectionMakesRoom) {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizers' own checks open a pipe; without descriptors they report a fault that is
    // not there and stop tlvsd.
    GTEST_SKIP() << "tlvsd cannot run out of descriptors under the sanitizers";
#endif
    TlvsdProcess server;
    ASSERT_TRUE(server.start({}));
    const rlimit few{32, 32};
    ASSERT_EQ(prlimit(server.pid(), RLIMIT_NOFILE, &few, nullptr), 0);
    std::vector<std::unique_ptr<RawSocket>> silent;
    for (int i = 0; i < 60; ++i) {
        silent.push_back(std::make_unique<RawSocket>(server.port()));
        ASSERT_TRUE(silent.back()->connected());
    }
    auto operatorConnection = server.connect(2s);
    ASSERT_NE(operatorConnection, nullptr);
    EXPECT_EQ(call(*operatorConnection, getServerLevel()), CTerr_NoError);
}

TEST(ConnectionLimits, AFramePackedWithEmptyElementsIsRefusedBeforeItIsDecoded) {
    TlvsdProcess server;
    ASSERT_TRUE(server.start({}));
    auto hostile = server.connect();
    auto other = server.connect();
    ASSERT_NE(hostile, nullptr);
    ASSERT_NE(other, nullptr);
    tlv::wire::Request request;
    tlv::wire::KVSet& contents = *request.mutable_add_profile()->mutable_contents();
    tlv::wire::Array& array = *contents.add_pairs()->mutable_value()->mutable_array_value();
    for (int i = 0; i < 200000; ++i) {
        array.add_elements();
    }
    EXPECT_EQ(call(*hostile, request), CTerr_ConnectionLost);
    EXPECT_EQ(call(*other, getServerLevel()), CTerr_NoError);

    // A large legal set of the same count is decoded (aside from the loop) and stored whole.
    tlv::wire::KVSet large;
    tlv::wire::Pair& pair = *large.add_pairs();
    pair.set_key(KEY_Resources);
    tlv::wire::Array& resources = *pair.mutable_value()->mutable_array_value();
    resources.set_element_type(tlv::wire::VALUE_TYPE_STRING);
    for (int i = 0; i < 200000; ++i) {
        resources.add_elements()->set_string_value("R" + std::to_string(i));
    }
    ASSERT_EQ(call(*other, addProfile("Large", "Application", large)), CTerr_NoError);
    tlv::wire::Response response;
    ASSERT_EQ(call(*other, getProfileInfo("Large", "Application", true), &response),
              CTerr_NoError);
    EXPECT_NE(response.result().ByteSizeLong(), 0u);
    EXPECT_NE(response.SerializeAsString().find("R199999"), std::string::npos);
}

}  // namespace
}  // namespace tlv::test

// Lost servers, injected faults, deadlines, hostile peers and many clients at once.
#include <stdlib.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "s100/proto/kvset.pb.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/fake_server.h"

namespace tlv::e2e {
namespace {

using tlv::test::FakeServer;

using Strings = std::vector<std::string>;

CTerror levelCall(CTsession session) {
    Record record;
    std::int32_t level = 0;
    return outcome(CTadm_GetServerLevel(session, &level, record.get(), nullptr), record);
}

CTerror servicesCall(CTsession session) {
    Record record;
    KvSet ignored;
    return outcome(CTadm_GetServiceState(session, "", ignored.get(), record.get(), nullptr),
                   record);
}

CTerror addProfile(CTsession session, const std::string& name) {
    Record record;
    return outcome(
        CTadm_AddProfile(session, name.c_str(), "Application", CT_kvsEmpty, record.get(), nullptr),
        record);
}

Strings profileNames(CTsession session) {
    Record record;
    KvSet ignored;
    EXPECT_EQ(
        outcome(CTadm_GetProfileInfo(session, nullptr, "", 0, ignored.get(), record.get(), nullptr),
                record),
        CTerr_NoError);
    return stringArray(record.results(), KEY_ProfileNames);
}

// Sets TLV_CALL_TIMEOUT_MS for the sessions opened while it lives.
class CallTimeout final {
public:
    explicit CallTimeout(const char* milliseconds) {
        setenv("TLV_CALL_TIMEOUT_MS", milliseconds, 1);
    }
    ~CallTimeout() { unsetenv("TLV_CALL_TIMEOUT_MS"); }
    CallTimeout(const CallTimeout&) = delete;
    CallTimeout& operator=(const CallTimeout&) = delete;
};

using FaultsTest = ServerTest;

TEST_F(FaultsTest, AKilledServerLosesTheSessionForGoodWhileItsDataSurvives) {
    ASSERT_EQ(addProfile(m_session, "Kept"), CTerr_NoError);
    m_server.kill();
    EXPECT_EQ(levelCall(m_session), CTerr_ConnectionLost);
    ASSERT_TRUE(m_server.restart());
    m_table.setEntry(kEntryName, "tcp:127.0.0.1:" + std::to_string(m_server.port()));
    EXPECT_EQ(levelCall(m_session), CTerr_ConnectionLost) << "no reconnect";
    EXPECT_EQ(addProfile(m_session, "Later"), CTerr_ConnectionLost);

    CTsession fresh = 0;
    ASSERT_EQ(openSession(kEntryName, fresh), CTerr_NoError);
    EXPECT_EQ(profileNames(fresh), Strings{"Kept"});
    Record record;
    EXPECT_EQ(CTses_Destroy(fresh, CT_kvsEmpty, record.get(), nullptr), CT_SUCCESS);
}

TEST_F(FaultsTest, InjectedFailuresArriveAsTheirCodes) {
    startServer({"--fail", "AddProfile=0x01600416x1", "--fail", "GetServerLevel=0x01600436"});
    EXPECT_EQ(addProfile(m_session, "First"), CTerr_StoreFailed);
    EXPECT_EQ(addProfile(m_session, "First"), CTerr_NoError);
    EXPECT_EQ(levelCall(m_session), CTerr_NotFound);
    EXPECT_EQ(profileNames(m_session), Strings{"First"}) << "the session still works";
}

TEST_F(FaultsTest, AnAnswerPastTheDeadlineIsALostConnection) {
    const CallTimeout timeout("300");
    startServer({"--delay", "GetServerLevel=1500"});
    EXPECT_EQ(levelCall(m_session), CTerr_ConnectionLost);
    EXPECT_EQ(servicesCall(m_session), CTerr_ConnectionLost)
        << "not delayed, but the session is lost";
}

TEST_F(FaultsTest, TwentyClientsAtOnceEachWithItsOwnSession) {
    constexpr int kClients = 20;
    std::atomic<int> succeeded{0};
    std::vector<std::thread> clients;
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([i, &succeeded] {
            CTsession session = 0;
            if (openSession(kEntryName, session) != CTerr_NoError) {
                return;
            }
            const bool ok = addProfile(session, "Client" + std::to_string(i)) == CTerr_NoError &&
                            levelCall(session) == CTerr_NoError;
            Record record;
            const bool closed =
                CTses_Destroy(session, CT_kvsEmpty, record.get(), nullptr) == CT_SUCCESS;
            if (ok && closed) {
                ++succeeded;
            }
        });
    }
    for (std::thread& client : clients) {
        client.join();
    }
    EXPECT_EQ(succeeded, kClients);
    EXPECT_EQ(profileNames(m_session).size(), static_cast<std::size_t>(kClients));
}

// A session to a scripted peer that answers every request with answer(request).
class HostilePeerTest : public ::testing::Test {
protected:
    CTsession openTo(const FakeServer& peer) {
        m_table.setEntry("Fake", "tcp:127.0.0.1:" + std::to_string(peer.port()));
        CTsession session = 0;
        EXPECT_EQ(openSession("Fake", session), CTerr_NoError);
        return session;
    }
    static void expectLostForGood(CTsession session) {
        EXPECT_EQ(levelCall(session), CTerr_ConnectionLost);
        EXPECT_EQ(levelCall(session), CTerr_ConnectionLost);
        Record record;
        EXPECT_EQ(CTses_Destroy(session, CT_kvsEmpty, record.get(), nullptr), CT_SUCCESS);
    }
    static std::string response(const tlv::wire::Request& request,
                                const tlv::wire::KVSet& result = {}) {
        tlv::wire::ServerFrame frame;
        frame.mutable_response()->set_id(request.id());
        frame.mutable_response()->set_error(CTerr_NoError);
        *frame.mutable_response()->mutable_result() = result;
        return FakeServer::frame(frame);
    }

    ServerTable m_table;
};

TEST_F(HostilePeerTest, GarbageInAFrameLosesTheConnection) {
    FakeServer peer(FakeServer::afterHandshake(
        [](const tlv::wire::Request&) { return std::string("\0\0\0\4\xff\xff\xff\xff", 8); }));
    expectLostForGood(openTo(peer));
}

TEST_F(HostilePeerTest, AnOversizedLengthLosesTheConnection) {
    FakeServer peer(FakeServer::afterHandshake(
        [](const tlv::wire::Request&) { return std::string("\x7f\xff\xff\xff", 4); }));
    expectLostForGood(openTo(peer));
}

TEST_F(HostilePeerTest, AnAnswerToAnotherRequestLosesTheConnection) {
    FakeServer peer(FakeServer::afterHandshake([](const tlv::wire::Request& request) {
        tlv::wire::Request other = request;
        other.set_id(request.id() + 7);
        return response(other);
    }));
    expectLostForGood(openTo(peer));
}

TEST_F(HostilePeerTest, AnAnswerWithoutAnOutcomeLosesTheConnection) {
    FakeServer peer(FakeServer::afterHandshake([](const tlv::wire::Request& request) {
        tlv::wire::ServerFrame frame;
        frame.mutable_response()->set_id(request.id());
        return FakeServer::frame(frame);
    }));
    expectLostForGood(openTo(peer));
}

TEST_F(HostilePeerTest, AResultSetNoCallCouldBuildLosesTheConnection) {
    FakeServer peer(FakeServer::afterHandshake([](const tlv::wire::Request& request) {
        tlv::wire::KVSet result;
        auto* pair = result.add_pairs();
        pair->set_key(KEY_ProfileNames);
        auto* array = pair->mutable_value()->mutable_array_value();
        array->set_element_type(tlv::wire::VALUE_TYPE_STRING);
        array->add_elements()->set_string_value("Main");
        array->add_elements()->set_int_value(3);  // a second element type
        return response(request, result);
    }));
    const CTsession session = openTo(peer);
    Record record;
    KvSet ignored;
    EXPECT_EQ(
        outcome(CTadm_GetProfileInfo(session, "", "", 0, ignored.get(), record.get(), nullptr),
                record),
        CTerr_ConnectionLost);
    CTkvs names = 0;
    EXPECT_EQ(CTkvs_GetKVSet(record.results(), KEY_ProfileNames, &names, nullptr), CT_FAILURE)
        << "nothing of the bad answer reaches the record";
    expectLostForGood(session);
}

TEST_F(HostilePeerTest, SilenceUntilTheDeadlineLosesTheConnection) {
    const CallTimeout timeout("300");
    FakeServer peer(
        FakeServer::afterHandshake([](const tlv::wire::Request&) { return std::string(); }));
    expectLostForGood(openTo(peer));
}

}  // namespace
}  // namespace tlv::e2e

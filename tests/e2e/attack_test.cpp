// An attacker on the path between the library and tlvsd: a relay that reads what passes, or
// flips, drops, replays or injects bytes after the handshake. Every change ends the call and the
// connection, nothing it carried is stored or run, and nothing readable passes.
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "s100/proto/admin.pb.h"
#include "s100/wire/frame.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/relay_proxy.h"

namespace tlv::e2e {
namespace {

using namespace std::chrono_literals;
using tlv::test::RelayProxy;
using Direction = RelayProxy::Direction;

constexpr const char* kDirect = "Direct";
constexpr const char* kRelayed = "Relayed";

// A call left waiting by a dropped request gives up after a second.
class ShortCalls final {
public:
    ShortCalls() { setenv("TLV_CALL_TIMEOUT_MS", "1000", 1); }
    ~ShortCalls() { unsetenv("TLV_CALL_TIMEOUT_MS"); }
    ShortCalls(const ShortCalls&) = delete;
    ShortCalls& operator=(const ShortCalls&) = delete;
};

// A session closed on every way out.
class Session final {
public:
    explicit Session(const char* entry) { m_error = openSession(entry, m_handle); }
    ~Session() {
        Record record;
        if (m_handle != 0) {
            CTses_Destroy(m_handle, CT_kvsEmpty, record.get(), nullptr);
        }
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    CTerror error() const { return m_error; }
    CTsession get() const { return m_handle; }

private:
    CTsession m_handle = 0;
    CTerror m_error = CTerr_NoError;
};

CTerror levelCall(CTsession session) {
    Record record;
    std::int32_t level = 0;
    return outcome(CTadm_GetServerLevel(session, &level, record.get(), nullptr), record);
}

CTerror addProfile(CTsession session, const char* name) {
    Record record;
    return outcome(
        CTadm_AddProfile(session, name, "Application", CT_kvsEmpty, record.get(), nullptr),
        record);
}

CTerror removeProfile(CTsession session, const char* name) {
    Record record;
    return outcome(CTadm_RemoveProfile(session, name, "Application", record.get(), nullptr),
                   record);
}

std::vector<std::string> profileNames(CTsession session) {
    Record record;
    KvSet ignored;
    if (outcome(CTadm_GetProfileInfo(session, "", "", 0, ignored.get(), record.get(), nullptr),
                record) != CTerr_NoError) {
        return {};
    }
    return stringArray(record.results(), KEY_ProfileNames);
}

std::vector<std::string> serviceNames(CTsession session) {
    Record record;
    KvSet ignored;
    const CTerror error = outcome(
        CTadm_GetServiceState(session, "", ignored.get(), record.get(), nullptr), record);
    return error == CTerr_NoError ? stringArray(record.results(), KEY_ServiceNames)
                                  : std::vector<std::string>{};
}

// A service whose only effect is the marker file its program creates.
void fillMarkerService(const KvSet& set, const std::string& marker) {
    const std::string commandLine = std::string(SERVICE_HELPER) + " --pid-file " + marker;
    ASSERT_EQ(CTkvs_PutSymbol(set.get(), SVC_Kind, SVC_KindExecutable, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutString(set.get(), SVC_CommandLine, commandLine.c_str(), nullptr),
              CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutSymbol(set.get(), SVC_StartType, SVC_Optional, nullptr), CT_SUCCESS);
}

// The frames an attacker would inject in clear: add the marker service, then start it.
std::string markerFramesInClear(const std::string& name, const std::string& marker) {
    tlv::wire::ClientFrame add;
    add.mutable_request()->set_id(7);
    tlv::wire::ServiceWrite& write = *add.mutable_request()->mutable_add_service();
    write.set_name(name);
    tlv::wire::Pair& kind = *write.mutable_definition()->add_pairs();
    kind.set_key(SVC_Kind);
    kind.mutable_value()->set_symbol_value(SVC_KindExecutable);
    tlv::wire::Pair& command = *write.mutable_definition()->add_pairs();
    command.set_key(SVC_CommandLine);
    command.mutable_value()->set_string_value(std::string(SERVICE_HELPER) + " --pid-file " +
                                              marker);
    tlv::wire::ClientFrame start;
    start.mutable_request()->set_id(8);
    start.mutable_request()->mutable_start_service()->set_name(name);
    std::string bytes;
    tlv::wire::encodeFrame(add, bytes);
    tlv::wire::encodeFrame(start, bytes);
    return bytes;
}

bool appears(const std::string& path, std::chrono::milliseconds within) {
    return tlv::test::waitUntil([&] { return access(path.c_str(), F_OK) == 0; }, within);
}

class AttackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.start({"--data", m_data.path()}));
        m_table.setEntry(kDirect, "tcp:127.0.0.1:" + std::to_string(m_server.port()));
    }

    // A relay to port (the server's unless given) whose hook sees the client's bytes, named by
    // the entry kRelayed.
    std::unique_ptr<RelayProxy> relayTo(
        const std::function<void(std::string& chunk)>& onClientBytes, std::uint16_t port = 0) {
        RelayProxy::Options options;
        options.tamper = [onClientBytes](int, Direction direction, std::uint64_t,
                                         std::string& chunk) {
            if (direction == Direction::ToServer) {
                onClientBytes(chunk);
            }
        };
        auto relay = std::make_unique<RelayProxy>(port != 0 ? port : m_server.port(), options);
        m_table.setEntry(kRelayed, "tcp:127.0.0.1:" + std::to_string(relay->port()));
        return relay;
    }

    std::string file(const std::string& name) const { return m_files.path() + "/" + name; }

    ServerTable m_table;
    tlv::test::TempDir m_data;
    tlv::test::TempDir m_files;
    tlv::test::TlvsdProcess m_server;
};

// What the relay did to "Sales"'s removal once was enough to remove "Support" instead.
TEST_F(AttackTest, AFlippedDroppedReplayedOrInjectedRequestFailsAndChangesNothing) {
    const ShortCalls shortCalls;
    Session direct{kDirect};
    ASSERT_EQ(direct.error(), CTerr_NoError);
    ASSERT_EQ(addProfile(direct.get(), "Sales"), CTerr_NoError);
    ASSERT_EQ(addProfile(direct.get(), "Support"), CTerr_NoError);
    tlv::wire::ClientFrame otherRemoval;
    otherRemoval.mutable_request()->set_id(3);
    otherRemoval.mutable_request()->mutable_remove_profile()->set_name("Support");
    otherRemoval.mutable_request()->mutable_remove_profile()->set_profile_class("Application");
    std::string removalInClear;
    tlv::wire::encodeFrame(otherRemoval, removalInClear);

    const std::vector<std::pair<const char*, std::function<void(std::string&, const std::string&)>>>
        tampers{
            {"flip", [](std::string& chunk, const std::string&) { chunk[chunk.size() / 2] ^= 1; }},
            {"drop", [](std::string& chunk, const std::string&) { chunk.clear(); }},
            {"replay", [](std::string& chunk, const std::string& earlier) { chunk = earlier; }},
            {"inject", [&removalInClear](std::string& chunk,
                                         const std::string&) { chunk.insert(0, removalInClear); }},
        };
    for (const auto& [kind, tamper] : tampers) {
        std::atomic<bool> armed{false};
        std::string earlier;  // the client's last record before the relay was armed
        auto relay = relayTo([&, tamper = tamper](std::string& chunk) {
            if (armed.exchange(false)) {
                tamper(chunk, earlier);
            } else {
                earlier = chunk;
            }
        });
        Session relayed{kRelayed};
        ASSERT_EQ(relayed.error(), CTerr_NoError) << kind;
        ASSERT_EQ(levelCall(relayed.get()), CTerr_NoError) << kind;
        armed = true;
        EXPECT_EQ(removeProfile(relayed.get(), "Sales"), CTerr_ConnectionLost) << kind;
        EXPECT_EQ(levelCall(relayed.get()), CTerr_ConnectionLost) << kind << ": lost for good";
        EXPECT_EQ(profileNames(direct.get()), (std::vector<std::string>{"Sales", "Support"}))
            << kind;
    }
}

// A session recorded on its way to another server with the same key, replayed into a session
// of this one, and the same calls injected in clear: neither stores nor runs anything.
TEST_F(AttackTest, ServiceCallsReplayedFromAnotherSessionOrInjectedInClearNeverRun) {
    const ShortCalls shortCalls;
    const std::string marker = file("marker");
    tlv::test::TempDir otherData;
    tlv::test::TlvsdProcess other;
    ASSERT_TRUE(other.start({"--data", otherData.path()}));
    std::mutex recordedLock;
    std::string recorded;
    std::atomic<bool> recording{false};
    {
        auto relay = relayTo(
            [&](std::string& chunk) {
                if (recording) {
                    const std::lock_guard<std::mutex> hold(recordedLock);
                    recorded += chunk;
                }
            },
            other.port());
        Session there{kRelayed};
        ASSERT_EQ(there.error(), CTerr_NoError);
        KvSet definition;
        fillMarkerService(definition, marker);
        Record added;
        Record started;
        recording = true;
        ASSERT_EQ(outcome(CTadm_AddService(there.get(), "Marker", definition.get(), added.get(),
                                           nullptr),
                          added),
                  CTerr_NoError);
        ASSERT_EQ(outcome(CTadm_StartService(there.get(), "Marker", started.get(), nullptr),
                          started),
                  CTerr_NoError);
        recording = false;
        ASSERT_GT(recorded.size(), 100u);
        ASSERT_TRUE(appears(marker, 5s)) << "the recorded calls ran where they were meant to";
    }
    ASSERT_EQ(other.terminate(), 0);
    ASSERT_EQ(unlink(marker.c_str()), 0);

    const std::string injected = markerFramesInClear("Injected", marker);
    for (const std::string& bytes : {recorded, injected}) {
        std::atomic<bool> armed{false};
        auto relay = relayTo([&](std::string& chunk) {
            if (armed.exchange(false)) {
                chunk.insert(0, bytes);
            }
        });
        Session here{kRelayed};
        ASSERT_EQ(here.error(), CTerr_NoError);
        armed = true;
        EXPECT_EQ(levelCall(here.get()), CTerr_ConnectionLost);
    }
    EXPECT_FALSE(appears(marker, 1s));
    Session direct{kDirect};
    ASSERT_EQ(direct.error(), CTerr_NoError);
    EXPECT_EQ(serviceNames(direct.get()), std::vector<std::string>{});
}

// Everything the relay carries during an import and an export, both ways.
TEST_F(AttackTest, ACaptureOfAnImportAndExportHoldsNeitherTheProfilesNameNorItsContents) {
    constexpr const char* kName = "QuokkaOrchestraZanzibar";
    constexpr const char* kContents = "PelicanMarmalade7731";
    std::mutex capturedLock;
    std::string captured;
    RelayProxy::Options options;
    options.tamper = [&](int, Direction, std::uint64_t, std::string& chunk) {
        const std::lock_guard<std::mutex> hold(capturedLock);
        captured += chunk;
    };
    RelayProxy relay(m_server.port(), options);
    m_table.setEntry(kRelayed, "tcp:127.0.0.1:" + std::to_string(relay.port()));
    std::ofstream(file("in.ief")) << kName << " Application\n{ KEY_AsiName: \"" << kContents
                                  << "\" }\n";
    {
        Session relayed{kRelayed};
        ASSERT_EQ(relayed.error(), CTerr_NoError);
        Record imported;
        ASSERT_EQ(outcome(CTadm_ImportProfile(relayed.get(), file("in.ief").c_str(), kName,
                                              "Application", imported.get(), nullptr),
                          imported),
                  CTerr_NoError);
        Record exported;
        ASSERT_EQ(outcome(CTadm_ExportProfile(relayed.get(), file("out.ief").c_str(), kName,
                                              "Application", exported.get(), nullptr),
                          exported),
                  CTerr_NoError);
    }
    std::ifstream out(file("out.ief"));
    const std::string exported((std::istreambuf_iterator<char>(out)), {});
    ASSERT_NE(exported.find(kContents), std::string::npos) << "the export is whole";
    const std::lock_guard<std::mutex> hold(capturedLock);
    EXPECT_GT(captured.size(), 200u);
    EXPECT_EQ(captured.find(kName), std::string::npos);
    EXPECT_EQ(captured.find(kContents), std::string::npos);
    EXPECT_EQ(captured.find("Application"), std::string::npos);
}

}  // namespace
}  // namespace tlv::e2e

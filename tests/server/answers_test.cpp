// Large answers against a real tlvsd on a store file: contents are read part by part, from one
// snapshot, and clients that stop reading hold no more than the part they were sent.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/server/admin_calls.h"
#include "tests/server/server_client_test.h"
#include "tests/support/tls_test_client.h"

namespace tlv::test {
namespace {

using namespace std::chrono_literals;
using tlv::wire::Response;

constexpr int kProfiles = 40;

// Contents of about one MiB, told apart by the profile's number.
tlv::wire::KVSet megabyteSet(int number) {
    return stringSet(KEY_AsiName, std::string((1u << 20) - 100, static_cast<char>('a' + number % 26)));
}

std::string nameOf(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "P%03d", number);
    return name;
}

// tlvsd's resident memory in MiB, from /proc.
long residentMiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6)) / 1024;
        }
    }
    return -1;
}

class LargeAnswersTest : public ServerClientTest {
protected:
    void SetUp() override {
        ServerClientTest::SetUp();
        for (int i = 0; i < kProfiles; ++i) {
            ASSERT_EQ(call(*m_client, addProfile(nameOf(i), "Application", megabyteSet(i))),
                      CTerr_NoError);
        }
    }
};

TEST_F(LargeAnswersTest, PartsComeFromOneSnapshotWhileTheStoreChanges) {
    auto writer = m_server.connect();
    ASSERT_NE(writer, nullptr);
    auto request = getProfileInfo("", "", true);
    std::vector<std::string> names;
    std::vector<std::string> contents;
    int parts = 0;
    const CTerror sent = m_client->callInParts(request, [&](Response& part) {
        if (++parts == 1) {
            // Changes after the first part do not reach this answer.
            EXPECT_EQ(call(*writer, removeProfile(nameOf(kProfiles - 1), "Application")),
                      CTerr_NoError);
            EXPECT_EQ(call(*writer, addProfile("Later", "Application", megabyteSet(0))),
                      CTerr_NoError);
        }
        for (const std::string& name : strings(part.result(), KEY_ProfileNames)) {
            names.push_back(name);
        }
        for (const auto& element : part.result().pairs(2).value().array_value().elements()) {
            contents.push_back(element.kvset_value().pairs(0).value().string_value());
        }
        return true;
    });
    ASSERT_EQ(sent, CTerr_NoError);
    EXPECT_GT(parts, 5);
    ASSERT_EQ(names.size(), static_cast<std::size_t>(kProfiles));
    ASSERT_EQ(contents.size(), names.size());
    for (int i = 0; i < kProfiles; ++i) {
        EXPECT_EQ(names[i], nameOf(i));
        EXPECT_EQ(contents[i], megabyteSet(i).pairs(0).value().string_value()) << names[i];
    }
    // The next answer sees the changes.
    Response response;
    ASSERT_EQ(call(*m_client, getProfileInfo("", "", false), &response), CTerr_NoError);
    EXPECT_EQ(strings(response.result(), KEY_ProfileNames).back(), nameOf(kProfiles - 2));
    EXPECT_EQ(strings(response.result(), KEY_ProfileNames).front(), "Later");
}

TEST_F(LargeAnswersTest, ClientsThatStopReadingHoldOnePartAndOthersAreServed) {
    [[maybe_unused]] const long before = residentMiB(m_server.pid());
    // Four key holders ask for every profile with contents and never read.
    std::vector<std::unique_ptr<TlsTestClient>> stalled;
    tlv::wire::ClientFrame frame;
    *frame.mutable_request() = getProfileInfo("", "", true);
    frame.mutable_request()->set_id(1);
    for (int i = 0; i < 4; ++i) {
        stalled.push_back(std::make_unique<TlsTestClient>(
            m_server.port(), TlsTestClient::Options{.key = testAdminKey()}));
        ASSERT_TRUE(stalled.back()->open());
        ASSERT_TRUE(stalled.back()->send(frame));
    }
    std::this_thread::sleep_for(500ms);  // their first parts are written, the rest not read
    const auto asked = std::chrono::steady_clock::now();
    Response response;
    ASSERT_EQ(call(*m_client, getServerLevel(), &response), CTerr_NoError);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 5s);  // the figure is bench_tlvsd_limits
#if !defined(__SANITIZE_ADDRESS__)
    // Four whole answers would be 160 MiB; four parts of 4 MiB are not.
    EXPECT_LT(residentMiB(m_server.pid()) - before, 40) << "before: " << before << " MiB";
#endif
    // A client that reads gets the whole answer all the same.
    ASSERT_EQ(call(*m_client, getProfileInfo("", "", true), &response), CTerr_NoError);
    EXPECT_EQ(strings(response.result(), KEY_ProfileNames).size(),
              static_cast<std::size_t>(kProfiles));
}

}  // namespace
}  // namespace tlv::test

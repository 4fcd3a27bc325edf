// The demo data set, against a real tlvsd.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/server/admin_calls.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {
namespace {

using tlv::wire::Response;

std::vector<std::string> profileNames(tlv::wire::ClientConnection& client,
                                      const std::string& profileClass) {
    Response response;
    call(client, getProfileInfo("", profileClass, false), &response);
    return strings(response.result(), KEY_ProfileNames);
}

bool includes(const std::vector<std::string>& sortedNames, const std::vector<std::string>& wanted) {
    return std::includes(sortedNames.begin(), sortedNames.end(), wanted.begin(), wanted.end());
}

TEST(DemoSeed, FillsAnEmptyStoreWithProfilesServicesAndProviders) {
    TempDir data;
    TlvsdProcess server;
    ASSERT_TRUE(server.start({"--data", data.path(), "--seed", "demo"}));
    auto client = server.connect();
    ASSERT_NE(client, nullptr);
    // The seed grows with the demo; these are the ones this test relies on.
    EXPECT_TRUE(
        includes(profileNames(*client, "Application"), {"Default_Voice", "Fax_Inbound", "Sales"}));
    EXPECT_TRUE(includes(profileNames(*client, "TLVS_Service"),
                         {"Archiver", "CallRouter", "FaxGateway", "MediaManager", "Reporter",
                          "SpeechEngine", "VoiceMail"}));

    Response response;
    ASSERT_EQ(call(*client, getSPInfo(), &response), CTerr_NoError);
    EXPECT_EQ(strings(response.result(), KEY_SPNames),
              (std::vector<std::string>{"MediaBoard_0", "MediaBoard_1", "FaxBoard_0"}));
    EXPECT_EQ(bools(response.result(), KEY_SPAvailable), (std::vector<std::uint32_t>{1, 1, 0}));

    ASSERT_EQ(call(*client, setLevel(3)), CTerr_NoError);
    for (const char* name : {"CallRouter", "MediaManager", "Reporter", "SpeechEngine"}) {
        EXPECT_TRUE(waitForState(*client, name, SVC_StateRunning)) << name;
    }
    EXPECT_EQ(serviceState(*client, "FaxGateway"), SVC_StateFailed) << "its program is missing";
    EXPECT_TRUE(waitForState(*client, "VoiceMail", SVC_StateFailed)) << "its program fails";
    EXPECT_EQ(serviceState(*client, "Archiver"), SVC_StateIdle) << "disabled";
    EXPECT_EQ(server.terminate(), 0);
}

TEST(DemoSeed, RestartKeepsTheOperatorsChanges) {
    TempDir data;
    TlvsdProcess server;
    ASSERT_TRUE(server.start({"--data", data.path(), "--seed", "demo"}));
    auto client = server.connect();
    ASSERT_NE(client, nullptr);
    std::vector<std::string> expected = profileNames(*client, "Application");
    ASSERT_EQ(call(*client, removeProfile("Sales", "Application")), CTerr_NoError);
    std::erase(expected, "Sales");
    ASSERT_EQ(server.terminate(), 0);
    ASSERT_TRUE(server.restart());
    client = server.connect();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(profileNames(*client, "Application"), expected);
}

}  // namespace
}  // namespace tlv::test

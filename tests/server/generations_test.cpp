// List generations and answers in parts, against a real tlvsd.
#include <gtest/gtest.h>

#include "tests/server/admin_calls.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {
namespace {

using tlv::wire::Request;
using tlv::wire::Response;

Request knowing(Request request, std::uint64_t generation) {
    switch (request.call_case()) {
        case Request::kGetProfileInfo:
            request.mutable_get_profile_info()->set_known_generation(generation);
            break;
        case Request::kGetServiceState:
            request.mutable_get_service_state()->set_known_generation(generation);
            break;
        default:
            request.mutable_get_sp_info()->set_known_generation(generation);
            break;
    }
    return request;
}

class GenerationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.start({"--provider", "Board1=available"}));
        m_client = m_server.connect();
        ASSERT_NE(m_client, nullptr);
    }

    TlvsdProcess m_server;
    std::unique_ptr<tlv::wire::ClientConnection> m_client;
};

TEST_F(GenerationsTest, UnchangedListsComeBackEmptyUntilTheyChange) {
    ASSERT_EQ(call(*m_client, addProfile("a", "Application", stringSet(KEY_AsiName, "a"))),
              CTerr_NoError);
    Response first;
    ASSERT_EQ(call(*m_client, getProfileInfo("", "", false), &first), CTerr_NoError);
    ASSERT_NE(first.generation(), 0u);
    EXPECT_FALSE(first.unchanged());

    Response again;
    ASSERT_EQ(call(*m_client, knowing(getProfileInfo("", "", false), first.generation()), &again),
              CTerr_NoError);
    EXPECT_TRUE(again.unchanged());
    EXPECT_EQ(again.generation(), first.generation());
    EXPECT_EQ(again.result().pairs_size(), 0);

    // Another filter is another query: its generation never matches the first one's.
    Response filtered;
    ASSERT_EQ(call(*m_client, knowing(getProfileInfo("", "Application", false), first.generation()),
                   &filtered),
              CTerr_NoError);
    EXPECT_FALSE(filtered.unchanged());
    EXPECT_NE(filtered.generation(), first.generation());
    EXPECT_EQ(strings(filtered.result(), KEY_ProfileNames), std::vector<std::string>{"a"});

    // A change gives the full list under a new generation.
    ASSERT_EQ(call(*m_client, addProfile("b", "Application", stringSet(KEY_AsiName, "b"))),
              CTerr_NoError);
    EXPECT_EQ(call(*m_client, addProfile("b", "Application", stringSet(KEY_AsiName, "b"))),
              CTerr_Exists);
    Response changed;
    ASSERT_EQ(call(*m_client, knowing(getProfileInfo("", "", false), first.generation()), &changed),
              CTerr_NoError);
    EXPECT_FALSE(changed.unchanged());
    EXPECT_GT(changed.generation(), first.generation());
    EXPECT_EQ(strings(changed.result(), KEY_ProfileNames), (std::vector<std::string>{"a", "b"}));

    // With contents there is no generation and always the whole answer.
    Response contents;
    ASSERT_EQ(call(*m_client, knowing(getProfileInfo("", "", true), changed.generation()),
                   &contents),
              CTerr_NoError);
    EXPECT_FALSE(contents.unchanged());
    EXPECT_EQ(contents.generation(), 0u);
    EXPECT_EQ(contents.result().pairs_size(), 3);

    // Services and providers: unchanged while they stay the same; nothing found has no generation.
    for (const Request& request : {getServiceState(), getSPInfo()}) {
        Response full;
        const CTerror outcome = call(*m_client, request, &full);
        if (request.has_get_service_state()) {
            EXPECT_EQ(outcome, CTerr_NotFound);
            EXPECT_EQ(full.generation(), 0u);
            continue;
        }
        ASSERT_EQ(outcome, CTerr_NoError);
        Response same;
        ASSERT_EQ(call(*m_client, knowing(request, full.generation()), &same), CTerr_NoError);
        EXPECT_TRUE(same.unchanged());
    }
    ASSERT_EQ(call(*m_client, addService("Alpha", serviceDefinition({}))), CTerr_NoError);
    Response services;
    ASSERT_EQ(call(*m_client, getServiceState(), &services), CTerr_NoError);
    Response same;
    ASSERT_EQ(call(*m_client, knowing(getServiceState(), services.generation()), &same),
              CTerr_NoError);
    EXPECT_TRUE(same.unchanged());
    ASSERT_EQ(call(*m_client, startService("Alpha")), CTerr_NoError);
    ASSERT_TRUE(waitForState(*m_client, "Alpha", SVC_StateRunning));
    ASSERT_EQ(call(*m_client, knowing(getServiceState(), services.generation()), &same),
              CTerr_NoError);
    EXPECT_FALSE(same.unchanged()) << "a state change is a change of the list";
    EXPECT_EQ(symbols(same.result(), KEY_ServiceStates), std::vector<CTsymbol>{SVC_StateRunning});
}

// An answer larger than a frame arrives whole through the connection, in order.
TEST_F(GenerationsTest, AnswerLargerThanAFrameArrivesWholeInOrder) {
    const std::string filler(900 * 1024, 'f');
    constexpr int kProfiles = 80;
    for (int i = 0; i < kProfiles; ++i) {
        ASSERT_EQ(call(*m_client, addProfile("P" + std::to_string(100 + i), "Application",
                                             stringSet(KEY_AsiName, filler))),
                  CTerr_NoError);
    }
    Response response;
    ASSERT_EQ(call(*m_client, getProfileInfo("", "", true), &response), CTerr_NoError);
    EXPECT_FALSE(response.more());
    const std::vector<std::string> names = strings(response.result(), KEY_ProfileNames);
    ASSERT_EQ(names.size(), static_cast<std::size_t>(kProfiles));
    for (int i = 0; i < kProfiles; ++i)
        EXPECT_EQ(names[static_cast<std::size_t>(i)], "P" + std::to_string(100 + i));
    const auto& contents = response.result().pairs(2).value().array_value();
    ASSERT_EQ(contents.elements_size(), kProfiles);
    EXPECT_EQ(contents.elements(kProfiles - 1).kvset_value().pairs(0).value().string_value(),
              filler);
    // The connection goes on after the parts.
    EXPECT_EQ(call(*m_client, getServerLevel()), CTerr_NoError);
}

}  // namespace
}  // namespace tlv::test

// Profile calls and the store, against a real tlvsd.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "s100/kvs/wire.h"
#include "tests/server/admin_calls.h"
#include "tests/server/server_client_test.h"

namespace tlv::test {
namespace {

using tlv::wire::Response;

class ProfilesTest : public ServerClientTest {
protected:
    void reconnect() {
        m_client = m_server.connect();
        ASSERT_NE(m_client, nullptr);
    }
};

TEST_F(ProfilesTest, ListIsSortedByNameThenClassAndFiltersApply) {
    Response response;
    EXPECT_EQ(call(*m_client, getProfileInfo("", "", false), &response), CTerr_NotFound);

    for (const auto& [name, profileClass] : std::vector<std::pair<std::string, std::string>>{
             {"b", "Application"}, {"a", "Routing"}, {"B", "Application"}, {"a", "Application"}}) {
        ASSERT_EQ(call(*m_client, addProfile(name, profileClass, stringSet(KEY_AsiName, name))),
                  CTerr_NoError);
    }
    ASSERT_EQ(call(*m_client, getProfileInfo("", "", false), &response), CTerr_NoError);
    EXPECT_EQ(strings(response.result(), KEY_ProfileNames),
              (std::vector<std::string>{"B", "a", "a", "b"}));
    EXPECT_EQ(strings(response.result(), KEY_ProfileClasses),
              (std::vector<std::string>{"Application", "Application", "Routing", "Application"}));
    EXPECT_EQ(response.result().pairs_size(), 2) << "no contents without the flag";

    ASSERT_EQ(call(*m_client, getProfileInfo("a", "", true), &response), CTerr_NoError);
    EXPECT_EQ(strings(response.result(), KEY_ProfileClasses),
              (std::vector<std::string>{"Application", "Routing"}));
    ASSERT_EQ(response.result().pairs_size(), 3);
    const auto& contents = response.result().pairs(2);
    EXPECT_EQ(contents.key(), KEY_ProfileContents);
    ASSERT_EQ(contents.value().array_value().elements_size(), 2);
    EXPECT_EQ(
        contents.value().array_value().elements(0).kvset_value().pairs(0).value().string_value(),
        "a");

    ASSERT_EQ(call(*m_client, getProfileInfo("", "Application", false), &response), CTerr_NoError);
    EXPECT_EQ(strings(response.result(), KEY_ProfileNames),
              (std::vector<std::string>{"B", "a", "b"}));
    EXPECT_EQ(call(*m_client, getProfileInfo("zz", "", false)), CTerr_NotFound);
    EXPECT_EQ(call(*m_client, getProfileInfo("a", "Nothing", false)), CTerr_NotFound);
}

TEST_F(ProfilesTest, AddUpdateRemoveAnswerTheirCodes) {
    const auto contents = stringSet(KEY_AsiName, "one");
    EXPECT_EQ(call(*m_client, addProfile("Sales", "Application", contents)), CTerr_NoError);
    EXPECT_EQ(call(*m_client, addProfile("Sales", "Application", contents)), CTerr_Exists);
    EXPECT_EQ(call(*m_client, updateProfile("Nope", "Application", contents)), CTerr_NotFound);
    EXPECT_EQ(call(*m_client, updateProfile("Sales", "Application", stringSet(KEY_AsiName, "two"))),
              CTerr_NoError);
    Response response;
    ASSERT_EQ(call(*m_client, getProfileInfo("Sales", "Application", true), &response),
              CTerr_NoError);
    EXPECT_EQ(response.result()
                  .pairs(2)
                  .value()
                  .array_value()
                  .elements(0)
                  .kvset_value()
                  .pairs(0)
                  .value()
                  .string_value(),
              "two");
    EXPECT_EQ(call(*m_client, removeProfile("Sales", "Other")), CTerr_NotFound);
    EXPECT_EQ(call(*m_client, removeProfile("Sales", "Application")), CTerr_NoError);
    EXPECT_EQ(call(*m_client, removeProfile("Sales", "Application")), CTerr_NotFound);

    // Names the store cannot key on, and service definitions behind the service table's back.
    EXPECT_EQ(call(*m_client, addProfile("", "Application", contents)), CTerr_InvalidArgument);
    EXPECT_EQ(call(*m_client, addProfile("X", "", contents)), CTerr_InvalidArgument);
    EXPECT_EQ(call(*m_client, addProfile("X", "TLVS_Service", contents)), CTerr_InvalidArgument);
    EXPECT_EQ(call(*m_client, updateProfile("X", "TLVS_Service", contents)), CTerr_InvalidArgument);
    EXPECT_EQ(call(*m_client, removeProfile("X", "TLVS_Service")), CTerr_InvalidArgument);
    for (const std::string& bad : {std::string("nul\0x", 5), std::string("line\nbreak"),
                                   std::string("esc\x1b[2J"), std::string(1025, 'n')}) {
        EXPECT_EQ(call(*m_client, addProfile(bad, "Application", contents)),
                  CTerr_InvalidArgument);
        EXPECT_EQ(call(*m_client, addProfile("X", bad, contents)), CTerr_InvalidArgument);
    }
    // 8-bit names are kept as they are.
    EXPECT_EQ(call(*m_client, addProfile("caf\xE9 \xFF", "Application", contents)), CTerr_NoError);
}

TEST_F(ProfilesTest, MalformedContentsAreRefusedAndNothingIsStored) {
    tlv::wire::KVSet duplicateKeys = stringSet(KEY_AsiName, "a");
    *duplicateKeys.add_pairs() = duplicateKeys.pairs(0);
    EXPECT_EQ(call(*m_client, addProfile("Dup", "Application", duplicateKeys)),
              CTerr_InvalidArgument);

    tlv::wire::KVSet mixedArray;
    auto* pair = mixedArray.add_pairs();
    pair->set_key(KEY_Resources);
    auto* array = pair->mutable_value()->mutable_array_value();
    array->set_element_type(tlv::wire::VALUE_TYPE_STRING);
    array->add_elements()->set_string_value("R1");
    array->add_elements()->set_int_value(2);
    EXPECT_EQ(call(*m_client, addProfile("Mixed", "Application", mixedArray)),
              CTerr_InvalidArgument);

    const auto nested = [](int depth) {
        tlv::wire::KVSet top;
        tlv::wire::KVSet* level = &top;
        for (int i = 1; i < depth; ++i) {
            auto* pair = level->add_pairs();
            pair->set_key(KEY_AsiList);
            level = pair->mutable_value()->mutable_kvset_value();
        }
        return top;
    };
    // A set the answer could not carry back within the depth bound is not stored.
    for (const int depth : {CT_MAX_STORED_DEPTH + 1, CT_MAX_DEPTH, CT_MAX_DEPTH + 1}) {
        EXPECT_EQ(call(*m_client, addProfile("Deep", "Application", nested(depth))),
                  CTerr_LimitExceeded)
            << depth;
        EXPECT_EQ(call(*m_client, addService("Deep", nested(depth))), CTerr_LimitExceeded)
            << depth;
    }
    EXPECT_EQ(call(*m_client, getProfileInfo("", "", false)), CTerr_NotFound);

    // The deepest set stored comes back whole, inside an answer a client decodes.
    ASSERT_EQ(call(*m_client, addProfile("Deepest", "Application", nested(CT_MAX_STORED_DEPTH))),
              CTerr_NoError);
    Response response;
    ASSERT_EQ(call(*m_client, getProfileInfo("Deepest", "", true), &response), CTerr_NoError);
    EXPECT_EQ(response.result()
                  .pairs(2)
                  .value()
                  .array_value()
                  .elements(0)
                  .kvset_value()
                  .SerializeAsString(),
              nested(CT_MAX_STORED_DEPTH).SerializeAsString());
    s100::DecodeError error;
    EXPECT_TRUE(s100::fromWire(response.result(), error)) << error.message;
}

TEST_F(ProfilesTest, AcknowledgedChangesSurviveAKillAndARestart) {
    ASSERT_EQ(call(*m_client, addProfile("Kept", "Application", stringSet(KEY_AsiName, "k"))),
              CTerr_NoError);
    ASSERT_EQ(call(*m_client, addProfile("Gone", "Application", stringSet(KEY_AsiName, "g"))),
              CTerr_NoError);
    ASSERT_EQ(call(*m_client, removeProfile("Gone", "Application")), CTerr_NoError);
    ASSERT_EQ(call(*m_client, addService("Svc", serviceDefinition({}))), CTerr_NoError);
    ASSERT_EQ(call(*m_client, setLevel(4)), CTerr_NoError);
    ASSERT_EQ(call(*m_client, setLevel(1)), CTerr_NoError);
    ASSERT_EQ(call(*m_client, setLevel(5)), CTerr_NoError);

    m_server.kill();
    ASSERT_TRUE(m_server.restart());
    reconnect();
    Response response;
    ASSERT_EQ(call(*m_client, getProfileInfo("", "", true), &response), CTerr_NoError);
    EXPECT_EQ(strings(response.result(), KEY_ProfileNames),
              (std::vector<std::string>{"Kept", "Svc"}));
    EXPECT_EQ(strings(response.result(), KEY_ProfileClasses),
              (std::vector<std::string>{"Application", "TLVS_Service"}));
    ASSERT_EQ(call(*m_client, getServerLevel(), &response), CTerr_NoError);
    EXPECT_EQ(response.level(), 5);
    EXPECT_EQ(call(*m_client, stopService("Svc", LEVEL_CHANGE_EMERGENCY)), CTerr_NoError)
        << "level 5 started the optional service again after the restart";
    EXPECT_EQ(m_server.terminate(), 0);
}

// Stored contents travel as stored; one that a damaged store no longer reads as a set is refused
// as a store failure, not sent on to break the client's connection.
TEST_F(ProfilesTest, DamagedStoredContentsAreAStoreFailure) {
    ASSERT_EQ(call(*m_client, addProfile("Good", "Application", stringSet(KEY_AsiName, "g"))),
              CTerr_NoError);
    ASSERT_EQ(call(*m_client, addProfile("Bad", "Application", stringSet(KEY_AsiName, "b"))),
              CTerr_NoError);
    m_server.kill();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((m_data.path() + "/tlvsd.db").c_str(), &db), SQLITE_OK);
    const int damaged = sqlite3_exec(
        db, "UPDATE profiles SET contents = x'0AFF' WHERE CAST(name AS TEXT) = 'Bad'", nullptr,
        nullptr, nullptr);
    sqlite3_close(db);
    ASSERT_EQ(damaged, SQLITE_OK);
    ASSERT_TRUE(m_server.restart());
    reconnect();

    Response response;
    EXPECT_EQ(call(*m_client, getProfileInfo("", "", true), &response), CTerr_StoreFailed);
    ASSERT_EQ(call(*m_client, getProfileInfo("Good", "Application", true), &response),
              CTerr_NoError);
    const auto& contents = response.result().pairs(2).value().array_value();
    ASSERT_EQ(contents.elements_size(), 1);
    EXPECT_EQ(contents.elements(0).kvset_value().pairs(0).value().string_value(), "g");
}

TEST(ServiceProviders, ComeInConfigurationOrderAndNoneIsNotFound) {
    TlvsdProcess bare;
    ASSERT_TRUE(bare.start({}));
    auto client = bare.connect();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(call(*client, getSPInfo()), CTerr_NotFound);

    TlvsdProcess configured;
    ASSERT_TRUE(
        configured.start({"--provider", "Zeta=unavailable", "--provider", "Alpha=available"}));
    client = configured.connect();
    ASSERT_NE(client, nullptr);
    Response response;
    ASSERT_EQ(call(*client, getSPInfo(), &response), CTerr_NoError);
    EXPECT_EQ(strings(response.result(), KEY_SPNames), (std::vector<std::string>{"Zeta", "Alpha"}));
    EXPECT_EQ(bools(response.result(), KEY_SPAvailable), (std::vector<std::uint32_t>{0, 1}));
}

}  // namespace
}  // namespace tlv::test

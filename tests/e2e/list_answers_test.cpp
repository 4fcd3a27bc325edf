// The library's kept list answers and answers in parts, against a real tlvsd and scripted peers.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"
#include "tests/support/fake_server.h"

namespace tlv::e2e {
namespace {

using tlv::test::FakeServer;

using Strings = std::vector<std::string>;

class KeptAnswersTest : public ServerTest {
protected:
    void add(const char* name, const char* profileClass) {
        Record record;
        ASSERT_EQ(outcome(CTadm_AddProfile(m_session, name, profileClass, CT_kvsEmpty,
                                           record.get(), nullptr),
                          record),
                  CTerr_NoError);
    }
    // The names of a query without contents, read from a fresh record each time.
    Strings names(const char* profileClass) {
        Record record;
        KvSet ignored;
        EXPECT_EQ(outcome(CTadm_GetProfileInfo(m_session, nullptr, profileClass, 0, ignored.get(),
                                               record.get(), nullptr),
                          record),
                  CTerr_NoError);
        EXPECT_EQ(stringArray(record.results(), KEY_ProfileClasses).size(),
                  stringArray(record.results(), KEY_ProfileNames).size());
        return stringArray(record.results(), KEY_ProfileNames);
    }
};

// Repeated queries are answered "unchanged" by the server; what the caller reads is the same
// as from a full answer, and every change, made on this session or another, shows at once.
TEST_F(KeptAnswersTest, RepeatedQueriesSeeTheSameListAndEveryChange) {
    add("b", "Application");
    add("a", "Routing");
    EXPECT_EQ(names(""), (Strings{"a", "b"}));
    EXPECT_EQ(names(""), (Strings{"a", "b"}));
    EXPECT_EQ(names("Application"), (Strings{"b"}));
    EXPECT_EQ(names(""), (Strings{"a", "b"}));

    CTsession other = 0;
    ASSERT_EQ(openSession(kEntryName, other), CTerr_NoError);
    Record record;
    ASSERT_EQ(CTadm_AddProfile(other, "c", "Application", CT_kvsEmpty, record.get(), nullptr),
              CT_SUCCESS);
    EXPECT_EQ(names(""), (Strings{"a", "b", "c"}));
    ASSERT_EQ(CTadm_RemoveProfile(other, "a", "Routing", record.get(), nullptr), CT_SUCCESS);
    EXPECT_EQ(names(""), (Strings{"b", "c"}));
    EXPECT_EQ(names(""), (Strings{"b", "c"}));
    ASSERT_EQ(CTses_Destroy(other, CT_kvsEmpty, record.get(), nullptr), CT_SUCCESS);
}

// A session to a scripted peer that answers the profile query with frames(request).
class PartsPeerTest : public ::testing::Test {
protected:
    CTerror profileQuery(std::function<std::string(const tlv::wire::Request&)> frames,
                         Strings& names) {
        FakeServer peer(FakeServer::afterHandshake(std::move(frames)));
        m_table.setEntry("Fake", "tcp:127.0.0.1:" + std::to_string(peer.port()));
        CTsession session = 0;
        EXPECT_EQ(openSession("Fake", session), CTerr_NoError);
        Record record;
        KvSet ignored;
        const CTerror error = outcome(
            CTadm_GetProfileInfo(session, "", "", 0, ignored.get(), record.get(), nullptr), record);
        const char* const* found = nullptr;
        std::uint32_t count = 0;
        names.clear();
        if (CTkvs_GetStringArray(record.results(), KEY_ProfileNames, &found, &count, nullptr) ==
            CT_SUCCESS)
            names.assign(found, found + count);
        Record closing;
        CTses_Destroy(session, CT_kvsEmpty, closing.get(), nullptr);
        return error;
    }
    static tlv::wire::ServerFrame part(const tlv::wire::Request& request, const Strings& names,
                                       bool more) {
        tlv::wire::ServerFrame frame;
        tlv::wire::Response& response = *frame.mutable_response();
        response.set_id(request.id());
        response.set_error(CTerr_NoError);
        response.set_more(more);
        response.set_generation(5);
        for (const CTsymbol key : {KEY_ProfileNames, KEY_ProfileClasses}) {
            auto* array = response.mutable_result()->add_pairs();
            array->set_key(key);
            array->mutable_value()->mutable_array_value()->set_element_type(
                tlv::wire::VALUE_TYPE_STRING);
            for (const std::string& name : names)
                array->mutable_value()->mutable_array_value()->add_elements()->set_string_value(
                    key == KEY_ProfileNames ? name : "Application");
        }
        return frame;
    }

    ServerTable m_table;
};

TEST_F(PartsPeerTest, PartsAreJoinedInOrderAndABrokenOrFalseAnswerLosesTheConnection) {
    Strings names;
    EXPECT_EQ(profileQuery(
                  [](const tlv::wire::Request& request) {
                      return FakeServer::frame(part(request, {"a", "b"}, true)) +
                             FakeServer::frame(part(request, {"c"}, true)) +
                             FakeServer::frame(part(request, {"d"}, false));
                  },
                  names),
              CTerr_NoError);
    EXPECT_EQ(names, (Strings{"a", "b", "c", "d"}));

    // The second part answers another request.
    EXPECT_EQ(profileQuery(
                  [](const tlv::wire::Request& request) {
                      tlv::wire::Request other = request;
                      other.set_id(request.id() + 1);
                      return FakeServer::frame(part(request, {"a"}, true)) +
                             FakeServer::frame(part(other, {"b"}, false));
                  },
                  names),
              CTerr_ConnectionLost);
    EXPECT_TRUE(names.empty()) << "nothing of a broken answer reaches the record";

    // "Unchanged" for a list this session never received.
    EXPECT_EQ(profileQuery(
                  [](const tlv::wire::Request& request) {
                      tlv::wire::ServerFrame frame = part(request, {}, false);
                      frame.mutable_response()->clear_result();
                      frame.mutable_response()->set_unchanged(true);
                      return FakeServer::frame(frame);
                  },
                  names),
              CTerr_ConnectionLost);
}

CTstatus collectNames(CTkvs part, void* context) {
    auto& parts = *static_cast<std::vector<Strings>*>(context);
    parts.push_back(stringArray(part, KEY_ProfileNames));
    return CT_SUCCESS;
}

// Taken part by part, the parts before a break reach the caller; the break loses the connection.
TEST_F(PartsPeerTest, PartsHandedOnBeforeABreakAndTheBreakLosesTheConnection) {
    FakeServer peer(FakeServer::afterHandshake([](const tlv::wire::Request& request) {
        tlv::wire::ServerFrame spoiled = part(request, {"c"}, false);
        spoiled.mutable_response()->set_error(CTerr_NotFound);
        return FakeServer::frame(part(request, {"a", "b"}, true)) + FakeServer::frame(spoiled);
    }));
    m_table.setEntry("Fake", "tcp:127.0.0.1:" + std::to_string(peer.port()));
    CTsession session = 0;
    ASSERT_EQ(openSession("Fake", session), CTerr_NoError);
    std::vector<Strings> parts;
    Record record;
    EXPECT_EQ(
        outcome(CTadm_GetProfileInfoInParts(session, "", "", 0, collectNames, &parts, record.get()),
                record),
        CTerr_ConnectionLost);
    EXPECT_EQ(parts, (std::vector<Strings>{{"a", "b"}}));
    Record closing;
    CTses_Destroy(session, CT_kvsEmpty, closing.get(), nullptr);
}

}  // namespace
}  // namespace tlv::e2e

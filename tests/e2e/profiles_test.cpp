// Profiles through the C API against a real tlvsd: add, exists, update, remove, queries.
#include <gtest/gtest.h>

#include <memory>

#include "tests/e2e/e2e_support.h"

namespace tlv::e2e {
namespace {

using Strings = std::vector<std::string>;

class ProfilesTest : public ServerTest {
protected:
    CTerror add(const char* name, const char* profileClass, CTkvs contents) {
        Record record;
        return outcome(
            CTadm_AddProfile(m_session, name, profileClass, contents, record.get(), nullptr),
            record);
    }
    CTerror update(const char* name, const char* profileClass, CTkvs contents) {
        Record record;
        return outcome(
            CTadm_UpdateProfile(m_session, name, profileClass, contents, record.get(), nullptr),
            record);
    }
    CTerror remove(const char* name, const char* profileClass) {
        Record record;
        return outcome(CTadm_RemoveProfile(m_session, name, profileClass, record.get(), nullptr),
                       record);
    }
    CTerror query(const char* name, const char* profileClass, bool withContents, Record& record) {
        KvSet ignored;
        return outcome(CTadm_GetProfileInfo(m_session, name, profileClass, withContents ? 1 : 0,
                                            ignored.get(), record.get(), nullptr),
                       record);
    }
};

// A set holding one string, for contents that can be told apart.
void putText(const KvSet& set, const char* text) {
    ASSERT_EQ(CTkvs_PutString(set.get(), KEY_AsiName, text, nullptr), CT_SUCCESS);
}

std::string textOf(CTkvs set) {
    const char* text = nullptr;
    CTerror error = CTerr_NoError;
    EXPECT_EQ(CTkvs_GetString(set, KEY_AsiName, &text, &error), CT_SUCCESS) << std::hex << error;
    return text == nullptr ? std::string() : text;
}

// The contents of the one profile a query with contents found; 0 (failing the test) otherwise.
CTkvs onlyContents(const Record& record) {
    const CTkvs* contents = nullptr;
    std::uint32_t count = 0;
    EXPECT_EQ(
        CTkvs_GetKVSetArray(record.results(), KEY_ProfileContents, &contents, &count, nullptr),
        CT_SUCCESS);
    EXPECT_EQ(count, 1u);
    return count == 1 ? contents[0] : 0;
}

TEST_F(ProfilesTest, AddUpdateRemoveAnswerEachOutcome) {
    KvSet first;
    putText(first, "first");
    EXPECT_EQ(add("Main", "Application", first.get()), CTerr_NoError);
    EXPECT_EQ(add("Main", "Application", first.get()), CTerr_Exists);
    EXPECT_EQ(add("Main", "RoutingRules", CT_kvsEmpty), CTerr_NoError) << "same name, other class";

    KvSet second;
    putText(second, "second");
    EXPECT_EQ(update("Main", "Application", second.get()), CTerr_NoError);
    EXPECT_EQ(update("Nobody", "Application", second.get()), CTerr_NotFound);
    EXPECT_EQ(add("Bad", "Application", 0xBADBAD), CTerr_InvalidHandle) << "nothing is sent";

    Record record;
    ASSERT_EQ(query("Main", "Application", true, record), CTerr_NoError);
    EXPECT_EQ(textOf(onlyContents(record)), "second");

    EXPECT_EQ(remove("Main", "Application"), CTerr_NoError);
    EXPECT_EQ(remove("Main", "Application"), CTerr_NotFound);
    EXPECT_EQ(remove(nullptr, "RoutingRules"), CTerr_InvalidArgument) << "a null name is empty";
    EXPECT_EQ(remove("Main", "RoutingRules"), CTerr_NoError);
}

// A set nested depth levels deep, each level one pair holding the next.
void nest(const KvSet& top, int depth) {
    auto inner = std::make_unique<KvSet>();
    for (int level = 2; level < depth; ++level) {
        auto outer = std::make_unique<KvSet>();
        ASSERT_EQ(CTkvs_PutKVSet(outer->get(), KEY_AsiList, inner->get(), nullptr), CT_SUCCESS);
        inner = std::move(outer);
    }
    ASSERT_EQ(CTkvs_PutKVSet(top.get(), KEY_AsiList, inner->get(), nullptr), CT_SUCCESS);
}

TEST_F(ProfilesTest, TheDeepestSetStoredReadsBackAndADeeperOneIsNotSent) {
    KvSet deepest;
    nest(deepest, CT_MAX_STORED_DEPTH);
    ASSERT_EQ(add("Deepest", "Application", deepest.get()), CTerr_NoError);
    Record record;
    ASSERT_EQ(query("Deepest", "Application", true, record), CTerr_NoError);
    int depth = 1;
    for (CTkvs level = onlyContents(record); CTkvs_GetKVSet(level, KEY_AsiList, &level, nullptr) ==
                                    CT_SUCCESS;) {
        ++depth;
    }
    EXPECT_EQ(depth, CT_MAX_STORED_DEPTH);

    KvSet deeper;
    nest(deeper, CT_MAX_STORED_DEPTH + 1);
    EXPECT_EQ(add("Deeper", "Application", deeper.get()), CTerr_LimitExceeded);
    EXPECT_EQ(query("Deeper", "Application", false, record), CTerr_NotFound);
}

TEST_F(ProfilesTest, QueriesFilterSortAndFillTheRecordsSet) {
    KvSet one;
    putText(one, "one");
    ASSERT_EQ(add("Zulu", "Application", one.get()), CTerr_NoError);
    ASSERT_EQ(add("Alpha", "RoutingRules", one.get()), CTerr_NoError);
    ASSERT_EQ(add("Alpha", "Application", one.get()), CTerr_NoError);

    Record all;
    ASSERT_EQ(CTkvs_PutString(all.results(), KEY_ProfileNames, "stale", nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutInt(all.results(), KEY_AsiName, 5, nullptr), CT_SUCCESS);
    ASSERT_EQ(query(nullptr, "", false, all), CTerr_NoError);
    EXPECT_EQ(stringArray(all.results(), KEY_ProfileNames), (Strings{"Alpha", "Alpha", "Zulu"}));
    EXPECT_EQ(stringArray(all.results(), KEY_ProfileClasses),
              (Strings{"Application", "RoutingRules", "Application"}));
    std::int32_t untouched = 0;
    EXPECT_EQ(CTkvs_GetInt(all.results(), KEY_AsiName, &untouched, nullptr), CT_SUCCESS);
    EXPECT_EQ(untouched, 5) << "keys the answer does not carry stay";
    CTkvs contents = 0;
    EXPECT_EQ(CTkvs_GetKVSet(all.results(), KEY_ProfileContents, &contents, nullptr), CT_FAILURE)
        << "no contents were asked for";

    Record byClass;
    ASSERT_EQ(query("", "Application", true, byClass), CTerr_NoError);
    EXPECT_EQ(stringArray(byClass.results(), KEY_ProfileNames), (Strings{"Alpha", "Zulu"}));
    const CTkvs* sets = nullptr;
    std::uint32_t count = 0;
    ASSERT_EQ(CTkvs_GetKVSetArray(byClass.results(), KEY_ProfileContents, &sets, &count, nullptr),
              CT_SUCCESS);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(textOf(sets[1]), "one");

    Record byName;
    ASSERT_EQ(query("Alpha", "", false, byName), CTerr_NoError);
    EXPECT_EQ(stringArray(byName.results(), KEY_ProfileClasses),
              (Strings{"Application", "RoutingRules"}));
}

TEST_F(ProfilesTest, NothingFoundFailsButLeavesEmptyResultArraysToRead) {
    Record record;
    EXPECT_EQ(query("", "", true, record), CTerr_NotFound);
    EXPECT_EQ(stringArray(record.results(), KEY_ProfileNames), Strings{});
    EXPECT_EQ(stringArray(record.results(), KEY_ProfileClasses), Strings{});

    KvSet one;
    ASSERT_EQ(add("Only", "Application", one.get()), CTerr_NoError);
    Record other;
    EXPECT_EQ(query("Only", "RoutingRules", false, other), CTerr_NotFound);
}

}  // namespace
}  // namespace tlv::e2e

// Profile queries answered part by part, against a real tlvsd holding enough profiles for an
// answer of several parts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

namespace tlv::e2e {
namespace {

using Strings = std::vector<std::string>;

// Profiles of about 600 kB each: 24 of them make an answer of three or four 4 MiB parts.
constexpr int kProfiles = 24;
constexpr int kResourcesPerProfile = 6000;

std::string profileName(int i) {
    return "Big" + std::to_string(10 + i);
}

// What a handler saw: per part, the names and each profile's resource count; stops (fails)
// after stopAfter parts when that is not 0.
struct Seen {
    std::vector<Strings> names;
    std::vector<std::uint32_t> resourceCounts;
    std::vector<CTkvs> handles;
    std::size_t stopAfter = 0;
};

CTstatus recordPart(CTkvs part, void* context) {
    Seen& seen = *static_cast<Seen*>(context);
    seen.handles.push_back(part);
    seen.names.push_back(stringArray(part, KEY_ProfileNames));
    const CTkvs* contents = nullptr;
    std::uint32_t count = 0;
    if (CTkvs_GetKVSetArray(part, KEY_ProfileContents, &contents, &count, nullptr) != CT_SUCCESS) {
        return CT_FAILURE;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const char* const* resources = nullptr;
        std::uint32_t resourceCount = 0;
        CTkvs_GetStringArray(contents[i], KEY_Resources, &resources, &resourceCount, nullptr);
        seen.resourceCounts.push_back(resourceCount);
    }
    // The part is the library's, lent for this call only.
    CTerror error = CTerr_NoError;
    EXPECT_EQ(CTkvs_PutString(part, KEY_AsiName, "x", &error), CT_FAILURE);
    EXPECT_EQ(CTkvs_Destroy(part, nullptr), CT_FAILURE);
    return seen.stopAfter != 0 && seen.names.size() >= seen.stopAfter ? CT_FAILURE : CT_SUCCESS;
}

class ProfilePartsTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        KvSet contents;
        Strings resources;
        for (int r = 0; r < kResourcesPerProfile; ++r) {
            resources.push_back("R" + std::to_string(r) + "=" + std::string(90, 'b'));
        }
        std::vector<const char*> pointers;
        for (const std::string& resource : resources) {
            pointers.push_back(resource.c_str());
        }
        ASSERT_EQ(CTkvs_PutStringArray(contents.get(), KEY_Resources, pointers.data(),
                                       static_cast<std::uint32_t>(pointers.size()), nullptr),
                  CT_SUCCESS);
        // Added in reverse: the answer lists them by name all the same.
        for (int i = kProfiles - 1; i >= 0; --i) {
            Record record;
            ASSERT_EQ(outcome(CTadm_AddProfile(m_session, profileName(i).c_str(), "Application",
                                               contents.get(), record.get(), nullptr),
                              record),
                      CTerr_NoError);
        }
    }

    CTerror queryInParts(const char* profileClass, Seen& seen) {
        Record record;
        return outcome(CTadm_GetProfileInfoInParts(m_session, nullptr, profileClass, 1, recordPart,
                                                   &seen, record.get()),
                       record);
    }
};

TEST_F(ProfilePartsTest, EveryProfileReachesTheHandlerOnceInOrderPartByPart) {
    Seen seen;
    ASSERT_EQ(queryInParts("Application", seen), CTerr_NoError);
    EXPECT_GE(seen.names.size(), 3u);
    Strings all;
    for (const Strings& part : seen.names) {
        EXPECT_FALSE(part.empty());
        all.insert(all.end(), part.begin(), part.end());
    }
    Strings expected;
    for (int i = 0; i < kProfiles; ++i) {
        expected.push_back(profileName(i));
    }
    EXPECT_EQ(all, expected);
    EXPECT_EQ(seen.resourceCounts,
              std::vector<std::uint32_t>(kProfiles, std::uint32_t{kResourcesPerProfile}));
    // Each part was released when its handler returned.
    for (const CTkvs handle : seen.handles) {
        std::uint32_t count = 0;
        CTerror error = CTerr_NoError;
        EXPECT_EQ(CTkvs_GetCount(handle, &count, &error), CT_FAILURE);
        EXPECT_EQ(error, CTerr_InvalidHandle);
    }

    Seen none;
    EXPECT_EQ(queryInParts("NoSuchClass", none), CTerr_NotFound);
    EXPECT_TRUE(none.names.empty());
}

// A handler that fails on the first part gets no other; the rest of the answer is read off the
// connection, so the session answers the next call.
TEST_F(ProfilePartsTest, AFailingHandlerStopsTheHandingAndTheSessionGoesOn) {
    Seen seen;
    seen.stopAfter = 1;
    EXPECT_EQ(queryInParts("Application", seen), CTerr_HandlerFailed);
    EXPECT_EQ(seen.names.size(), 1u);

    Record record;
    KvSet ignored;
    ASSERT_EQ(outcome(CTadm_GetProfileInfo(m_session, nullptr, "Application", 0, ignored.get(),
                                           record.get(), nullptr),
                      record),
              CTerr_NoError);
    EXPECT_EQ(stringArray(record.results(), KEY_ProfileNames).size(), std::size_t{kProfiles});

    Record refused;
    EXPECT_EQ(outcome(CTadm_GetProfileInfoInParts(m_session, nullptr, "Application", 1, nullptr,
                                                  nullptr, refused.get()),
                      refused),
              CTerr_InvalidArgument);
}

}  // namespace
}  // namespace tlv::e2e

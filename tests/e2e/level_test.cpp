// The server level and the service providers through the C API against a real tlvsd.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

namespace tlv::e2e {
namespace {

using Strings = std::vector<std::string>;

class LevelTest : public ServerTest {
protected:
    std::int32_t level() {
        Record record;
        std::int32_t value = -1;
        EXPECT_EQ(outcome(CTadm_GetServerLevel(m_session, &value, record.get(), nullptr), record),
                  CTerr_NoError);
        return value;
    }
    CTerror setLevel(std::int32_t target, CTsymbol mode = LEVEL_CHANGE_NORMAL) {
        Record record;
        return outcome(CTadm_SetTargetServerLevel(m_session, target, mode, record.get(), nullptr),
                       record);
    }
    CTerror providers(Record& record) {
        KvSet ignored;
        return outcome(CTadm_GetSPInfo(m_session, "", ignored.get(), record.get(), nullptr),
                       record);
    }
};

TEST_F(LevelTest, EveryLevelFromOneToFiveIsReachedAndOthersAreRefused) {
    EXPECT_EQ(level(), 1);
    for (std::int32_t target = 2; target <= 5; ++target) {
        EXPECT_EQ(setLevel(target), CTerr_NoError);
        EXPECT_EQ(level(), target);
    }
    EXPECT_EQ(setLevel(1, LEVEL_CHANGE_EMERGENCY), CTerr_NoError);
    EXPECT_EQ(level(), 1);
    EXPECT_EQ(setLevel(0), CTerr_InvalidArgument);
    EXPECT_EQ(setLevel(6), CTerr_InvalidArgument);
    EXPECT_EQ(setLevel(3, SVC_Optional), CTerr_InvalidArgument) << "not a mode";
    EXPECT_EQ(level(), 1);

    Record record;
    EXPECT_EQ(CTadm_GetServerLevel(m_session, nullptr, record.get(), nullptr), CT_FAILURE);
    EXPECT_EQ(record.error(), CTerr_InvalidArgument);
}

TEST_F(LevelTest, ProvidersComeInTheServersOrderAndNoneIsNothingFound) {
    Record none;
    EXPECT_EQ(providers(none), CTerr_NotFound);
    EXPECT_EQ(stringArray(none.results(), KEY_SPNames), Strings{});
    EXPECT_EQ(boolArray(none.results(), KEY_SPAvailable), std::vector<CTbool>{});

    startServer({"--provider", "Board_B=available", "--provider", "Board_A=unavailable"});
    Record record;
    ASSERT_EQ(providers(record), CTerr_NoError);
    EXPECT_EQ(stringArray(record.results(), KEY_SPNames), (Strings{"Board_B", "Board_A"}));
    EXPECT_EQ(boolArray(record.results(), KEY_SPAvailable), (std::vector<CTbool>{1, 0}));
}

}  // namespace
}  // namespace tlv::e2e

#include "session/resultarrays.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A result set the test fills as a server would.
class ResultSet final {
public:
    ResultSet() { EXPECT_EQ(CTkvs_Create(&m_set, nullptr), CT_SUCCESS); }
    ~ResultSet() { CTkvs_Destroy(m_set, nullptr); }
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;

    CTkvs Handle() const { return m_set; }
    void Strings(CTsymbol key, const std::vector<const char*>& values) {
        ASSERT_EQ(CTkvs_PutStringArray(m_set, key, values.data(),
                                       static_cast<uint32_t>(values.size()), nullptr),
                  CT_SUCCESS);
    }
    void Symbols(CTsymbol key, const std::vector<CTsymbol>& values) {
        ASSERT_EQ(CTkvs_PutSymbolArray(m_set, key, values.data(),
                                       static_cast<uint32_t>(values.size()), nullptr),
                  CT_SUCCESS);
    }
    void Bools(CTsymbol key, const std::vector<CTbool>& values) {
        ASSERT_EQ(CTkvs_PutBoolArray(m_set, key, values.data(),
                                     static_cast<uint32_t>(values.size()), nullptr),
                  CT_SUCCESS);
    }

private:
    CTkvs m_set = 0;
};

void FillServices(ResultSet& set, std::size_t disabledCount) {
    set.Strings(KEY_ServiceNames, {"A", "B", "C"});
    set.Symbols(KEY_ServiceStates, {SVC_StateIdle, SVC_StateRunning, SVC_StateFailed});
    set.Symbols(SVC_StartType, {SVC_Optional, SVC_Mandatory, SVC_Root});
    set.Bools(SVC_Disabled, std::vector<CTbool>(disabledCount, 1));
}

TEST(ResultArraysTest, ParallelArraysAreCopiedElementByElement) {
    ResultSet set;
    FillServices(set, 3);
    ServiceArrays arrays;
    const ArrayCopyResult result = CopyServiceArrays(set.Handle(), false, arrays);
    ASSERT_EQ(result.status, CT_SUCCESS);
    ASSERT_EQ(arrays.count, 3);
    EXPECT_STREQ(arrays.names[2], "C");
    EXPECT_EQ(arrays.states[1], SVC_StateRunning);
    EXPECT_EQ(arrays.types[2], SVC_Root);
    EXPECT_EQ(arrays.disabled[0], 1);
}

TEST(ResultArraysTest, ArraysOfUnequalLengthFailTheWholeQuery) {
    // A shorter last array: the old rule copied 2 elements of every array and lost C.
    ResultSet shorterLast;
    FillServices(shorterLast, 2);
    ServiceArrays services;
    ArrayCopyResult result = CopyServiceArrays(shorterLast.Handle(), false, services);
    EXPECT_EQ(result.status, CT_FAILURE);
    EXPECT_EQ(result.error, CTerr_InvalidArgument);
    EXPECT_EQ(services.count, 0);
    EXPECT_FALSE(services.names);

    // A longer last array: the old rule read past the end of the shorter ones.
    ResultSet longerLast;
    FillServices(longerLast, 5);
    result = CopyServiceArrays(longerLast.Handle(), false, services);
    EXPECT_EQ(result.status, CT_FAILURE);
    EXPECT_EQ(result.error, CTerr_InvalidArgument);

    ResultSet profiles;
    profiles.Strings(KEY_ProfileNames, {"P1", "P2"});
    profiles.Strings(KEY_ProfileClasses, {"Application"});
    ProfileArrays profileArrays;
    result = CopyProfileArrays(profiles.Handle(), false, profileArrays);
    EXPECT_EQ(result.status, CT_FAILURE);
    EXPECT_EQ(result.error, CTerr_InvalidArgument);

    ResultSet providers;
    providers.Strings(KEY_SPNames, {"Board1"});
    providers.Bools(KEY_SPAvailable, {1, 0});
    SPArrays spArrays;
    EXPECT_EQ(CopySPArrays(providers.Handle(), false, spArrays).status, CT_FAILURE);
}

TEST(ResultArraysTest, MissingOrMistypedKeysFailUnlessNothingWasFound) {
    ResultSet namesOnly;
    namesOnly.Strings(KEY_ProfileNames, {"P1"});
    ProfileArrays arrays;
    ArrayCopyResult result = CopyProfileArrays(namesOnly.Handle(), false, arrays);
    EXPECT_EQ(result.status, CT_FAILURE);
    EXPECT_EQ(result.error, CTerr_NotFound);

    ResultSet wrongType;
    wrongType.Strings(KEY_SPNames, {"Board1"});
    wrongType.Strings(KEY_SPAvailable, {"yes"});
    SPArrays providers;
    result = CopySPArrays(wrongType.Handle(), false, providers);
    EXPECT_EQ(result.status, CT_FAILURE);
    EXPECT_EQ(result.error, CTerr_WrongType);

    // The server said "nothing found" and sent no arrays: an empty list, every pointer null.
    ResultSet empty;
    result = CopyProfileArrays(empty.Handle(), true, arrays);
    EXPECT_EQ(result.status, CT_SUCCESS);
    EXPECT_EQ(arrays.count, 0);
    EXPECT_FALSE(arrays.names);
    EXPECT_FALSE(arrays.classes);
}

}  // namespace

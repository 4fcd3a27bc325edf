// The checked save of the service dialogs' OK, on real KV sets, without widgets.

#include "services/ui/svcsave.h"

#include <gtest/gtest.h>

#include "resources/stringids.h"
#include "services/ui/svcfields.h"
#include "tests/services_ui/svc_helpers.h"

namespace {

TEST(ServiceSaveTest, NameIsCheckedBeforeAnyKeyIsPut) {
    const std::string name32(32, 'n');
    EXPECT_EQ(ServiceNameMessage(name32), 0u);
    EXPECT_EQ(ServiceNameMessage(""), 0u);  // left to the server
    EXPECT_EQ(ServiceNameMessage(name32 + "n"), unsigned{IDS_SERVICE_NAME_TOO_LONG});
    EXPECT_EQ(ServiceNameMessage("Trailing "), unsigned{IDS_SERVICE_NAME_HAS_SPACE});
    // Too long wins over a space, as OK tells of the length first.
    EXPECT_EQ(ServiceNameMessage(name32 + " "), unsigned{IDS_SERVICE_NAME_TOO_LONG});
    // A NUL would cut the name short on its way to the server.
    EXPECT_EQ(ServiceNameMessage(std::string("Cut\0Short", 9)), unsigned{IDS_SERVICE_NAME_INVALID});

    KvSet set;
    EXPECT_EQ(SaveExeService(set.Handle(), "has space", ExeDialogDefaults()),
              unsigned{IDS_SERVICE_NAME_HAS_SPACE});
    EXPECT_EQ(SaveDllService(set.Handle(), name32 + "x", DllDialogDefaults()),
              unsigned{IDS_SERVICE_NAME_TOO_LONG});
    EXPECT_TRUE(set.Keys().empty());

    EXPECT_EQ(SaveDllService(set.Handle(), name32, DllDialogDefaults()), 0u);
    EXPECT_EQ(set.Symbol(SVC_Kind), CTsymbol{SVC_KindDLL});
}

TEST(ServiceSaveTest, FailedPutIsTheKvSetMessage) {
    // The library's empty set takes no put.
    EXPECT_EQ(SaveExeService(CT_kvsEmpty, "Svc", ExeDialogDefaults()),
              unsigned{IDS_KVSET_OPERATION_FAILED});
    EXPECT_EQ(SaveDllService(CT_kvsEmpty, "Svc", DllDialogDefaults()),
              unsigned{IDS_KVSET_OPERATION_FAILED});
}

TEST(ServiceSaveTest, DialogDefaultsHaveNoPathAndKvsHoldsKeyIgnoresTheType) {
    EXPECT_EQ(ExeDialogDefaults().commandLine, "");
    EXPECT_EQ(ExeDialogDefaults().processor, 1u);
    EXPECT_EQ(DllDialogDefaults().dllPath, "");

    KvSet set;
    EXPECT_FALSE(KvsHoldsKey(set.Handle(), SVC_MachineName));
    ASSERT_EQ(CTkvs_PutInt(set.Handle(), SVC_MachineName, 5, nullptr), CT_SUCCESS);
    EXPECT_TRUE(KvsHoldsKey(set.Handle(), SVC_MachineName));
    EXPECT_FALSE(KvsHoldsKey(set.Handle(), SVC_Processor));
    EXPECT_FALSE(KvsHoldsKey(0xDEAD, SVC_MachineName));
}

TEST(ServiceSaveTest, MultiProcessorQuestionOnlyWhenLeavingProcessorOne) {
    EXPECT_TRUE(AsksMultiProcessorQuestion('1', 2));
    EXPECT_TRUE(AsksMultiProcessorQuestion('1', 9));
    EXPECT_FALSE(AsksMultiProcessorQuestion('1', 1));
    EXPECT_FALSE(AsksMultiProcessorQuestion('3', 1));
    EXPECT_FALSE(AsksMultiProcessorQuestion('3', 4));
    // Only first characters count: 12 and 1 alike start with "1".
    EXPECT_FALSE(AsksMultiProcessorQuestion('1', 12));
    EXPECT_TRUE(AsksMultiProcessorQuestion('1', 20));
}

TEST(ServiceSaveTest, DialogIntegers) {
    EXPECT_EQ(ParseDialogInteger("15"), 15);
    EXPECT_EQ(ParseDialogInteger(" -7 "), -7);
    EXPECT_EQ(ParseDialogInteger("+3"), 3);
    EXPECT_EQ(ParseDialogInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseDialogInteger("-2147483648"), -2147483647 - 1);
    for (const char* bad : {"", " ", "abc", "12x", "1 2", "2147483648", "+-1", "--1", "1.5"})
        EXPECT_EQ(ParseDialogInteger(bad), std::nullopt) << bad;
}

}  // namespace

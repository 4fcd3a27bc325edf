#include "services/svcdef.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/kvset.h"

namespace {

using tlv::test::KvSet;

TEST(ServiceDefinitionTest, EmptySetReadsAsTheDefaultsOfANewService) {
    KvSet set;
    ExeServiceFields exe;
    exe.commandLine = "overwritten?";
    ReadExeService(set.Handle(), exe);
    EXPECT_EQ(exe.commandLine, "overwritten?");  // a missing key leaves the field alone
    const ExeServiceFields fresh;
    EXPECT_EQ(fresh.commandLine, "*.exe");
    EXPECT_EQ(fresh.machineName, "");
    EXPECT_FALSE(fresh.bMandatory);
    EXPECT_FALSE(fresh.bDisabled);
    EXPECT_EQ(fresh.emergencyTimeout, 120);
    EXPECT_TRUE(fresh.bDetectHangs);
    EXPECT_EQ(fresh.maxRestarts, 0);
    EXPECT_EQ(fresh.startTimeout, 15);
    EXPECT_EQ(fresh.exitTimeout, 15);
    EXPECT_EQ(fresh.processor, 1u);

    const DllServiceFields dll;
    EXPECT_EQ(dll.dllPath, "*.dll");
    EXPECT_EQ(dll.arguments, "");
    EXPECT_EQ(dll.processName, "");
    EXPECT_EQ(dll.emergencyTimeout, 120);
    EXPECT_FALSE(dll.bLinkEarly);
    EXPECT_FALSE(dll.bUnlinkLate);
    EXPECT_EQ(ServiceKindOf(set.Handle()), ServiceKind::Invalid);
}

TEST(ServiceDefinitionTest, WritesPutTheKeysInTheirOrderAndOnlyTheirKind) {
    KvSet exe;
    ASSERT_TRUE(WriteExeService(exe.Handle(), ExeServiceFields{}));
    EXPECT_EQ(exe.Keys(), (std::vector<CTsymbol>{SVC_CommandLine, SVC_MachineName, SVC_DetectHangs,
                                                 SVC_Disabled, SVC_MaxRestarts, SVC_StartTimeout,
                                                 SVC_EmergencyTimeout, SVC_ExitTimeout, SVC_Kind,
                                                 SVC_StartType, SVC_Processor}));
    EXPECT_EQ(ServiceKindOf(exe.Handle()), ServiceKind::Executable);
    EXPECT_EQ(exe.Symbol(SVC_StartType), SVC_Optional);

    KvSet dll;
    DllServiceFields fields;
    fields.bMandatory = true;
    ASSERT_TRUE(WriteDllService(dll.Handle(), fields));
    EXPECT_EQ(dll.Keys(),
              (std::vector<CTsymbol>{SVC_DLLPath, SVC_Arguments, SVC_ProcessName,
                                     SVC_EmergencyTimeout, SVC_LinkEarly, SVC_UnlinkLate,
                                     SVC_Disabled, SVC_Kind, SVC_StartType}));
    EXPECT_EQ(ServiceKindOf(dll.Handle()), ServiceKind::DLL);
    EXPECT_EQ(dll.Symbol(SVC_StartType), SVC_Mandatory);
}

TEST(ServiceDefinitionTest, StoredValuesOutsideTheRulesAreWrittenBackAsTheClientWould) {
    KvSet set;
    const CTkvs handle = set.Handle();
    ASSERT_EQ(CTkvs_PutSymbol(handle, SVC_Kind, SVC_KindExecutable, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutSymbol(handle, SVC_StartType, SVC_Root, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutBool(handle, SVC_Disabled, 2, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutBool(handle, SVC_DetectHangs, 0, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutUInt(handle, SVC_Processor, 12, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTkvs_PutString(handle, KEY_AsiName, "kept", nullptr), CT_SUCCESS);

    ExeServiceFields fields;
    ReadExeService(handle, fields);
    EXPECT_FALSE(fields.bMandatory);  // Root reads as optional
    EXPECT_FALSE(fields.bDisabled);   // only 1 is true
    EXPECT_FALSE(fields.bDetectHangs);
    EXPECT_EQ(fields.processor, 12u);  // kept although the dialog offers 1..8

    ASSERT_TRUE(NormalizeServiceDefinition(handle));
    EXPECT_EQ(set.Symbol(SVC_StartType), SVC_Optional);
    EXPECT_EQ(set.Bool(SVC_Disabled), 0u);
    const char* kept = nullptr;
    EXPECT_EQ(CTkvs_GetString(handle, KEY_AsiName, &kept, nullptr), CT_SUCCESS);
    EXPECT_STREQ(kept, "kept");
    // No DLL key joined the executable record.
    const char* path = nullptr;
    EXPECT_NE(CTkvs_GetString(handle, SVC_DLLPath, &path, nullptr), CT_SUCCESS);

    KvSet noKind;
    EXPECT_FALSE(NormalizeServiceDefinition(noKind.Handle()));
    ASSERT_EQ(CTkvs_PutSymbol(noKind.Handle(), SVC_Kind, SVC_Root, nullptr), CT_SUCCESS);
    EXPECT_EQ(ServiceKindOf(noKind.Handle()), ServiceKind::Invalid);
}

TEST(ServiceDefinitionTest, AFailedPutStopsTheWriteAndKeepsEarlierKeys) {
    // The library's empty set refuses every put: the first one fails, nothing else is tried.
    EXPECT_FALSE(WriteExeService(CT_kvsEmpty, ExeServiceFields{}));
    EXPECT_FALSE(WriteDllService(CT_kvsEmpty, DllServiceFields{}));

    // A set three pairs short of its limit takes the first three keys and refuses the fourth.
    KvSet full;
    for (uint32_t i = 0; i < CT_MAX_PAIRS - 3; ++i)
        ASSERT_EQ(CTkvs_PutInt(full.Handle(), 0x7F000000 + i, 0, nullptr), CT_SUCCESS);
    EXPECT_FALSE(WriteDllService(full.Handle(), DllServiceFields{}));
    const std::vector<CTsymbol> keys = full.Keys();
    ASSERT_EQ(keys.size(), CT_MAX_PAIRS);
    EXPECT_EQ(keys[CT_MAX_PAIRS - 3], SVC_DLLPath);
    EXPECT_EQ(keys[CT_MAX_PAIRS - 1], SVC_ProcessName);
}

TEST(ServiceDefinitionTest, NameCheckRefusesLongNamesAndSpacesOnly) {
    EXPECT_EQ(CheckServiceName(""), ServiceNameCheck::Ok);
    EXPECT_EQ(CheckServiceName(std::string(32, 'a')), ServiceNameCheck::Ok);
    EXPECT_EQ(CheckServiceName(std::string(33, 'a')), ServiceNameCheck::TooLong);
    EXPECT_EQ(CheckServiceName("my service"), ServiceNameCheck::HasSpace);
    EXPECT_EQ(CheckServiceName(std::string("my\0service", 10)), ServiceNameCheck::HasNul);
}

}  // namespace

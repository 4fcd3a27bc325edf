// The example profiles under data/, read the way the profile checker and the service dialogs
// read them: through the C API on a handle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "s100/kvs/handles.h"
#include "s100/kvs/profile_file.h"

namespace s100 {
namespace {

// Reads a data file, checks that it prints and parses back the same, and hands it out as a
// handle the test owns.
class ExampleProfile final {
public:
    explicit ExampleProfile(const std::string& file) {
        FileError error;
        const std::optional<ProfileFile> read =
            readProfileFile(std::string(TLV_SOURCE_DIR) + "/tests/s100_kvs/data/" + file, error);
        EXPECT_TRUE(read) << error.message;
        if (!read) {
            return;
        }
        profile_ = *read;
        std::string text;
        EXPECT_EQ(printProfileFile(profile_, text), CTerr_NoError);
        ParseError parseError;
        const std::optional<ProfileFile> again = parseProfileFile(text, parseError);
        EXPECT_TRUE(again) << parseError.text();
        EXPECT_EQ(again, read);
        EXPECT_EQ(makeHandle(profile_.contents, handle_), CTerr_NoError);
    }
    ~ExampleProfile() { CTkvs_Destroy(handle_, nullptr); }
    ExampleProfile(const ExampleProfile&) = delete;
    ExampleProfile& operator=(const ExampleProfile&) = delete;

    const ProfileFile& profile() const { return profile_; }
    CTkvs handle() const { return handle_; }

private:
    ProfileFile profile_;
    CTkvs handle_ = 0;
};

std::string stringOf(CTkvs set, CTsymbol key) {
    const char* text = nullptr;
    EXPECT_EQ(CTkvs_GetString(set, key, &text, nullptr), CT_SUCCESS) << std::hex << key;
    return text != nullptr ? text : "";
}

std::vector<std::string> stringsOf(CTary array) {
    const char* const* strings = nullptr;
    uint32_t count = 0;
    EXPECT_EQ(CTary_GetString(array, &strings, &count, nullptr), CT_SUCCESS);
    return std::vector<std::string>(strings, strings + count);
}

std::vector<std::string> stringArrayOf(CTkvs set, CTsymbol key) {
    const char* const* strings = nullptr;
    uint32_t count = 0;
    EXPECT_EQ(CTkvs_GetStringArray(set, key, &strings, &count, nullptr), CT_SUCCESS);
    return std::vector<std::string>(strings, strings + count);
}

std::vector<CTkvs> setsOf(CTkvs set, CTsymbol key) {
    const CTkvs* sets = nullptr;
    uint32_t count = 0;
    EXPECT_EQ(CTkvs_GetKVSetArray(set, key, &sets, &count, nullptr), CT_SUCCESS);
    return std::vector<CTkvs>(sets, sets + count);
}

TEST(ExampleProfiles, ApplicationProfileReadsAsTheCheckerReadsIt) {
    const ExampleProfile app("app_profile.ief");
    EXPECT_EQ(app.profile().name, "SalesApp");
    EXPECT_EQ(app.profile().profileClass, "Application");

    const std::vector<CTkvs> asis = setsOf(app.handle(), KEY_AsiList);
    ASSERT_EQ(asis.size(), 2u);
    EXPECT_EQ(stringOf(asis[1], KEY_AsiName), "A2");
    EXPECT_EQ(stringOf(asis[1], KEY_AsiGroupSet), "GS2");
    EXPECT_EQ(stringOf(asis[0], KEY_AsiDefaultConfig), "CFG1");

    CTary groupSets = 0;
    const CTary* elements = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(CTkvs_GetArray(app.handle(), KEY_GroupSets, &groupSets, nullptr), CT_SUCCESS);
    ASSERT_EQ(CTary_GetArray(groupSets, &elements, &count, nullptr), CT_SUCCESS);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(stringsOf(elements[0]),
              std::vector<std::string>({"GS1", "R1", "CFG1=R1&R2", "CFG1B=R1"}));
    EXPECT_EQ(stringsOf(elements[1]), std::vector<std::string>({"GS2", "R3", "CFG2=R3"}));
    EXPECT_EQ(stringArrayOf(app.handle(), KEY_Resources),
              std::vector<std::string>({"R1=board1", "R2=board2", "R3=board3:line\t2"}));
}

TEST(ExampleProfiles, AsiMapReadsAsTheCheckerReadsIt) {
    const ExampleProfile map("asi_map.ief");
    EXPECT_EQ(map.profile().profileClass, "SCR_ASIMap");
    const std::vector<CTkvs> mappings = setsOf(map.handle(), KEY_Mappings);
    ASSERT_EQ(mappings.size(), 2u);
    CTkvs source = 0;
    ASSERT_EQ(CTkvs_GetKVSet(mappings[0], KEY_MapSource, &source, nullptr), CT_SUCCESS);
    EXPECT_EQ(stringOf(source, KEY_EndpointProfile), "SCR_AppProfile");
    EXPECT_EQ(stringOf(source, KEY_EndpointAsi), "Router");
    const std::vector<CTkvs> destinations = setsOf(mappings[0], KEY_MapDestinations);
    ASSERT_EQ(destinations.size(), 2u);
    EXPECT_EQ(stringOf(destinations[1], KEY_EndpointAsi), "A2");
    EXPECT_TRUE(setsOf(mappings[1], KEY_MapDestinations).empty());
}

TEST(ExampleProfiles, RoutingRulesReadAsTheCheckerReadsThem) {
    const ExampleProfile rules("routing_rules.ief");
    EXPECT_EQ(rules.profile().profileClass, "SCR_RoutingRules");
    const std::vector<CTkvs> inbound = setsOf(rules.handle(), KEY_InboundRules);
    ASSERT_EQ(inbound.size(), 2u);
    EXPECT_EQ(stringArrayOf(inbound[0], KEY_RuleDevices),
              std::vector<std::string>({"dev1", "dev2"}));
    EXPECT_EQ(stringOf(inbound[1], KEY_AsiName), "A2");
    const std::vector<CTkvs> outbound = setsOf(rules.handle(), KEY_OutboundRules);
    ASSERT_EQ(outbound.size(), 1u);
    EXPECT_EQ(stringArrayOf(outbound[0], KEY_RuleDevices), std::vector<std::string>({"dev4"}));
}

TEST(ExampleProfiles, ExecutableServiceReadsAsTheServiceDialogReadsIt) {
    const ExampleProfile service("exe_service.ief");
    EXPECT_EQ(service.profile().name, "Recorder");
    EXPECT_EQ(service.profile().profileClass, "TLVS_Service");
    const CTkvs set = service.handle();
    CTsymbol symbol = 0;
    CTbool word = 9;
    int32_t number = 0;
    uint32_t processor = 0;
    ASSERT_EQ(CTkvs_GetSymbol(set, SVC_Kind, &symbol, nullptr), CT_SUCCESS);
    EXPECT_EQ(symbol, SVC_KindExecutable);
    ASSERT_EQ(CTkvs_GetSymbol(set, SVC_StartType, &symbol, nullptr), CT_SUCCESS);
    EXPECT_EQ(symbol, SVC_Mandatory);
    ASSERT_EQ(CTkvs_GetBool(set, SVC_Disabled, &word, nullptr), CT_SUCCESS);
    EXPECT_EQ(word, 0u);
    ASSERT_EQ(CTkvs_GetBool(set, SVC_DetectHangs, &word, nullptr), CT_SUCCESS);
    EXPECT_EQ(word, 1u);
    EXPECT_EQ(stringOf(set, SVC_CommandLine), "/opt/telvane/bin/recorder --channels 8");
    EXPECT_EQ(stringOf(set, SVC_MachineName), "node1");
    ASSERT_EQ(CTkvs_GetUInt(set, SVC_Processor, &processor, nullptr), CT_SUCCESS);
    EXPECT_EQ(processor, 2u);
    const std::pair<CTsymbol, int32_t> numbers[] = {{SVC_EmergencyTimeout, 120},
                                                    {SVC_MaxRestarts, 3},
                                                    {SVC_StartTimeout, 15},
                                                    {SVC_ExitTimeout, 15}};
    for (const auto& [key, expected] : numbers) {
        ASSERT_EQ(CTkvs_GetInt(set, key, &number, nullptr), CT_SUCCESS) << std::hex << key;
        EXPECT_EQ(number, expected);
    }
    uint32_t count = 0;
    CTkvs_GetCount(set, &count, nullptr);
    EXPECT_EQ(count, 11u) << "every key of an executable service, none of a DLL service";
}

}  // namespace
}  // namespace s100

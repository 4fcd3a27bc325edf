// The check run through ECTF_AdminSession against a real tlvsd, with the profiles imported
// from the .ief files of tests/checker/data.

#include <gtest/gtest.h>

#include <algorithm>

#include <memory>
#include <string>

#include "checker/profchck.h"
#include "platform/registry/regapi.h"
#include "s100/client/server_table.h"
#include "session/admsess.h"
#include "tests/checker/findings.h"
#include "tests/checker/parsed_set.h"
#include "tests/support/tlvsd_process.h"

namespace {

constexpr const char* kServerEntry = "CheckServer";

// An empty tlvsd on a loopback port, named by the administration table of a registry file in
// a temporary folder, and a session open to it.
class CheckServer final {
public:
    CheckServer() {
        const std::string registry = m_registryFolder.path() + "/registry.db";
        if (RegUseRegistryFile(registry) != ERROR_SUCCESS ||
            !m_server.start({"--data", m_data.path()})) {
            return;
        }
        const std::string connect = "tcp:127.0.0.1:" + std::to_string(m_server.port());
        HKEY table = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, tlv::client::kAdministrationServersKey, 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &table,
                            nullptr) != ERROR_SUCCESS) {
            return;
        }
        const LONG written = RegSetValueExA(table, kServerEntry, 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(connect.c_str()),
                                            static_cast<DWORD>(connect.size() + 1));
        RegCloseKey(table);
        if (written == ERROR_SUCCESS && tlv::test::installEntryKey(kServerEntry)) {
            m_session = std::make_unique<ECTF_AdminSession>(kServerEntry);
        }
    }

    // The session, or null (the test then fails) when the server or the session did not start.
    ECTF_AdminSession* Session() const {
        return m_session != nullptr && m_session->IsOK() != 0 ? m_session.get() : nullptr;
    }

private:
    tlv::test::TempDir m_registryFolder;
    tlv::test::TempDir m_data;
    tlv::test::TlvsdProcess m_server;
    std::unique_ptr<ECTF_AdminSession> m_session;
};

constexpr const char* kWrongStructure =
    "The profile could not be checked because it did not have the correct structure. Ensure "
    "that the profile stored under the correct profile class?";

struct RunOutcome {
    int result;
    std::vector<Finding> findings;
};

// A run the way given: Check, or CheckWholeAnswers.
RunOutcome RunCheck(ECTF_AdminSession& session,
                    int (ProfileChecker::*run)(Array<CheckMessage>&) = &ProfileChecker::Check) {
    Array<CheckMessage> messages;
    ProfileChecker checker(session);
    const int result = (checker.*run)(messages);
    return {result, FindingsOf(messages)};
}

// Imports folder/NAME.CLASS.ief as the profile NAME of class CLASS.
bool ImportFrom(ECTF_AdminSession& session, const char* folder, const char* name,
                const char* profileClass) {
    const std::string file =
        std::string(TLV_SOURCE_DIR) + "/" + folder + "/" + name + "." + profileClass + ".ief";
    return session.ImportProfile(file.c_str(), name, profileClass) != 0;
}

bool Import(ECTF_AdminSession& session, const char* name, const char* profileClass) {
    return ImportFrom(session, "tests/checker/data", name, profileClass);
}

TEST(CheckServerTest, EmptyServerHasNeitherMapNorRules) {
    const CheckServer server;
    ASSERT_NE(server.Session(), nullptr);
    ECTF_AdminSession& session = *server.Session();
    const RunOutcome run = RunCheck(session);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.findings,
              (std::vector<Finding>{
                  {CE_Error, "", "The ASI Map profile could not be found"},
                  {CE_Error, "", "The Routing Rules profile could not be found"},
                  {CE_Fatal, "", "An error occurred while extracting profile data from the Server"},
              }));
}

TEST(CheckServerTest, ImportedProfilesAreCheckedInServerOrder) {
    const CheckServer server;
    ASSERT_NE(server.Session(), nullptr);
    ECTF_AdminSession& session = *server.Session();
    ASSERT_TRUE(Import(session, "Sales", "Application"));
    ASSERT_TRUE(Import(session, "Fax", "Application"));
    ASSERT_TRUE(Import(session, "ZMap", "SCR_ASIMap"));
    ASSERT_TRUE(Import(session, "MainMap", "SCR_ASIMap"));
    ASSERT_TRUE(Import(session, "Rules", "SCR_RoutingRules"));

    // The server lists profiles by name: Fax before Sales, MainMap before ZMap.
    const RunOutcome run = RunCheck(session);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(
        run.findings,
        (std::vector<Finding>{
            {CE_Fatal, "Fax", std::string("Fax: ") + kWrongStructure},
            {CE_Error, "Sales",
             "Sales: The Group Set GS9, specifed in ASI A2, has not been defined"},
            {CE_Error, "Sales",
             "Sales: The Default Configuration (CFG1) for ASI A2 does not exist in Group Set GS9"},
            {CE_Info, "Sales",
             "Sales: The Group Configuration CFG2 in Group Set GS1 is not used in "
             "any ASI"},
            {CE_Error, "Sales", "Sales: The Resource R3 has not been defined in this profile"},
            {CE_Info, "Sales", "Sales: The Resource R4 is defined but not used"},
            {CE_Warning, "SCR_ASIMap",
             "SCR_ASIMap: Was a one-to-one mapping intended for Sales:A2?"},
            {CE_Error, "SCR_AppProfile",
             "SCR_AppProfile: The Routing Rules ASI IN2 is not mapped in the ASI Map"},
            {CE_Error, "SCR_ASIMap",
             "SCR_ASIMap: The Application Profile SCR_AppProfile is mentioned in the ASI Map but "
             "does "
             "not exist"},
        }));
}

// The demo data set's profiles that the checker reads give a first check with a finding of
// every severity.
TEST(CheckServerTest, DemoSeedShowsEverySeverity) {
    const CheckServer server;
    ASSERT_NE(server.Session(), nullptr);
    ECTF_AdminSession& session = *server.Session();
    const std::pair<const char*, const char*> profiles[] = {
        {"Broken_IVR", "Application"},  {"Default_Voice", "Application"},
        {"Fax_Inbound", "Application"}, {"SCR_AppProfile", "Application"},
        {"Sales", "Application"},       {"Support", "Application"},
        {"Main", "SCR_ASIMap"},         {"Main", "SCR_RoutingRules"},
    };
    for (const auto& [name, profileClass] : profiles) {
        ASSERT_TRUE(ImportFrom(session, "server/seed/demo", name, profileClass)) << name;
    }
    const RunOutcome run = RunCheck(session);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(
        run.findings,
        (std::vector<Finding>{
            {CE_Fatal, "Broken_IVR", std::string("Broken_IVR: ") + kWrongStructure},
            {CE_Error, "Support",
             "Support: The Default Configuration (NightCfg) for ASI S2 does not "
             "exist in Group Set SupportGroups"},
            {CE_Info, "Support",
             "Support: The Group Configuration SpareCfg in Group Set "
             "SupportGroups is not used in any ASI"},
            {CE_Error, "Support",
             "Support: The Resource Headset has not been defined in this profile"},
            {CE_Info, "Support", "Support: The Resource Recorder is defined but not used"},
            {CE_Warning, "Support",
             "Support: The ASI S2 in profile Support is not a 'destination' in the ASI Map"},
            {CE_Error, "SCR_AppProfile",
             "SCR_AppProfile: The Routing Rules ASI Inbound_Night is not mapped in the ASI Map"},
            {CE_Error, "SCR_ASIMap",
             "SCR_ASIMap: The Profile:ASI combination Broken_IVR:Menu2 "
             "mentioned in the ASI Map does not exist"},
        }));
}

// Application profiles of about 600 kB each (a long value under a key the checker does not
// read), so that 20 of them answer in several parts; every third has a missing group set, every
// other an unused resource, and the map names a profile that does not exist.
void AddProfilesForParts(ECTF_AdminSession& session, int count) {
    const std::string padding = "KEY_EndpointProfile: \"" + std::string(600 * 1024, 'p') + "\"";
    for (int i = 0; i < count; ++i) {
        const std::string groupSet = i % 3 == 0 ? "GS9" : "GS1";
        const std::string resources = i % 2 == 0 ? "\"R1=b\" \"R4=b\"" : "\"R1=b\"";
        const ParsedSet contents("{ KEY_AsiList: [ { KEY_AsiName: \"A1\" KEY_AsiGroupSet: \"" +
                                 groupSet +
                                 "\" KEY_AsiDefaultConfig: \"CFG1\" } ] "
                                 "KEY_GroupSets: [ [ \"GS1\" \"R1\" \"CFG1=R1\" ] ] "
                                 "KEY_Resources: [ " +
                                 resources + " ] " + padding + " }");
        const std::string name = "App" + std::to_string(100 + i);
        ASSERT_NE(session.AddProfile(name.c_str(), "Application", contents), 0) << name;
    }
    const ParsedSet map(R"({ KEY_Mappings: [
        { KEY_MapSource: { KEY_EndpointProfile: "SCR_AppProfile" KEY_EndpointAsi: "X" }
          KEY_MapDestinations: [ { KEY_EndpointProfile: "App100" KEY_EndpointAsi: "A1" }
                                 { KEY_EndpointProfile: "Ghost" KEY_EndpointAsi: "G1" } ] } ] })");
    const ParsedSet rules(R"({ KEY_InboundRules: [ { KEY_AsiName: "X" KEY_RuleDevices: [ "L1" ] }
                                                 { KEY_AsiName: "Y" KEY_RuleDevices: [ "L2" ] } ] })");
    ASSERT_NE(session.AddProfile("Map", "SCR_ASIMap", map), 0);
    ASSERT_NE(session.AddProfile("Rules", "SCR_RoutingRules", rules), 0);
}

CTstatus CountPart(CTkvs, void* context) {
    ++*static_cast<int*>(context);
    return CT_SUCCESS;
}

TEST(CheckServerTest, ApplicationsAnsweredInPartsGiveTheFindingsOfTheWholeAnswer) {
    const CheckServer server;
    ASSERT_NE(server.Session(), nullptr);
    ECTF_AdminSession& session = *server.Session();
    constexpr int kProfiles = 20;
    ASSERT_NO_FATAL_FAILURE(AddProfilesForParts(session, kProfiles));
    int parts = 0;
    ASSERT_NE(session.GetProfileInfoInParts("", "Application", 1, CountPart, &parts), 0);
    EXPECT_GE(parts, 2);

    const RunOutcome inParts = RunCheck(session);
    const RunOutcome whole = RunCheck(session, &ProfileChecker::CheckWholeAnswers);
    EXPECT_EQ(inParts.result, 1);
    EXPECT_EQ(inParts.result, whole.result);
    EXPECT_EQ(inParts.findings, whole.findings);
    // Per profile: two for a missing group set, one for an unused resource, one for an ASI that
    // is no destination (all but App100); then the map's and the rules' findings.
    EXPECT_GT(inParts.findings.size(), std::size_t{kProfiles * 2});
    ASSERT_FALSE(inParts.findings.empty());
    EXPECT_EQ(inParts.findings.front().profile, "App100");

    // The run tells its progress after each part: growing counts that end at every profile.
    std::vector<std::size_t> told;
    Array<CheckMessage> messages;
    ProfileChecker checker(session);
    checker.SetProgress([&told](std::size_t checked) { told.push_back(checked); });
    checker.Check(messages);
    EXPECT_EQ(told.size(), static_cast<std::size_t>(parts));
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told.back(), std::size_t{kProfiles});
}

}  // namespace

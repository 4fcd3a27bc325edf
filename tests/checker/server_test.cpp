// The check run through ECTF_AdminSession against a real tlvsd, with the profiles imported
// from the .ief files of tests/checker/data.

#include <gtest/gtest.h>

#include <string>

#include "checker/profchck.h"
#include "session/admsess.h"
#include "tests/checker/findings.h"
#include "tests/session/server_fixture.h"

namespace {

constexpr const char* kWrongStructure =
    "The profile could not be checked because it did not have the correct structure. Ensure "
    "that the profile stored under the correct profile class?";

struct RunOutcome {
    int result;
    std::vector<Finding> findings;
};

RunOutcome RunCheck(ECTF_AdminSession& session) {
    Array<CheckMessage> messages;
    ProfileChecker checker(session);
    const int result = checker.Check(messages);
    return {result, FindingsOf(messages)};
}

bool Import(ECTF_AdminSession& session, const char* name, const char* profileClass) {
    const std::string file = std::string(TLV_SOURCE_DIR) + "/tests/checker/data/" + name + "." +
                             profileClass + ".ief";
    return session.ImportProfile(file.c_str(), name, profileClass) != 0;
}

TEST(CheckServerTest, EmptyServerHasNeitherMapNorRules) {
    tlv::test::ServerFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    ECTF_AdminSession session(tlv::test::kServerEntry);
    ASSERT_EQ(session.IsOK(), 1);
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
    tlv::test::ServerFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    ECTF_AdminSession session(tlv::test::kServerEntry);
    ASSERT_EQ(session.IsOK(), 1);
    ASSERT_TRUE(Import(session, "Sales", "Application"));
    ASSERT_TRUE(Import(session, "Fax", "Application"));
    ASSERT_TRUE(Import(session, "ZMap", "SCR_ASIMap"));
    ASSERT_TRUE(Import(session, "MainMap", "SCR_ASIMap"));
    ASSERT_TRUE(Import(session, "Rules", "SCR_RoutingRules"));

    // The server lists profiles by name: Fax before Sales, MainMap before ZMap.
    const RunOutcome run = RunCheck(session);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.findings, (std::vector<Finding>{
        {CE_Fatal, "Fax", std::string("Fax: ") + kWrongStructure},
        {CE_Error, "Sales", "Sales: The Group Set GS9, specifed in ASI A2, has not been defined"},
        {CE_Error, "Sales",
         "Sales: The Default Configuration (CFG1) for ASI A2 does not exist in Group Set GS9"},
        {CE_Info, "Sales", "Sales: The Group Configuration CFG2 in Group Set GS1 is not used in "
                           "any ASI"},
        {CE_Error, "Sales", "Sales: The Resource R3 has not been defined in this profile"},
        {CE_Info, "Sales", "Sales: The Resource R4 is defined but not used"},
        {CE_Warning, "SCR_ASIMap", "SCR_ASIMap: Was a one-to-one mapping intended for Sales:A2?"},
        {CE_Error, "SCR_AppProfile",
         "SCR_AppProfile: The Routing Rules ASI IN2 is not mapped in the ASI Map"},
        {CE_Error, "SCR_ASIMap",
         "SCR_ASIMap: The Application Profile SCR_AppProfile is mentioned in the ASI Map but does "
         "not exist"},
    }));
}

}  // namespace

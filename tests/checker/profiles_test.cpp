// The three checkers of one profile each, on KV sets written in the text notation.

#include <gtest/gtest.h>

#include "checker/appcheck.h"
#include "checker/asicheck.h"
#include "checker/rrcheck.h"
#include "tests/checker/findings.h"
#include "tests/checker/parsed_set.h"

namespace {

constexpr const char* kWrongStructure =
    "The profile could not be checked because it did not have the correct structure. Ensure "
    "that the profile stored under the correct profile class?";

template <typename Checker>
std::vector<Finding> CheckProfile(Checker& checker, const char* name, const char* text,
                                  int expectedResult) {
    const ParsedSet profile(text);
    checker.Load(name, profile);
    Array<CheckMessage> messages;
    messages.Append(CheckMessage(CE_Info, "Earlier", "kept"));
    EXPECT_EQ(checker.Check(messages), expectedResult);
    std::vector<Finding> findings = FindingsOf(messages);
    EXPECT_EQ(findings.front(), (Finding{CE_Info, "Earlier", "kept"}));
    findings.erase(findings.begin());
    return findings;
}

std::vector<std::string> Texts(const Array<std::string>& list) {
    std::vector<std::string> texts;
    for (int i = 0; i < list.Size(); ++i) {
        texts.push_back(*list[i]);
    }
    return texts;
}

using Texts_ = std::vector<std::string>;

// ---- Application profiles ----

TEST(AppProfCheckerTest, UndefinedGroupSetGivesBothAsiFindings) {
    AppProfChecker checker;
    const auto findings = CheckProfile(checker, "Sales", R"({
        KEY_AsiList: [ { KEY_AsiName: "A1" KEY_AsiGroupSet: "GS9" KEY_AsiDefaultConfig: "CFG1" } ]
        KEY_GroupSets: [ [ "GS1" "R1" "CFG1=R1&R2" ] ]
        KEY_Resources: [ "R1=board1" "R2=board2" ] })",
                                       1);
    EXPECT_EQ(
        findings,
        (std::vector<Finding>{
            {CE_Error, "Sales",
             "Sales: The Group Set GS9, specifed in ASI A1, has not been defined"},
            {CE_Error, "Sales",
             "Sales: The Default Configuration (CFG1) for ASI A1 does not exist in Group Set GS9"},
            {CE_Info, "Sales", "Sales: The Group Set GS1 is not used in any ASI"},
        }));
    EXPECT_EQ(Texts(checker.GetASIList()), Texts_{"A1"});
    EXPECT_EQ(checker.ProfileName(), "Sales");
}

TEST(AppProfCheckerTest, ResourcesFromPrimariesAndExpressions) {
    // P is the primary resource of two group sets and undefined: two primary-resource findings
    // and two undefined-resource findings. "NONE" and the empty tokens of "(R1)" add nothing, " R2" keeps its blank,
    // ALLOCATED_BY_SCR is never defined, and "=z" defines the nameless resource.
    AppProfChecker checker;
    const auto findings = CheckProfile(checker, "Voice", R"P({
        KEY_AsiList: [ { KEY_AsiName: "A1" KEY_AsiGroupSet: "GS1" KEY_AsiDefaultConfig: "CFG1" }
                       { KEY_AsiName: "A2" KEY_AsiGroupSet: "GS2" KEY_AsiDefaultConfig: "CFG2" } ]
        KEY_GroupSets: [ [ "GS1" "P" "CFG1=(R1)" ] [ "GS2" "P" "CFG2=NONE" "CFG3=R1+ R2" ] ]
        KEY_Resources: [ "R1=x" "ALLOCATED_BY_SCR=y" "R3" "=z" ] })P",
                                       1);
    EXPECT_EQ(
        findings,
        (std::vector<Finding>{
            {CE_Error, "Voice",
             "Voice: The Primary Resource for Group Set GS1 has not been defined"},
            {CE_Error, "Voice",
             "Voice: The Primary Resource for Group Set GS2 has not been defined"},
            {CE_Info, "Voice",
             "Voice: The Group Configuration CFG3 in Group Set GS2 is not used in any ASI"},
            {CE_Error, "Voice", "Voice: The Resource P has not been defined in this profile"},
            {CE_Error, "Voice", "Voice: The Resource P has not been defined in this profile"},
            {CE_Error, "Voice", "Voice: The Resource  R2 has not been defined in this profile"},
            {CE_Info, "Voice", "Voice: The Resource R3 is defined but not used"},
            {CE_Info, "Voice", "Voice: The Resource  is defined but not used"},
        }));
}

TEST(AppProfCheckerTest, ProfileWithoutAsisAndGroupSetsWithoutConfigurations) {
    AppProfChecker checker;
    const auto findings = CheckProfile(checker, "Fax", R"({
        KEY_GroupSets: [ [ "GS1" "R1" ] [ "GS2" "R2" "C=R1" ] ]
        KEY_Resources: [ "R1=a" "R2=b" ] })",
                                       1);
    EXPECT_EQ(findings,
              (std::vector<Finding>{
                  {CE_Info, "Fax", "Fax: The Group Set GS1 is not used in any ASI"},
                  {CE_Info, "Fax", "Fax: The Group Set GS2 is not used in any ASI"},
                  {CE_Info, "Fax",
                   "Fax: The Group Configuration C in Group Set GS2 is not used in any ASI"},
              }));
    EXPECT_EQ(checker.GetASIList().Size(), 0);
}

TEST(AppProfCheckerTest, ConfigurationWithoutEqualsSignMatchesOnlyAnEmptyDefault) {
    AppProfChecker checker;
    const auto findings = CheckProfile(checker, "Plain", R"({
        KEY_AsiList: [ { KEY_AsiName: "A1" KEY_AsiGroupSet: "GS1" KEY_AsiDefaultConfig: "" }
                       { KEY_AsiName: "A2" KEY_AsiGroupSet: "GS1" KEY_AsiDefaultConfig: "PLAIN" } ]
        KEY_GroupSets: [ [ "GS1" "R1" "PLAIN" ] ]
        KEY_Resources: [ "R1=a" ] })",
                                       1);
    EXPECT_EQ(
        findings,
        (std::vector<Finding>{
            {CE_Error, "Plain",
             "Plain: The Default Configuration (PLAIN) for ASI A2 does not exist in Group Set GS1"},
        }));
}

TEST(AppProfCheckerTest, NamesAreCaseSensitive) {
    AppProfChecker checker;
    const auto findings = CheckProfile(checker, "Case", R"({
        KEY_AsiList: [ { KEY_AsiName: "A1" KEY_AsiGroupSet: "gs1" KEY_AsiDefaultConfig: "CFG1" } ]
        KEY_GroupSets: [ [ "GS1" "R1" "CFG1=r1" ] ]
        KEY_Resources: [ "R1=a" ] })",
                                       1);
    EXPECT_EQ(
        findings,
        (std::vector<Finding>{
            {CE_Error, "Case", "Case: The Group Set gs1, specifed in ASI A1, has not been defined"},
            {CE_Error, "Case",
             "Case: The Default Configuration (CFG1) for ASI A1 does not exist in Group Set gs1"},
            {CE_Info, "Case", "Case: The Group Set GS1 is not used in any ASI"},
            {CE_Error, "Case", "Case: The Resource r1 has not been defined in this profile"},
        }));
}

TEST(AppProfCheckerTest, WrongStructureGivesOnlyTheFatalFinding) {
    const char* const profiles[] = {
        // a group set of one string, besides an undefined group set
        R"({ KEY_AsiList: [ { KEY_AsiName: "A1" KEY_AsiGroupSet: "GS9" KEY_AsiDefaultConfig: "C" } ]
             KEY_GroupSets: [ [ "GS1" ] ] KEY_Resources: [ "R1=a" ] })",
        // an ASI without its default configuration
        R"({ KEY_AsiList: [ { KEY_AsiName: "A1" KEY_AsiGroupSet: "GS1" } ]
             KEY_GroupSets: [ [ "GS1" "R1" ] ] KEY_Resources: [ "R1=a" ] })",
        // no group sets
        R"({ KEY_AsiList: [ ] KEY_Resources: [ "R1=a" ] })",
        // group sets that are not arrays of strings
        R"({ KEY_GroupSets: [ "GS1" "R1" ] KEY_Resources: [ "R1=a" ] })",
        // no resource list
        R"({ KEY_AsiList: [ { KEY_AsiName: "A1" KEY_AsiGroupSet: "GS1" KEY_AsiDefaultConfig: "C" } ]
             KEY_GroupSets: [ [ "GS1" "R1" "C=R1" ] ] })",
    };
    for (const char* text : profiles) {
        AppProfChecker checker;
        EXPECT_EQ(CheckProfile(checker, "Bad", text, 0),
                  (std::vector<Finding>{{CE_Fatal, "Bad", std::string("Bad: ") + kWrongStructure}}))
            << text;
    }
    // An ASI list that is not a list of KV sets reads as no ASIs, which is no structural fault.
    AppProfChecker stringAsis;
    EXPECT_TRUE(CheckProfile(stringAsis, "Odd",
                             R"({ KEY_AsiList: [ "A1" ] KEY_GroupSets: [ ] KEY_Resources: [ ] })",
                             1)
                    .empty());

    // What could be read still serves the rules across profiles.
    AppProfChecker checker;
    CheckProfile(checker, "Bad", profiles[0], 0);
    EXPECT_EQ(Texts(checker.GetASIList()), Texts_{"A1"});
}

// ---- ASI map ----

TEST(ASIMapCheckerTest, EmptyMappingListGivesNothing) {
    ASIMapChecker checker;
    EXPECT_TRUE(CheckProfile(checker, "SCR_ASIMap", "{ KEY_Mappings: [ ] }", 1).empty());
    EXPECT_EQ(checker.GetDestASIList().Size(), 0);
    EXPECT_EQ(checker.GetSourceProfiles().Size(), 0);
    EXPECT_EQ(checker.GetSourceASIs("SCR_AppProfile").Size(), 0);
}

TEST(ASIMapCheckerTest, SelfMappingsAndEndpointLists) {
    ASIMapChecker checker;
    const auto findings = CheckProfile(checker, "SCR_ASIMap", R"({ KEY_Mappings: [
        { KEY_MapSource: { KEY_EndpointProfile: "Sales" KEY_EndpointAsi: "A1" }
          KEY_MapDestinations: [ { KEY_EndpointProfile: "Sales" KEY_EndpointAsi: "A1" }
                                 { KEY_EndpointProfile: "sales" KEY_EndpointAsi: "A1" }
                                 { KEY_EndpointProfile: "Sales" KEY_EndpointAsi: "A1" } ] }
        { KEY_MapSource: { KEY_EndpointProfile: "Sales" KEY_EndpointAsi: "A2" }
          KEY_MapDestinations: [ { KEY_EndpointProfile: "Fax" KEY_EndpointAsi: "F1" } ] }
        { KEY_MapSource: { KEY_EndpointProfile: "Sales" KEY_EndpointAsi: "A1" }
          KEY_MapDestinations: [ { KEY_EndpointProfile: "Fax" KEY_EndpointAsi: "F1" } ] } ] })",
                                       1);
    EXPECT_EQ(findings, (std::vector<Finding>{
                            {CE_Warning, "SCR_ASIMap",
                             "SCR_ASIMap: Was a one-to-one mapping intended for Sales:A1?"},
                            {CE_Warning, "SCR_ASIMap",
                             "SCR_ASIMap: Was a one-to-one mapping intended for Sales:A1?"},
                        }));
    EXPECT_EQ(Texts(checker.GetDestASIList()),
              (Texts_{"Sales:A1", "sales:A1", "Sales:A1", "Fax:F1", "Fax:F1"}));
    EXPECT_EQ(Texts(checker.GetSourceProfiles()), (Texts_{"Sales", "Sales", "Sales"}));
    EXPECT_EQ(Texts(checker.GetSourceASIs("Sales")), (Texts_{"A1", "A2", "A1"}));
    EXPECT_EQ(checker.GetSourceASIs("sales").Size(), 0);
}

TEST(ASIMapCheckerTest, MissingPartsGiveTheFatalFindingAndKeepWhatWasRead) {
    const char* const maps[] = {
        "{ }",
        R"({ KEY_Mappings: [ { KEY_MapDestinations: [ ] } ] })",
        R"({ KEY_Mappings: [ { KEY_MapSource: { KEY_EndpointProfile: "P" KEY_EndpointAsi: "A" } } ] })",
        R"({ KEY_Mappings: [ { KEY_MapSource: { KEY_EndpointProfile: "P" }
                               KEY_MapDestinations: [ ] } ] })",
    };
    for (const char* text : maps) {
        ASIMapChecker checker;
        EXPECT_EQ(CheckProfile(checker, "SCR_ASIMap", text, 0),
                  (std::vector<Finding>{
                      {CE_Fatal, "SCR_ASIMap", std::string("SCR_ASIMap: ") + kWrongStructure}}))
            << text;
    }
    // A destination without its ASI: its profile is listed with an empty ASI.
    ASIMapChecker checker;
    CheckProfile(checker, "SCR_ASIMap", R"({ KEY_Mappings: [
        { KEY_MapSource: { KEY_EndpointProfile: "SCR_AppProfile" KEY_EndpointAsi: "X" }
          KEY_MapDestinations: [ { KEY_EndpointProfile: "App1" } ] } ] })",
                 0);
    EXPECT_EQ(Texts(checker.GetDestASIList()), Texts_{"App1:"});
    EXPECT_EQ(Texts(checker.GetSourceASIs("SCR_AppProfile")), Texts_{"X"});
}

// ---- Routing rules ----

constexpr const char* kNoRules = "SCR_RoutingRules: There are no inbound or outbound routing rules";

TEST(RRProfCheckerTest, WarnsWhenNoRuleNamesADevice) {
    RRProfChecker none;
    EXPECT_EQ(CheckProfile(none, "SCR_RoutingRules", "{ }", 1),
              (std::vector<Finding>{{CE_Warning, "SCR_RoutingRules", kNoRules}}));

    RRProfChecker deviceless;
    EXPECT_EQ(CheckProfile(deviceless, "SCR_RoutingRules", R"({
        KEY_InboundRules: [ { KEY_AsiName: "X" } { KEY_AsiName: "Y" KEY_RuleDevices: [ ] } ] })",
                           1),
              (std::vector<Finding>{{CE_Warning, "SCR_RoutingRules", kNoRules}}));
    EXPECT_EQ(Texts(deviceless.GetInboundASIList()), (Texts_{"X", "Y"}));

    RRProfChecker outbound;
    EXPECT_TRUE(CheckProfile(outbound, "SCR_RoutingRules", R"({
        KEY_OutboundRules: [ { KEY_RuleDevices: [ "Line1" ] } ] })",
                             1)
                    .empty());
}

TEST(RRProfCheckerTest, OutboundRuleNeedsDevicesAndInboundRuleItsAsi) {
    const std::vector<Finding> fatal{
        {CE_Fatal, "SCR_RoutingRules", std::string("SCR_RoutingRules: ") + kWrongStructure}};
    RRProfChecker outbound;
    EXPECT_EQ(CheckProfile(outbound, "SCR_RoutingRules", R"({
        KEY_InboundRules: [ { KEY_AsiName: "X" KEY_RuleDevices: [ "Line1" ] } ]
        KEY_OutboundRules: [ { } ] })",
                           0),
              fatal);

    RRProfChecker inbound;
    EXPECT_EQ(CheckProfile(inbound, "SCR_RoutingRules", R"({
        KEY_InboundRules: [ { KEY_RuleDevices: [ "Line1" ] } { KEY_AsiName: "Y" } ] })",
                           0),
              fatal);
    EXPECT_EQ(Texts(inbound.GetInboundASIList()), Texts_{"Y"});
}

}  // namespace

// The whole run over query results written in the text notation: the run's own findings, the
// order of the profiles' findings, and the rules across profiles.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "checker/apprun.h"
#include "checker/profchck.h"
#include "tests/checker/findings.h"
#include "tests/checker/parsed_set.h"

// AddressSanitizer keeps its own operator new; the allocation failures are tested without it.
#if defined(__SANITIZE_ADDRESS__)
#define TLV_REPLACES_OPERATOR_NEW 0
#else
#define TLV_REPLACES_OPERATOR_NEW 1
#endif

namespace {

// While positive: the allocations still to go before one fails (that one included).
long g_allocationsBeforeFailure = 0;

}  // namespace

#if TLV_REPLACES_OPERATOR_NEW
namespace {

void* Allocate(std::size_t size) {
    if (g_allocationsBeforeFailure > 0 && --g_allocationsBeforeFailure == 0)
        throw std::bad_alloc();
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}

}  // namespace

// Every allocation of this test program comes here, so a test can make one of them fail.
void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
#endif

namespace {

constexpr const char* kAsiMapMissing = "The ASI Map profile could not be found";
constexpr const char* kRulesMissing = "The Routing Rules profile could not be found";
constexpr const char* kExtractionFailed =
    "An error occurred while extracting profile data from the Server";
constexpr const char* kScrSourceMissing =
    "SCR_ASIMap: The Application Profile SCR_AppProfile is mentioned in the ASI Map but does not "
    "exist";

// A consistent application profile App1 with ASI A1, and a map and rules that fit it.
constexpr const char* kApp1 = R"({
    KEY_AsiList: [ { KEY_AsiName: "A1" KEY_AsiGroupSet: "GS1" KEY_AsiDefaultConfig: "CFG1" } ]
    KEY_GroupSets: [ [ "GS1" "R1" "CFG1=R1" ] ]
    KEY_Resources: [ "R1=board1" ] })";
constexpr const char* kMapX = R"({ KEY_Mappings: [
    { KEY_MapSource: { KEY_EndpointProfile: "SCR_AppProfile" KEY_EndpointAsi: "X" }
      KEY_MapDestinations: [ { KEY_EndpointProfile: "App1" KEY_EndpointAsi: "A1" } ] } ] })";
constexpr const char* kRulesX =
    R"({ KEY_InboundRules: [ { KEY_AsiName: "X" KEY_RuleDevices: [ "Line1" ] } ] })";

// The result of a query that found the given profiles (names and contents written out).
std::string Found(std::initializer_list<std::pair<const char*, const char*>> profiles) {
    std::string names;
    std::string contents;
    for (const auto& [name, text] : profiles) {
        names += std::string(" \"") + name + '"';
        contents += std::string(" ") + text;
    }
    return "{ KEY_ProfileNames: [" + names + " ] KEY_ProfileContents: [" + contents + " ] }";
}

struct RunOutcome {
    int result;
    std::vector<Finding> findings;
};

RunOutcome RunChecker(const ProfileQueryResult& apps, const ProfileQueryResult& map,
                      const ProfileQueryResult& rules) {
    Array<CheckMessage> messages;
    const int result = ProfileChecker::CheckQueried(apps, map, rules, messages);
    return {result, FindingsOf(messages)};
}

// The three queries, each found with the given text.
RunOutcome RunFound(const std::string& apps, const std::string& map, const std::string& rules) {
    const ParsedSet appSet(apps);
    const ParsedSet mapSet(map);
    const ParsedSet rulesSet(rules);
    return RunChecker({QueryOutcome::Found, appSet}, {QueryOutcome::Found, mapSet},
                      {QueryOutcome::Found, rulesSet});
}

const ParsedSet& EmptySet() {
    static const ParsedSet empty("{ }");
    return empty;
}

TEST(CheckRunTest, MissingAsiMapGivesTwoFindingsAndChecksNothing) {
    const ParsedSet apps(Found({{"Broken", "{ }"}}));
    const ParsedSet rules(Found({{"SCR_RoutingRules", "{ }"}}));
    for (const QueryOutcome mapOutcome : {QueryOutcome::NothingFound, QueryOutcome::Failed}) {
        const RunOutcome run = RunChecker({QueryOutcome::Found, apps}, {mapOutcome, EmptySet()},
                                          {QueryOutcome::Found, rules});
        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(run.findings, (std::vector<Finding>{{CE_Error, "", kAsiMapMissing},
                                                      {CE_Fatal, "", kExtractionFailed}}));
    }
    // A query that succeeded without contents, or with no element, finds no map either.
    const ParsedSet noContents("{ KEY_ProfileNames: [ \"M\" ] }");
    const ParsedSet noElement(Found({}));
    for (const ParsedSet* map : {&noContents, &noElement}) {
        const RunOutcome run = RunChecker({QueryOutcome::Found, apps}, {QueryOutcome::Found, *map},
                                          {QueryOutcome::Found, rules});
        EXPECT_EQ(run.findings, (std::vector<Finding>{{CE_Error, "", kAsiMapMissing},
                                                      {CE_Fatal, "", kExtractionFailed}}));
    }
}

TEST(CheckRunTest, BothMissingGiveThreeFindings) {
    const ParsedSet apps(Found({{"App1", kApp1}}));
    const RunOutcome run =
        RunChecker({QueryOutcome::Found, apps}, {QueryOutcome::Failed, EmptySet()},
                   {QueryOutcome::NothingFound, EmptySet()});
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.findings, (std::vector<Finding>{{CE_Error, "", kAsiMapMissing},
                                                  {CE_Error, "", kRulesMissing},
                                                  {CE_Fatal, "", kExtractionFailed}}));
}

TEST(CheckRunTest, MissingRoutingRulesAloneGiveTheirFindingAndTheFatalOne) {
    const ParsedSet apps(Found({{"App1", kApp1}}));
    const ParsedSet map(Found({{"M", kMapX}}));
    for (const QueryOutcome rulesOutcome : {QueryOutcome::NothingFound, QueryOutcome::Failed}) {
        const RunOutcome run = RunChecker({QueryOutcome::Found, apps}, {QueryOutcome::Found, map},
                                          {rulesOutcome, EmptySet()});
        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(run.findings, (std::vector<Finding>{{CE_Error, "", kRulesMissing},
                                                      {CE_Fatal, "", kExtractionFailed}}));
    }
}

// Two reasons for the fatal finding still give it once, after the missing map's finding.
TEST(CheckRunTest, AFailedApplicationQueryAndAMissingMapGiveTheFatalFindingOnce) {
    const ParsedSet rules(Found({{"R", kRulesX}}));
    const RunOutcome run =
        RunChecker({QueryOutcome::Failed, EmptySet()}, {QueryOutcome::NothingFound, EmptySet()},
                   {QueryOutcome::Found, rules});
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.findings, (std::vector<Finding>{{CE_Error, "", kAsiMapMissing},
                                                  {CE_Fatal, "", kExtractionFailed}}));
}

TEST(CheckRunTest, UnreadableApplicationProfilesAreAnExtractionFailure) {
    const ParsedSet map(Found({{"M", kMapX}}));
    const ParsedSet rules(Found({{"R", kRulesX}}));
    const ParsedSet noNames("{ KEY_ProfileContents: [ { } ] }");
    const ParsedSet fewerNames("{ KEY_ProfileNames: [ \"A\" ] KEY_ProfileContents: [ { } { } ] }");
    const std::vector<Finding> fatalOnly{{CE_Fatal, "", kExtractionFailed}};
    EXPECT_EQ(RunChecker({QueryOutcome::Failed, EmptySet()}, {QueryOutcome::Found, map},
                         {QueryOutcome::Found, rules})
                  .findings,
              fatalOnly);
    for (const ParsedSet* apps : {&noNames, &fewerNames}) {
        const RunOutcome run = RunChecker({QueryOutcome::Found, *apps}, {QueryOutcome::Found, map},
                                          {QueryOutcome::Found, rules});
        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(run.findings, fatalOnly);
    }
}

// More names than contents: the profiles are paired by index and the extra names not read.
TEST(CheckRunTest, NamesBeyondTheContentsAreNotRead) {
    const std::string moreNames = std::string("{ KEY_ProfileNames: [ \"App1\" \"Extra\" ] ") +
                                  "KEY_ProfileContents: [ " + kApp1 + " ] }";
    const RunOutcome run = RunFound(moreNames, Found({{"M", kMapX}}), Found({{"R", kRulesX}}));
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.findings, (std::vector<Finding>{{CE_Error, "SCR_ASIMap", kScrSourceMissing}}));
}

// The first allocations of a run load the application checkers: the array of checkers, then
// the copy of a name too long to be kept inside its string. Either failing leaves no
// application checkers, which is the fatal finding.
TEST(CheckRunTest, RunningOutOfMemoryWhileLoadingGivesTheFatalFinding) {
    if (!TLV_REPLACES_OPERATOR_NEW)
        GTEST_SKIP() << "allocation failures are not injected under AddressSanitizer";
    const ParsedSet apps(Found({{"ApplicationProfileNumberOne", kApp1}}));
    const ParsedSet map(Found({{"M", kMapX}}));
    const ParsedSet rules(Found({{"R", kRulesX}}));
    for (const long failing : {1, 2}) {
        Array<CheckMessage> messages;
        g_allocationsBeforeFailure = failing;
        const int result =
            ProfileChecker::CheckQueried({QueryOutcome::Found, apps}, {QueryOutcome::Found, map},
                                         {QueryOutcome::Found, rules}, messages);
        g_allocationsBeforeFailure = 0;
        EXPECT_EQ(result, 0) << failing;
        EXPECT_EQ(FindingsOf(messages), (std::vector<Finding>{{CE_Fatal, "", kExtractionFailed}}))
            << failing;
    }
}

TEST(CheckRunTest, NoApplicationProfilesStillRunsTheOtherChecks) {
    const ParsedSet map(Found({{"M", kMapX}}));
    const ParsedSet rules(Found({{"R", kRulesX}}));
    const ParsedSet emptyArrays(Found({}));
    const std::vector<Finding> expected{
        {CE_Error, "SCR_ASIMap", kScrSourceMissing},
        {CE_Error, "SCR_ASIMap",
         "SCR_ASIMap: The Profile:ASI combination App1:A1 mentioned in the ASI Map does not exist"},
    };
    const RunOutcome emptyQuery =
        RunChecker({QueryOutcome::Found, emptyArrays}, {QueryOutcome::Found, map},
                   {QueryOutcome::Found, rules});
    EXPECT_EQ(emptyQuery.result, 1);
    EXPECT_EQ(emptyQuery.findings, expected);
    // A server without application profiles answers "nothing found": the same run.
    EXPECT_EQ(RunChecker({QueryOutcome::NothingFound, EmptySet()}, {QueryOutcome::Found, map},
                         {QueryOutcome::Found, rules})
                  .findings,
              expected);
}

TEST(CheckRunTest, ConsistentDataLeavesOnlyTheScrSourceProfile) {
    const RunOutcome run =
        RunFound(Found({{"App1", kApp1}}), Found({{"M", kMapX}}), Found({{"R", kRulesX}}));
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.findings, (std::vector<Finding>{{CE_Error, "SCR_ASIMap", kScrSourceMissing}}));

    const std::string scrProfile = R"({ KEY_GroupSets: [ ] KEY_Resources: [ ] })";
    const RunOutcome withScr =
        RunFound(Found({{"App1", kApp1}, {"SCR_AppProfile", scrProfile.c_str()}}),
                 Found({{"M", kMapX}}), Found({{"R", kRulesX}}));
    EXPECT_TRUE(withScr.findings.empty());
}

TEST(CheckRunTest, FindingsFollowProfilesThenRulesThenMapThenAcrossProfiles) {
    // Errors in the profiles do not change the result. Only the first ASI map is checked, under
    // the class name; its second profile would give another warning.
    const std::string bad = R"({ KEY_AsiList: [ { KEY_AsiName: "B1" KEY_AsiGroupSet: "GS9"
                                                  KEY_AsiDefaultConfig: "C" } ]
                                 KEY_GroupSets: [ ] KEY_Resources: [ ] })";
    const std::string selfMap = R"({ KEY_Mappings: [
        { KEY_MapSource: { KEY_EndpointProfile: "App1" KEY_EndpointAsi: "A1" }
          KEY_MapDestinations: [ { KEY_EndpointProfile: "App1" KEY_EndpointAsi: "A1" } ] } ] })";
    const std::string otherMap = R"({ KEY_Mappings: [
        { KEY_MapSource: { KEY_EndpointProfile: "Zed" KEY_EndpointAsi: "Z" }
          KEY_MapDestinations: [ { KEY_EndpointProfile: "Zed" KEY_EndpointAsi: "Z" } ] } ] })";
    const RunOutcome run =
        RunFound(Found({{"App1", kApp1}, {"Bad", bad.c_str()}}),
                 Found({{"FirstMap", selfMap.c_str()}, {"SecondMap", otherMap.c_str()}}),
                 Found({{"Rules", "{ }"}}));
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(
        run.findings,
        (std::vector<Finding>{
            {CE_Error, "Bad", "Bad: The Group Set GS9, specifed in ASI B1, has not been defined"},
            {CE_Error, "Bad",
             "Bad: The Default Configuration (C) for ASI B1 does not exist in Group Set GS9"},
            {CE_Warning, "SCR_RoutingRules",
             "SCR_RoutingRules: There are no inbound or outbound routing rules"},
            {CE_Warning, "SCR_ASIMap",
             "SCR_ASIMap: Was a one-to-one mapping intended for App1:A1?"},
            {CE_Warning, "Bad",
             "Bad: The ASI B1 in profile Bad is not a 'destination' in the ASI Map"},
        }));
}

TEST(CheckRunTest, EachProfileIsCheckedOnItsOwnWhateverCameBefore) {
    // Uses names what App1 defined; Broken lacks its group sets; After is App1 again.
    const std::string uses = R"({
        KEY_AsiList: [ { KEY_AsiName: "U1" KEY_AsiGroupSet: "GS1" KEY_AsiDefaultConfig: "CFG1" } ]
        KEY_GroupSets: [ ] KEY_Resources: [ ] })";
    const std::string broken = R"({ KEY_AsiList: [ ] KEY_Resources: [ "R1=board1" ] })";
    const RunOutcome run = RunFound(
        Found({{"App1", kApp1}, {"Uses", uses.c_str()}, {"Broken", broken.c_str()},
               {"After", kApp1}}),
        Found({{"M", kMapX}}), Found({{"R", kRulesX}}));
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(
        run.findings,
        (std::vector<Finding>{
            {CE_Error, "Uses", "Uses: The Group Set GS1, specifed in ASI U1, has not been defined"},
            {CE_Error, "Uses",
             "Uses: The Default Configuration (CFG1) for ASI U1 does not exist in Group Set GS1"},
            {CE_Fatal, "Broken",
             "Broken: The profile could not be checked because it did not have the correct "
             "structure. Ensure that the profile stored under the correct profile class?"},
            {CE_Warning, "Uses",
             "Uses: The ASI U1 in profile Uses is not a 'destination' in the ASI Map"},
            {CE_Warning, "After",
             "After: The ASI A1 in profile After is not a 'destination' in the ASI Map"},
            {CE_Error, "SCR_ASIMap", kScrSourceMissing},
        }));
}

// Profiles taken in parts are checked as if taken whole: the same findings in the same order
// and the same names for the rules across profiles. A part that cannot be read fails the
// whole run, dropping what the parts before it gave.
TEST(ApplicationRunTest, PartsAddUpToTheWholeAndAnUnreadablePartFailsAll) {
    const std::string bad = R"({ KEY_AsiList: [ { KEY_AsiName: "B1" KEY_AsiGroupSet: "GS9"
                                                  KEY_AsiDefaultConfig: "C" } ]
                                 KEY_GroupSets: [ ] KEY_Resources: [ ] })";
    const auto namesOf = [](const ApplicationRun& run) {
        std::vector<std::string> names;
        for (std::size_t p = 0; p < run.Names().Count(); ++p) {
            names.emplace_back(run.Names().Profile(p));
            for (std::size_t a = 0; a < run.Names().AsiCount(p); ++a) {
                names.push_back("  " + std::string(run.Names().Asi(p, a)));
            }
        }
        return names;
    };
    const auto findingsOf = [](ApplicationRun& run) {
        Array<CheckMessage> messages;
        run.MoveFindingsTo(messages);
        return FindingsOf(messages);
    };
    ApplicationRun whole;
    ASSERT_TRUE(whole.TakeProfiles(
        ParsedSet(Found({{"Bad1", bad.c_str()}, {"App1", kApp1}, {"Bad2", bad.c_str()}}))));
    ApplicationRun inParts;
    ASSERT_TRUE(inParts.TakeProfiles(ParsedSet(Found({{"Bad1", bad.c_str()}}))));
    ASSERT_TRUE(inParts.TakeProfiles(ParsedSet(Found({{"App1", kApp1}, {"Bad2", bad.c_str()}}))));
    EXPECT_EQ(namesOf(inParts),
              (std::vector<std::string>{"Bad1", "  B1", "App1", "  A1", "Bad2", "  B1"}));
    EXPECT_EQ(namesOf(inParts), namesOf(whole));
    const std::vector<Finding> findings = findingsOf(inParts);
    EXPECT_EQ(findings.size(), 4u);
    EXPECT_EQ(findings, findingsOf(whole));
    EXPECT_EQ(findings[2].profile, "Bad2");

    ApplicationRun broken;
    ASSERT_TRUE(broken.TakeProfiles(ParsedSet(Found({{"Bad1", bad.c_str()}}))));
    EXPECT_FALSE(broken.TakeProfiles(ParsedSet("{ KEY_ProfileContents: [ { } ] }")));
    EXPECT_TRUE(broken.Failed());
    EXPECT_EQ(broken.Names().Count(), 0u);
    EXPECT_TRUE(findingsOf(broken).empty());
    EXPECT_FALSE(broken.TakeProfiles(ParsedSet(Found({{"App1", kApp1}}))));
}

TEST(CheckRunTest, RulesAcrossProfiles) {
    // App1:a1 differs from the destination App1:A1 only in case. Y is routed but mapped only
    // under the source profile Other. Z is mapped under SCR_AppProfile but routed nowhere.
    // Missing is the source of three mappings; Empty has no ASIs but exists. Ghost:G1 is a
    // destination in a profile that does not exist, App1:A1 one whose ASI is spelt a1.
    const std::string app1 = R"({
        KEY_AsiList: [ { KEY_AsiName: "a1" KEY_AsiGroupSet: "GS1" KEY_AsiDefaultConfig: "CFG1" } ]
        KEY_GroupSets: [ [ "GS1" "R1" "CFG1=R1" ] ]
        KEY_Resources: [ "R1=board1" ] })";
    const std::string empty = R"({ KEY_GroupSets: [ ] KEY_Resources: [ ] })";
    const std::string map = R"({ KEY_Mappings: [
        { KEY_MapSource: { KEY_EndpointProfile: "Other" KEY_EndpointAsi: "Y" }
          KEY_MapDestinations: [ { KEY_EndpointProfile: "App1" KEY_EndpointAsi: "A1" } ] }
        { KEY_MapSource: { KEY_EndpointProfile: "SCR_AppProfile" KEY_EndpointAsi: "Z" }
          KEY_MapDestinations: [ { KEY_EndpointProfile: "Ghost" KEY_EndpointAsi: "G1" } ] }
        { KEY_MapSource: { KEY_EndpointProfile: "Missing" KEY_EndpointAsi: "M1" }
          KEY_MapDestinations: [ ] }
        { KEY_MapSource: { KEY_EndpointProfile: "Empty" KEY_EndpointAsi: "E1" }
          KEY_MapDestinations: [ ] }
        { KEY_MapSource: { KEY_EndpointProfile: "Missing" KEY_EndpointAsi: "M2" }
          KEY_MapDestinations: [ ] }
        { KEY_MapSource: { KEY_EndpointProfile: "Missing" KEY_EndpointAsi: "M3" }
          KEY_MapDestinations: [ ] } ] })";
    const std::string rules = R"({ KEY_InboundRules: [
        { KEY_AsiName: "Y" KEY_RuleDevices: [ "Line1" ] } ] })";
    const std::string missing =
        "SCR_ASIMap: The Application Profile Missing is mentioned in the ASI Map but does not "
        "exist";
    const RunOutcome run = RunFound(Found({{"App1", app1.c_str()}, {"Empty", empty.c_str()}}),
                                    Found({{"M", map.c_str()}}), Found({{"R", rules.c_str()}}));
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(
        run.findings,
        (std::vector<Finding>{
            {CE_Warning, "App1",
             "App1: The ASI a1 in profile App1 is not a 'destination' in the ASI Map"},
            {CE_Error, "SCR_AppProfile",
             "SCR_AppProfile: The Routing Rules ASI Y is not mapped in the ASI Map"},
            {CE_Error, "SCR_AppProfile",
             "SCR_AppProfile: The SCR ASI Z is not mentioned in the Routing Rules   "},
            {CE_Error, "SCR_ASIMap",
             "SCR_ASIMap: The Application Profile Other is mentioned in the ASI Map but does not "
             "exist"},
            {CE_Error, "SCR_ASIMap", kScrSourceMissing},
            {CE_Error, "SCR_ASIMap", missing},
            {CE_Error, "SCR_ASIMap", missing},
            {CE_Error, "SCR_ASIMap", missing},
            {CE_Error, "SCR_ASIMap",
             "SCR_ASIMap: The Profile:ASI combination App1:A1 mentioned in the ASI Map does not "
             "exist"},
            {CE_Error, "SCR_ASIMap",
             "SCR_ASIMap: The Profile:ASI combination Ghost:G1 mentioned in the ASI Map does not "
             "exist"},
        }));
}

TEST(CheckRunTest, EndpointsCompareAsWholeTextsAndRepeatedDestinationsCountEachTime) {
    // Profile "P:Q" with ASI "R" is both the destination P / "Q:R" and "P:Q" / R: all read
    // "P:Q:R". Ghost:G is named twice and missing twice.
    const std::string app = R"({
        KEY_AsiList: [ { KEY_AsiName: "R" KEY_AsiGroupSet: "GS1" KEY_AsiDefaultConfig: "CFG1" } ]
        KEY_GroupSets: [ [ "GS1" "R1" "CFG1=R1" ] ]
        KEY_Resources: [ "R1=board1" ] })";
    const std::string map = R"({ KEY_Mappings: [
        { KEY_MapSource: { KEY_EndpointProfile: "SCR_AppProfile" KEY_EndpointAsi: "X" }
          KEY_MapDestinations: [ { KEY_EndpointProfile: "Ghost" KEY_EndpointAsi: "G" }
                                 { KEY_EndpointProfile: "P" KEY_EndpointAsi: "Q:R" }
                                 { KEY_EndpointProfile: "P:Q" KEY_EndpointAsi: "R" }
                                 { KEY_EndpointProfile: "Ghost" KEY_EndpointAsi: "G" } ] } ] })";
    const std::string ghost =
        "SCR_ASIMap: The Profile:ASI combination Ghost:G mentioned in the ASI Map does not exist";
    const RunOutcome run = RunFound(Found({{"P:Q", app.c_str()}}), Found({{"M", map.c_str()}}),
                                    Found({{"R", kRulesX}}));
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.findings, (std::vector<Finding>{{CE_Error, "SCR_ASIMap", kScrSourceMissing},
                                                  {CE_Error, "SCR_ASIMap", ghost},
                                                  {CE_Error, "SCR_ASIMap", ghost}}));
}

// A destination named again, after a mapping without destinations, is matched every time
// its application endpoint exists.
TEST(CheckRunTest, EveryRepeatOfAnExistingDestinationIsMatched) {
    const std::string map = R"({ KEY_Mappings: [
        { KEY_MapSource: { KEY_EndpointProfile: "SCR_AppProfile" KEY_EndpointAsi: "X" }
          KEY_MapDestinations: [ ] }
        { KEY_MapSource: { KEY_EndpointProfile: "SCR_AppProfile" KEY_EndpointAsi: "X" }
          KEY_MapDestinations: [ { KEY_EndpointProfile: "App1" KEY_EndpointAsi: "A1" }
                                 { KEY_EndpointProfile: "Ghost" KEY_EndpointAsi: "A1" }
                                 { KEY_EndpointProfile: "App1" KEY_EndpointAsi: "A1" } ] } ] })";
    const RunOutcome run = RunFound(Found({{"App1", kApp1}}), Found({{"M", map.c_str()}}),
                                    Found({{"R", kRulesX}}));
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.findings,
              (std::vector<Finding>{
                  {CE_Error, "SCR_ASIMap", kScrSourceMissing},
                  {CE_Error, "SCR_ASIMap", kScrSourceMissing},
                  {CE_Error, "SCR_ASIMap",
                   "SCR_ASIMap: The Profile:ASI combination Ghost:A1 mentioned in the ASI Map "
                   "does not exist"}}));
}

TEST(CheckRunTest, KeepsWhatTheArrayAlreadyHeld) {
    const ParsedSet apps(Found({}));
    Array<CheckMessage> messages;
    messages.Append(CheckMessage());
    EXPECT_EQ(ProfileChecker::CheckQueried({QueryOutcome::Found, apps},
                                           {QueryOutcome::Failed, EmptySet()},
                                           {QueryOutcome::Failed, EmptySet()}, messages),
              0);
    EXPECT_EQ(FindingsOf(messages), (std::vector<Finding>{{CE_Fatal, "", "Empty Message"},
                                                          {CE_Error, "", kAsiMapMissing},
                                                          {CE_Error, "", kRulesMissing},
                                                          {CE_Fatal, "", kExtractionFailed}}));
}

}  // namespace

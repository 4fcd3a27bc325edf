// What a TARGET names, and the running of many servers, without servers: jobs that answer,
// wait or hang until their abort line is pulled.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

#include "tools/tlvadm/fleetprint.h"
#include "tools/tlvadm/fleetrun.h"
#include "tools/tlvadm/targets.h"

namespace {

using namespace std::chrono_literals;

const std::vector<std::string> kTable{"Site02", "Ok01", "site01", "Lab*"};

std::vector<std::string> Names(const TargetPlan& plan) {
    std::vector<std::string> names;
    for (const Target& target : plan.targets)
        names.push_back(target.name + (target.bAddress ? "@" : ""));
    return names;
}

TEST(TargetsTest, PatternsAndListsKeepTheTablesOrderAndAnEntrysOwnNameWins) {
    TargetPlan plan;
    std::string error;
    ASSERT_TRUE(ResolveTargets("SITE*", false, kTable, plan, error));
    EXPECT_TRUE(plan.bMany);
    EXPECT_EQ(Names(plan), (std::vector<std::string>{"Site02", "site01"}));

    ASSERT_TRUE(
        ResolveTargets("site01,tcp:h:1,Nobody,ok01,Site0?,nobody", false, kTable, plan, error));
    EXPECT_EQ(Names(plan),
              (std::vector<std::string>{"Site02", "Ok01", "site01", "tcp:h:1@", "Nobody"}));

    // An entry named like a pattern is that entry; so is one name, found or not.
    ASSERT_TRUE(ResolveTargets("lab*", false, kTable, plan, error));
    EXPECT_FALSE(plan.bMany);
    EXPECT_EQ(Names(plan), (std::vector<std::string>{"lab*"}));
    ASSERT_TRUE(ResolveTargets("Gone", false, {}, plan, error));
    EXPECT_FALSE(plan.bMany);
    ASSERT_TRUE(ResolveTargets("TCP:host:2020", false, {}, plan, error));
    EXPECT_EQ(Names(plan), (std::vector<std::string>{"TCP:host:2020@"}));

    ASSERT_TRUE(ResolveTargets("", true, kTable, plan, error));
    EXPECT_EQ(Names(plan), kTable);

    EXPECT_FALSE(ResolveTargets("X*", false, kTable, plan, error));
    EXPECT_EQ(error, "no server entry matches \"X*\"");
    EXPECT_FALSE(ResolveTargets("Ok01,,Site02", false, kTable, plan, error));
    EXPECT_EQ(error, "an empty server name in the list");
    EXPECT_FALSE(ResolveTargets("", true, {}, plan, error));
    EXPECT_EQ(error, "the administration server table has no entries");
}

std::vector<Target> TargetsNamed(std::initializer_list<const char*> names) {
    std::vector<Target> targets;
    for (const char* name : names)
        targets.push_back({name, false});
    return targets;
}

TEST(FleetRunTest, ResultsComeInOrderWhateverOrderTheyFinishAndNoMoreThanJobsRunAtOnce) {
    std::atomic<int> running = 0;
    std::atomic<int> most = 0;
    FleetOptions options;
    options.jobs = 2;
    std::vector<std::string> reported;
    RunFleet(
        TargetsNamed({"slow", "fast", "mid", "last"}), options,
        [&](const Target& target, std::ostream& out, std::ostream& err,
            const std::shared_ptr<SessionAbortLine>&) {
            most = std::max(most.load(), ++running);
            std::this_thread::sleep_for(target.name == "slow" ? 150ms : 10ms);
            out << target.name << " out\n";
            err << "tlvadm: " << target.name << " err\n";
            --running;
            return target.name == "mid" ? 1 : 0;
        },
        [&](const Target& target, const TargetResult& result) {
            reported.push_back(target.name + "=" + std::to_string(result.status) + ":" +
                               result.out);
        });
    EXPECT_EQ(reported, (std::vector<std::string>{"slow=0:slow out\n", "fast=0:fast out\n",
                                                  "mid=1:mid out\n", "last=0:last out\n"}));
    EXPECT_EQ(most.load(), 2);
}

TEST(FleetRunTest, ATargetPastItsDeadlineIsGivenUpItsLinePulledAndItsLaterWordsDropped) {
    FleetOptions options;
    options.deadline = 100ms;
    std::ostringstream out;
    std::ostringstream err;
    FleetPrinter printer(FleetPrinter::Form::Lines, out, err, 1);
    const auto start = std::chrono::steady_clock::now();
    RunFleet(
        TargetsNamed({"hung", "quick"}), options,
        [&](const Target& target, std::ostream& targetOut, std::ostream& targetErr,
            const std::shared_ptr<SessionAbortLine>& line) {
            targetOut << "started\n";
            if (target.name == "hung") {
                // As a session's call does: it ends only when the line is pulled.
                while (!line->IsAborted())
                    std::this_thread::sleep_for(5ms);
                targetErr << "tlvadm: the connection was lost\n";
                return 2;
            }
            return 0;
        },
        [&](const Target& target, const TargetResult& result) { printer.Print(target, result); });
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(printer.Finish(), 2);
    EXPECT_EQ(out.str(), "hung\tstarted\nquick\tstarted\n");
    EXPECT_EQ(err.str(), "hung\tnot responding: no answer within 1 s\n");
}

TEST(FleetPrintTest, JsonRowsAndTheWorstExit) {
    std::ostringstream out;
    std::ostringstream err;
    FleetPrinter printer(FleetPrinter::Form::Json, out, err, 2);
    printer.Print({"A", false}, {0, "[\n  {\"level\": 3}\n]\n", "", false});
    printer.Print({"B\x01", false}, {3, "[\n  {\"type\": \"error\"}\n]\n", "", false});
    printer.Print({"C", false}, {1, "", "tlvadm: refused\ntlvadm: why\n", false});
    EXPECT_EQ(printer.Finish(), 1);
    EXPECT_EQ(
        out.str(),
        "[\n  {\"entry\": \"A\", \"ok\": true, \"status\": 0, \"result\": [{\"level\": 3}]},\n"
        "  {\"entry\": \"B\\u0001\", \"ok\": false, \"status\": 3, \"result\": "
        "[{\"type\": \"error\"}]},\n"
        "  {\"entry\": \"C\", \"ok\": false, \"status\": 1, \"error\": \"refused\\nwhy\"}\n]\n");
    EXPECT_EQ(err.str(), "");

    EXPECT_EQ(WorseExit(0, 3), 3);
    EXPECT_EQ(WorseExit(3, 1), 1);
    EXPECT_EQ(WorseExit(2, 4), 2);
    EXPECT_EQ(WorseExit(4, 3), 4);
}

}  // namespace

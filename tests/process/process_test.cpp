#include <gtest/gtest.h>
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/process/cmdwords.h"
#include "platform/process/spawn.h"
#include "tests/support/children.h"

namespace tlv::platform {
namespace {

using Words = std::vector<std::string>;

// The session a process runs in, from its stat line; 0 when it cannot be read.
pid_t SessionOf(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(file, line);
    // Fields after the name in parentheses: state, ppid, pgrp, session.
    std::istringstream fields(line.substr(line.rfind(')') + 1));
    std::string state;
    pid_t parent = 0, group = 0, session = 0;
    fields >> state >> parent >> group >> session;
    return session;
}

bool WaitUntil(const std::function<bool()>& done) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

TEST(CommandLine, SplitsAtRunsOfBlanksAndTabsQuotingNothing) {
    EXPECT_EQ(SplitCommandLine("  /opt/ed\tS  edit \"A B\" C "),
              (Words{"/opt/ed", "S", "edit", "\"A", "B\"", "C"}));
    EXPECT_EQ(SplitCommandLine(" \t "), Words{});
    EXPECT_EQ(SplitCommandLine("x;rm -rf $(y)"), (Words{"x;rm", "-rf", "$(y)"}));
}

TEST(DetachedProcess, RunsInItsOwnSessionAndIsCollectedWhenItEnds) {
    ASSERT_TRUE(tlv::test::ThreadChildren().empty());
    EXPECT_FALSE(StartDetachedProcess("/nonexistent/editor S new Application"));
    EXPECT_FALSE(StartDetachedProcess("   "));
    EXPECT_FALSE(StartDetachedProgram({"/bin/sleep", std::string("30\0 --and-more", 14)}));
    EXPECT_TRUE(tlv::test::ThreadChildren().empty());

    ASSERT_TRUE(StartDetachedProcess("/bin/sleep 30"));
    const std::vector<pid_t> children = tlv::test::ThreadChildren();
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(SessionOf(children[0]), children[0]);  // it leads a session of its own
    EXPECT_NE(SessionOf(children[0]), getsid(0));

    kill(children[0], SIGTERM);
    // Without collecting, the ended program would stay listed as a zombie child.
    EXPECT_TRUE(WaitUntil([] {
        CollectFinishedProcesses();
        return tlv::test::ThreadChildren().empty();
    }));
}

}  // namespace
}  // namespace tlv::platform

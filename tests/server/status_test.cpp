// What tlvsd keeps of each service beyond its state, and what it logs, against a real tlvsd.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/text/shownbytes.h"
#include "server/log.h"
#include "s100/wire/tls_psk.h"
#include "tests/server/admin_calls.h"
#include "tests/server/server_client_test.h"

namespace tlv::test {
namespace {

using tlv::wire::Response;
using tlv::wire::ServiceStatus;

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> outputOf(const ServiceStatus& status) {
    return {status.last_output().begin(), status.last_output().end()};
}

class StatusTest : public ServerClientTest {
protected:
    void SetUp() override {
        m_server.setLogFile(m_data.path() + "/tlvsd.log");
        ServerClientTest::SetUp();
    }
    void TearDown() override { EXPECT_EQ(m_server.terminate(), 0); }

    void addHelper(const std::string& name, const std::string& arguments, int maxRestarts = 0) {
        ServiceSetup setup;
        setup.commandLine = std::string(SERVICE_HELPER) + " " + arguments;
        setup.maxRestarts = maxRestarts;
        ASSERT_EQ(call(*m_client, addService(name, serviceDefinition(setup))), CTerr_NoError);
    }

    // The status of one service; an empty status when it is not answered.
    ServiceStatus status(const std::string& name) {
        Response response;
        if (call(*m_client, getServiceStatus({name}), &response) != CTerr_NoError ||
            response.statuses_size() != 1) {
            return {};
        }
        return response.statuses(0);
    }

    std::string log() const { return readFile(m_data.path() + "/tlvsd.log"); }
};

TEST_F(StatusTest, AFailingServiceLeavesItsExitCodeRestartsAndLastOutput) {
    addHelper("Crash", "--say hello --complain oops --exit 3", 1);
    const auto before = std::chrono::system_clock::now();
    ASSERT_EQ(call(*m_client, startService("Crash")), CTerr_NoError);
    ASSERT_TRUE(waitForState(*m_client, "Crash", SVC_StateFailed));

    const ServiceStatus crash = status("Crash");
    EXPECT_EQ(crash.name(), "Crash");
    EXPECT_EQ(crash.state(), SVC_StateFailed);
    EXPECT_TRUE(crash.failed());
    EXPECT_FALSE(crash.disabled());
    EXPECT_EQ(crash.kind(), SVC_KindExecutable);
    EXPECT_EQ(crash.pid(), 0);
    EXPECT_EQ(crash.restarts(), 1u);
    EXPECT_TRUE(crash.has_exited());
    EXPECT_EQ(crash.last_exit_code(), 3);
    EXPECT_EQ(crash.last_signal(), 0);
    const auto exitTime = std::chrono::system_clock::time_point(
        std::chrono::milliseconds(crash.last_exit_time_ms()));
    EXPECT_GE(exitTime, before - std::chrono::seconds(1));
    EXPECT_LE(exitTime, std::chrono::system_clock::now());
    // Both runs, stdout and stderr in the order written.
    EXPECT_EQ(outputOf(crash), (std::vector<std::string>{"hello", "oops", "hello", "oops"}));
    EXPECT_EQ(crash.program(), SERVICE_HELPER);

    // services.log: every line with its time and the service's name.
    const std::string services = readFile(m_data.path() + "/services.log");
    EXPECT_NE(services.find("Z Crash: hello\n"), std::string::npos) << services;
    EXPECT_NE(services.find("Z Crash: oops\n"), std::string::npos) << services;

    // The event log names the program, the exit and the restart, then the failure.
    const std::string events = log();
    const std::string program = SERVICE_HELPER;
    const auto restart = events.find("service Crash exited: " + program +
                                     " exited with code 3; restart 1 of 1");
    const auto failed =
        events.find("service Crash failed: " + program + " exited with code 3 after 1 restarts");
    EXPECT_NE(restart, std::string::npos) << events;
    EXPECT_NE(failed, std::string::npos) << events;
    EXPECT_LT(restart, failed);
}

TEST_F(StatusTest, ARunningServiceShowsItsPidAndAStopShowsTheSignal) {
    const std::string pidFile = m_data.path() + "/sleeper.pid";
    addHelper("Sleeper", "--pid-file " + pidFile);
    ASSERT_EQ(call(*m_client, startService("Sleeper")), CTerr_NoError);
    ASSERT_TRUE(waitForState(*m_client, "Sleeper", SVC_StateRunning));
    const int pid = waitForPidFile(pidFile);
    ASSERT_GT(pid, 0);
    ServiceStatus sleeper = status("Sleeper");
    EXPECT_EQ(sleeper.pid(), pid);
    EXPECT_FALSE(sleeper.has_exited());
    EXPECT_FALSE(sleeper.failed());

    ASSERT_EQ(call(*m_client, stopService("Sleeper")), CTerr_NoError);
    ASSERT_TRUE(waitForState(*m_client, "Sleeper", SVC_StateIdle));
    sleeper = status("Sleeper");
    EXPECT_EQ(sleeper.pid(), 0);
    EXPECT_TRUE(sleeper.has_exited());
    EXPECT_EQ(sleeper.last_signal(), SIGTERM);
    EXPECT_EQ(sleeper.last_exit_code(), -1);
    EXPECT_FALSE(sleeper.failed());
    EXPECT_NE(log().find("service Sleeper stopped: " + std::string(SERVICE_HELPER) +
                         " killed by signal 15"),
              std::string::npos);
}

TEST_F(StatusTest, OutputKeepsTheLastTwentyLinesEachCutToItsBound) {
    addHelper("Chatty", "--count 25 --say " + std::string(600, 'x') + " --exit 0");
    ASSERT_EQ(call(*m_client, startService("Chatty")), CTerr_NoError);
    ASSERT_TRUE(waitForState(*m_client, "Chatty", SVC_StateFailed));
    const std::vector<std::string> output = outputOf(status("Chatty"));
    ASSERT_EQ(output.size(), 20u);
    EXPECT_EQ(output.front(), "line 7");
    EXPECT_EQ(output[18], "line 25");
    EXPECT_EQ(output.back(), std::string(512, 'x'));
}

TEST_F(StatusTest, NamesAnswerInTheOrderAskedAndAMissingProgramSaysWhy) {
    addHelper("Beta", "--exit 0");
    ServiceSetup missing;
    missing.commandLine = "/no/such/program --flag";
    // Added as an update: a new service whose program is missing is refused.
    ASSERT_EQ(call(*m_client, updateService("Alpha", serviceDefinition(missing))), CTerr_NotFound);

    Response response;
    ASSERT_EQ(call(*m_client, getServiceStatus({"Beta", "Nobody", "Alpha"}), &response),
              CTerr_NoError);
    ASSERT_EQ(response.statuses_size(), 2);
    EXPECT_EQ(response.statuses(0).name(), "Beta");
    EXPECT_EQ(response.statuses(1).name(), "Alpha");
    // A name asked a hundred thousand times is answered once, where it was first asked.
    std::vector<std::string> repeated(100000, "Alpha");
    repeated.insert(repeated.begin() + 5, "Beta");
    ASSERT_EQ(call(*m_client, getServiceStatus(repeated), &response), CTerr_NoError);
    ASSERT_EQ(response.statuses_size(), 2);
    EXPECT_EQ(response.statuses(0).name(), "Alpha");
    EXPECT_EQ(response.statuses(1).name(), "Beta");
    ASSERT_EQ(call(*m_client, getServiceStatus(), &response), CTerr_NoError);
    ASSERT_EQ(response.statuses_size(), 2);
    EXPECT_EQ(response.statuses(0).name(), "Alpha");
    EXPECT_EQ(response.statuses(1).name(), "Beta");

    EXPECT_EQ(call(*m_client, startService("Alpha")), CTerr_NotFound);
    const ServiceStatus alpha = status("Alpha");
    EXPECT_TRUE(alpha.failed());
    EXPECT_FALSE(alpha.has_exited());
    EXPECT_EQ(alpha.program(), "/no/such/program");
    EXPECT_EQ(outputOf(alpha), (std::vector<std::string>{"tlvsd: cannot start /no/such/program: "
                                                         "No such file or directory"}));
    EXPECT_NE(log().find("service Alpha failed: cannot start /no/such/program"),
              std::string::npos);
}

TEST_F(StatusTest, TheEventLogIsTimeStampedAndNamesClientsAndLevels) {
    ASSERT_EQ(call(*m_client, setLevel(2)), CTerr_NoError);
    m_client.reset();
    ASSERT_TRUE(waitUntil([&] { return log().find(" left\n") != std::string::npos; }));
    std::istringstream lines(log());
    std::string line;
    std::vector<std::string> events;
    while (std::getline(lines, line)) {
        // 2026-12-08T14:50:00.123Z tlvsd: ...
        ASSERT_GE(line.size(), 32u) << line;
        EXPECT_EQ(line[4], '-') << line;
        EXPECT_EQ(line[10], 'T') << line;
        EXPECT_EQ(line.substr(23, 9), "Z tlvsd: ") << line;
        if (line.find("services run in cgroups of their own under ") == std::string::npos) {
            events.push_back(line.substr(32));  // that line only where cgroups can be made
        }
    }
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0], "admin key " + tlv::wire::adminKeyId(testAdminKey()) + " from " +
                             testAdminKeyFile());
    EXPECT_EQ(events[1].rfind("client test connected from 127.0.0.1:", 0), 0u) << events[1];
    EXPECT_EQ(events[2], "level 1 -> 2");
    EXPECT_EQ(events[3].rfind("client test from 127.0.0.1:", 0), 0u) << events[3];
}

TEST_F(StatusTest, NamesAndOutputReachTheLogsShownAsTheClientShowsThem) {
    // A name holds no control byte (the server refuses one) but need not be UTF-8; what the
    // program writes may hold anything.
    const std::string name = "Odd[2J\xC3\xA9\xFF";
    const std::string shownName = "Odd[2J\xC3\xA9\\xFF";
    addHelper(name, "--say caf\xC3\xA9\r\x9B --exit 0");
    ASSERT_EQ(call(*m_client, startService(name)), CTerr_NoError);
    ASSERT_TRUE(waitForState(*m_client, name, SVC_StateFailed));
    EXPECT_EQ(tlv::platform::ShownBytes(name), shownName);

    const std::string events = log();
    EXPECT_NE(events.find("service " + shownName + " started: " + SERVICE_HELPER),
              std::string::npos)
        << events;
    std::istringstream lines(events);
    for (std::string line; std::getline(lines, line);)
        EXPECT_EQ(line.substr(23, 9), "Z tlvsd: ") << "a forged line: " << line;
    const std::string services = readFile(m_data.path() + "/services.log");
    EXPECT_NE(services.find("Z " + shownName + ": caf\xC3\xA9\\x0D\\x9B\n"), std::string::npos)
        << services;
}

TEST(LogTest, LongNamesAreCutBetweenCharacters) {
    using tlv::server::printable;
    EXPECT_EQ(printable("abc\x1B"), "abc\\x1B");
    EXPECT_EQ(printable("abcd\xC3\xA9", 5), "abcd...");  // not "abcd\xC3..."
    EXPECT_EQ(printable("abc\xF0\x9F\x93\x9Ez", 6), "abc...");
    EXPECT_EQ(printable("abc\xF0\x9F\x93\x9Ez", 7), "abc\xF0\x9F\x93\x9E...");
    EXPECT_EQ(printable("\xFF\xFF\xFF\xFF\xFF", 2), "\\xFF\\xFF...");
    EXPECT_EQ(printable(std::string(64, 'n') + "x"), std::string(64, 'n') + "...");
}

TEST(ListenTest, AHostNameIsResolved) {
    TempDir data;
    TlvsdProcess server;
    ASSERT_TRUE(server.start({"--listen", "localhost:0"}));
    const auto client = server.connect();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(call(*client, getServerLevel()), CTerr_NoError);
    EXPECT_EQ(server.terminate(), 0);
}

}  // namespace
}  // namespace tlv::test

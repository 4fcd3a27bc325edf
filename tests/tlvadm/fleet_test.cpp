// tlvadm over many servers at once, as real processes against real tlvsd processes.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <vector>

#include "s100/wire/admin_key.h"
#include "tests/registry/child_process.h"
#include "tests/session/fleet_fixture.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {
namespace {

using Clock = std::chrono::steady_clock;

class TlvadmFleetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_fleet.IsReady());
        // Levels that tell the servers apart in the output.
        ASSERT_EQ(Tlvadm({"Ok02", "set-level", "2"}).exitCode, 0);
        ASSERT_EQ(Tlvadm({"Site01", "set-level", "3"}).exitCode, 0);
    }

    ProcessResult Tlvadm(const std::vector<std::string>& words, bool bTerminal = false) {
        std::vector<std::string> argv{TLVADM_BINARY, "--registry", m_fleet.RegistryFile()};
        argv.insert(argv.end(), words.begin(), words.end());
        return RunProcess(argv, m_fleet.Files(), bTerminal);
    }

    std::string Address(const std::string& entry) {
        return "tcp:127.0.0.1:" + std::to_string(m_fleet.Server(entry).port());
    }

    FleetFixture m_fleet{{"Ok01", "Ok02", "Site01"},
                         {"--provider", "Board1=available", "--provider", "Board2=unavailable"}};
};

TEST_F(TlvadmFleetTest, PatternsListsAndAllPrefixEachLineInTheTablesOrder) {
    ProcessResult result = Tlvadm({"Ok01", "level"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "1\n");  // one server named plainly: today's output

    result = Tlvadm({"Nope*", "level"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "tlvadm: no server entry matches \"Nope*\" (try --help)\n");
    result = Tlvadm({"ok*", "level"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Ok01\t1\nOk02\t2\n");
    result = Tlvadm({"S?te0[1-9]", "level"});  // one match is still the form for many
    EXPECT_EQ(result.out, "Site01\t3\n");

    // Written in another order and letter case, and twice: once each, as the table has them.
    result = Tlvadm({"site01,OK01,Ok01", "level"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Ok01\t1\nSite01\t3\n");
    result = Tlvadm({"--all", "level"});
    EXPECT_EQ(result.out, "Ok01\t1\nOk02\t2\nSite01\t3\n");
    result = Tlvadm({"level", "--jobs", "1", "--all"});
    EXPECT_EQ(result.out, "Ok01\t1\nOk02\t2\nSite01\t3\n");

    // Lists of rows: every row of every server.
    result = Tlvadm({"Ok*", "providers"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "Ok01\tBoard1\tAvailable\nOk01\tBoard2\tNot Available\n"
              "Ok02\tBoard1\tAvailable\nOk02\tBoard2\tNot Available\n");
    result = Tlvadm({"Ok01,", "level"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "tlvadm: an empty server name in the list (try --help)\n");
    EXPECT_EQ(Tlvadm({"--all", "watch"}).exitCode, 2);
    result = Tlvadm({"--all", "export", "Sales", "Application", m_fleet.Files() + "/s.ief"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "tlvadm: export writes one file: name one server (try --help)\n");
}

TEST_F(TlvadmFleetTest, AHungAndAClosedServerAreNamedWithoutWaitingForThem) {
    ASSERT_TRUE(m_fleet.AddClosedEntry("Closed"));
    m_fleet.Hang("Ok02");
    const Clock::time_point start = Clock::now();
    ProcessResult result = Tlvadm({"--all", "--timeout", "1", "level"});
    // Generous: the calls' own deadline is 10 s.
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "Ok01\t1\nSite01\t3\n");
    const std::string closedReason = "Closed\tCould not connect to 127.0.0.1:";
    EXPECT_EQ(result.err.substr(0, result.err.find('\n') + 1),
              "Ok02\tnot responding: no answer within 1 s\n");
    EXPECT_NE(result.err.find(closedReason), std::string::npos) << result.err;

    // One server with a deadline: told plainly, as one server's errors always were.
    result = Tlvadm({"Ok02", "level", "--timeout", "1"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "tlvadm: not responding: Ok02 gave no answer within 1 s\n");

    // It answers again once it runs.
    m_fleet.Continue("Ok02");
    result = Tlvadm({"Ok*", "level", "--timeout", "5"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Ok01\t1\nOk02\t2\n");
}

TEST_F(TlvadmFleetTest, JsonHasOneRowPerServerAndTheExitIsTheWorst) {
    ASSERT_TRUE(m_fleet.AddClosedEntry("Closed"));
    ProcessResult result = Tlvadm({"--json", "Ok02,Closed,Ok01", "level"});
    EXPECT_EQ(result.exitCode, 2);
    const std::string closedRow =
        "  {\"entry\": \"Closed\", \"ok\": false, \"status\": 2, "
        "\"error\": \"Could not connect to 127.0.0.1:";
    EXPECT_EQ(result.out.substr(0, result.out.find(closedRow)),
              "[\n  {\"entry\": \"Ok01\", \"ok\": true, \"status\": 0, \"result\": [{\"level\": "
              "1}]},\n  {\"entry\": \"Ok02\", \"ok\": true, \"status\": 0, \"result\": "
              "[{\"level\": 2}]},\n")
        << result.out;
    EXPECT_NE(result.out.find(closedRow), std::string::npos) << result.out;
    EXPECT_EQ(result.out.substr(result.out.size() - 5), "\"}\n]\n");

    // Refused everywhere: 1; refused and unreachable: 2, the worse.
    result = Tlvadm({"--json", "Ok*", "remove-profile", "Nobody", "Application"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out,
              "[\n  {\"entry\": \"Ok01\", \"ok\": false, \"status\": 1, \"error\": \"Unable to "
              "delete the profile specified. The server may have been shutdown or is not "
              "responding.\\nno such profile \\\"Nobody\\\" of class \\\"Application\\\"\"},\n"
              "  {\"entry\": \"Ok02\", \"ok\": false, \"status\": 1, \"error\": \"Unable to "
              "delete the profile specified. The server may have been shutdown or is not "
              "responding.\\nno such profile \\\"Nobody\\\" of class \\\"Application\\\"\"}\n]\n");
    result = Tlvadm({"Ok01,Closed", "remove-profile", "Nobody", "Application"});
    EXPECT_EQ(result.exitCode, 2);
}

TEST_F(TlvadmFleetTest, AChangeToManyServersIsToldFirstAndWantsYesAtATerminal) {
    // At a terminal, without --yes: told, refused, nothing changed.
    ProcessResult result = Tlvadm({"Ok*", "set-level", "4"}, true);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err,
              "tlvadm: set-level 4 on Ok01, Ok02\n"
              "tlvadm: this changes 2 servers; run it again with --yes to go ahead\n");
    EXPECT_EQ(Tlvadm({"Ok*", "level"}).out, "Ok01\t1\nOk02\t2\n");

    result = Tlvadm({"Ok*", "set-level", "4", "--yes"}, true);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "tlvadm: set-level 4 on Ok01, Ok02\n");
    EXPECT_EQ(Tlvadm({"Ok*", "level"}).out, "Ok01\t4\nOk02\t4\n");

    // A script (no terminal) is told too and goes ahead; one server and reading need nothing.
    result = Tlvadm({"--all", "set-level", "1", "--emergency"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "tlvadm: set-level --emergency 1 on Ok01, Ok02, Site01\n");
    EXPECT_EQ(Tlvadm({"--all", "level"}).out, "Ok01\t1\nOk02\t1\nSite01\t1\n");
    EXPECT_EQ(Tlvadm({"Site*", "set-level", "2"}, true).exitCode, 0);
    EXPECT_EQ(Tlvadm({"--all", "level"}, true).exitCode, 0);
}

TEST_F(TlvadmFleetTest, AnAddressIsOpenedWithTheKeyFileGiven) {
    ProcessResult result = Tlvadm({Address("Ok02"), "level", "--key", testAdminKeyFile()});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "2\n");
    result = Tlvadm({Address("Ok01") + ",Site01", "level", "--key", testAdminKeyFile()});
    EXPECT_EQ(result.out, "Site01\t3\n" + Address("Ok01") + "\t1\n");
    setenv("TLV_KEY", testAdminKeyFile().c_str(), 1);
    result = Tlvadm({Address("Ok02"), "level"});
    unsetenv("TLV_KEY");
    EXPECT_EQ(result.out, "2\n") << result.err;

    // Without a key; a key of another server; a key for an entry, which has its own.
    result = Tlvadm({Address("Ok02"), "level"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err,
              "tlvadm: a tcp:HOST:PORT server needs its admin key: --key FILE or TLV_KEY=FILE "
              "(try --help)\n");
    TempDir keys;
    std::string otherKey;
    std::string problem;
    const std::string otherKeyFile = keys.path() + "/other.key";
    ASSERT_TRUE(tlv::wire::createAdminKeyFile(otherKeyFile, otherKey, problem)) << problem;
    result = Tlvadm({Address("Ok02"), "level", "--key", otherKeyFile});
    EXPECT_EQ(result.exitCode, 2);
    const std::string hostPort = Address("Ok02").substr(std::string("tcp:").size());
    EXPECT_EQ(result.err, "tlvadm: Connection string: " + Address("Ok02") +
                              "\ntlvadm: The server at " + hostPort + " refused the admin key " +
                              otherKeyFile +
                              ": it holds another key.\ntlvadm: Ask the server's administrator "
                              "for its current admin key and save it as " +
                              otherKeyFile + " (mode 600).\n");
    result = Tlvadm({"Ok01", "level", "--key", testAdminKeyFile()});
    EXPECT_EQ(result.exitCode, 2);

    // A key others may read is no key, as an entry's would not be.
    ASSERT_EQ(chmod(otherKeyFile.c_str(), 0644), 0);
    result = Tlvadm({Address("Ok02"), "level", "--key", otherKeyFile});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("tlvadm: The admin key file " + otherKeyFile +
                              " may be read by other users, so it is not used."),
              std::string::npos)
        << result.err;
}

}  // namespace
}  // namespace tlv::test

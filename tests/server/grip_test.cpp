// Every process a service starts stays in tlvsd's grip, against a real tlvsd: a daemon a
// service starts (fork, setsid, fork) is ended by a stop, by a restart, and by the next tlvsd
// after a kill -9. Run once holding services by process group, session and marks, and once in
// cgroups where this machine lets tlvsd make them.
#include <signal.h>

#include <dirent.h>

#include <fstream>

#include <gtest/gtest.h>

#include "server/cgroup.h"
#include "tests/server/admin_calls.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {
namespace {

using namespace std::chrono_literals;

// Alive and not a zombie.
bool runs(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return false;
    }
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && line.compare(close + 2, 1, "Z") != 0;
}

std::vector<int> pidsIn(const std::string& path) {
    std::ifstream file(path);
    std::vector<int> pids;
    int pid = 0;
    while (file >> pid) {
        pids.push_back(pid);
    }
    return pids;
}

enum class Grip { GroupsAndMarks, Cgroups };

class GripTest : public ::testing::TestWithParam<Grip> {
protected:
    void SetUp() override {
        if (GetParam() == Grip::Cgroups) {
            m_cgroupParent = tlv::server::writableOwnCgroup();
            if (!m_cgroupParent) {
                GTEST_SKIP() << "no writable cgroup v2 folder for this process: cgroups untested";
            }
        }
        ASSERT_TRUE(start());
    }

    void TearDown() override {
        for (const int pid : pidsIn(daemonFile())) {
            if (runs(pid)) {
                ADD_FAILURE() << "daemon " << pid << " outlived its service";
                kill(pid, SIGKILL);
            }
        }
    }

    bool start() {
        std::vector<std::string> args{"--data", m_data.path()};
        if (GetParam() == Grip::GroupsAndMarks) {
            args.push_back("--no-cgroup");
        }
        m_server = std::make_unique<TlvsdProcess>();
        if (!m_server->start(args)) {
            return false;
        }
        m_client = m_server->connect();
        return m_client != nullptr;
    }

    std::string daemonFile() const { return m_data.path() + "/daemons"; }

    ServiceSetup daemonStarter(const std::string& after) const {
        ServiceSetup setup;
        setup.commandLine =
            std::string(SERVICE_HELPER) + " --daemon-pid-file " + daemonFile() + " " + after;
        setup.exitTimeout = 1;
        return setup;
    }

    bool daemonsStarted(std::size_t count) const {
        return waitUntil([&] { return pidsIn(daemonFile()).size() >= count; });
    }

    bool allDaemonsGone() const {
        return waitUntil([&] {
            for (const int pid : pidsIn(daemonFile())) {
                if (runs(pid)) {
                    return false;
                }
            }
            return true;
        });
    }

    // The cgroups tlvsd made and did not remove.
    std::vector<std::string> cgroupsLeft() const {
        std::vector<std::string> left;
        if (DIR* folder = opendir(m_cgroupParent->c_str())) {
            while (const dirent* entry = readdir(folder)) {
                if (std::string(entry->d_name).rfind("tlvsd-" + token() + "-", 0) == 0) {
                    left.emplace_back(entry->d_name);
                }
            }
            closedir(folder);
        }
        return left;
    }

    std::string token() const {
        std::ifstream records(m_data.path() + "/services.pids");
        std::string word;
        std::string token;
        records >> word >> token;
        return token;
    }

    TempDir m_data;
    std::unique_ptr<TlvsdProcess> m_server;
    std::unique_ptr<tlv::wire::ClientConnection> m_client;
    std::optional<std::string> m_cgroupParent;
};

TEST_P(GripTest, StopEndsADaemonTheServiceStarted) {
    ASSERT_EQ(call(*m_client, addService("Starter", serviceDefinition(daemonStarter("")))),
              CTerr_NoError);
    ASSERT_EQ(call(*m_client, startService("Starter")), CTerr_NoError);
    ASSERT_TRUE(daemonsStarted(1));
    ASSERT_TRUE(waitForState(*m_client, "Starter", SVC_StateRunning));
    const int daemon = pidsIn(daemonFile()).front();
    EXPECT_TRUE(runs(daemon));

    ASSERT_EQ(call(*m_client, stopService("Starter")), CTerr_NoError);
    ASSERT_TRUE(waitForState(*m_client, "Starter", SVC_StateIdle));
    EXPECT_TRUE(allDaemonsGone()) << "daemon " << daemon;
    if (m_cgroupParent) {
        EXPECT_TRUE(waitUntil([&] { return cgroupsLeft().empty(); }));
    }
}

TEST_P(GripTest, ARestartNeverRunsBesideWhatTheLastStartLeft) {
    ServiceSetup setup = daemonStarter("--exit 1");
    setup.maxRestarts = 2;
    ASSERT_EQ(call(*m_client, addService("Forker", serviceDefinition(setup))), CTerr_NoError);
    ASSERT_EQ(call(*m_client, startService("Forker")), CTerr_NoError);
    ASSERT_TRUE(waitForState(*m_client, "Forker", SVC_StateFailed));
    ASSERT_TRUE(daemonsStarted(3));
    EXPECT_TRUE(allDaemonsGone());
}

TEST_P(GripTest, TheNextServerEndsWhatAKilledOneLeft) {
    ASSERT_EQ(call(*m_client, addService("Starter", serviceDefinition(daemonStarter("")))),
              CTerr_NoError);
    ASSERT_EQ(call(*m_client, startService("Starter")), CTerr_NoError);
    ASSERT_TRUE(daemonsStarted(1));
    const int daemon = pidsIn(daemonFile()).front();
    m_client.reset();
    m_server->kill();
    std::this_thread::sleep_for(200ms);
    ASSERT_TRUE(runs(daemon)) << "the kernel's parent-death signal reaches the service only";

    ASSERT_TRUE(start());
    EXPECT_TRUE(allDaemonsGone()) << "daemon " << daemon;
    if (m_cgroupParent) {
        EXPECT_TRUE(waitUntil([&] { return cgroupsLeft().empty(); }));
    }
}

INSTANTIATE_TEST_SUITE_P(Grips, GripTest,
                         ::testing::Values(Grip::GroupsAndMarks, Grip::Cgroups),
                         [](const auto& info) {
                             return info.param == Grip::Cgroups ? "Cgroups" : "GroupsAndMarks";
                         });

}  // namespace
}  // namespace tlv::test

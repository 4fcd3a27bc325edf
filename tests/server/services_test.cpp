// Service definitions and real service processes, against a real tlvsd.
#include <signal.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "tests/server/admin_calls.h"
#include "tests/server/server_client_test.h"

namespace tlv::test {
namespace {

using tlv::wire::Response;

class ServicesTest : public ServerClientTest {
protected:
    void TearDown() override { EXPECT_EQ(m_server.terminate(), 0); }

    CTerror add(const std::string& name, const ServiceSetup& setup) {
        return call(*m_client, addService(name, serviceDefinition(setup)));
    }
};

TEST_F(ServicesTest, AddAnswersEachRefusalAndAMissingExecutableStillAdds) {
    EXPECT_EQ(call(*m_client, getServiceState()), CTerr_NotFound);
    EXPECT_EQ(add("", {}), CTerr_InvalidName);
    EXPECT_EQ(add("has space", {}), CTerr_InvalidName);
    EXPECT_EQ(add(std::string(33, 'n'), {}), CTerr_InvalidName);
    // A NUL would split the packed name list, a line break forge a log line.
    for (const std::string& bad : {std::string("nul\0x", 5), std::string("line\nbreak"),
                                  std::string("esc\x1b[2J"), std::string("del\x7f")}) {
        EXPECT_EQ(add(bad, {}), CTerr_InvalidName) << bad;
    }
    EXPECT_EQ(add(std::string(32, 'n'), {}), CTerr_NoError);
    ServiceSetup noKind;
    noKind.kind = 0;
    EXPECT_EQ(add("NoKind", noKind), CTerr_InvalidArgument);
    ServiceSetup badKind;
    badKind.kind = SVC_Optional;
    EXPECT_EQ(add("BadKind", badKind), CTerr_InvalidArgument);
    EXPECT_EQ(add("Sleeper", {}), CTerr_NoError);
    EXPECT_EQ(add("Sleeper", {}), CTerr_Exists);
    ServiceSetup missing;
    missing.commandLine = "/no/such/program --flag";
    EXPECT_EQ(add("Missing", missing), CTerr_NotFound);
    ServiceSetup dll;
    dll.kind = SVC_KindDLL;
    dll.startType = SVC_Mandatory;
    dll.disabled = true;
    EXPECT_EQ(add("Dll", dll), CTerr_NoError);

    Response response;
    ASSERT_EQ(call(*m_client, getServiceState(), &response), CTerr_NoError);
    const auto& result = response.result();
    EXPECT_EQ(strings(result, KEY_ServiceNames),
              (std::vector<std::string>{"Dll", "Missing", "Sleeper", std::string(32, 'n')}));
    EXPECT_EQ(symbols(result, KEY_ServiceStates), std::vector<CTsymbol>(4, SVC_StateIdle));
    EXPECT_EQ(symbols(result, SVC_StartType),
              (std::vector<CTsymbol>{SVC_Mandatory, SVC_Optional, SVC_Optional, SVC_Optional}));
    EXPECT_EQ(bools(result, SVC_Disabled), (std::vector<std::uint32_t>{1, 0, 0, 0}));

    // The definitions are profiles of class TLVS_Service, listed like any profile.
    ASSERT_EQ(call(*m_client, getProfileInfo("Missing", "TLVS_Service", true), &response),
              CTerr_NoError);
    EXPECT_EQ(strings(response.result(), KEY_ProfileNames), std::vector<std::string>{"Missing"});
}

TEST_F(ServicesTest, ExecutableRunsStopsAndCannotBeStartedTwice) {
    ASSERT_EQ(add("Sleeper", {}), CTerr_NoError);
    ASSERT_EQ(call(*m_client, startService("Sleeper")), CTerr_NoError);
    EXPECT_EQ(serviceState(*m_client, "Sleeper"), SVC_StateStarting);
    ASSERT_TRUE(waitForState(*m_client, "Sleeper", SVC_StateRunning));
    EXPECT_EQ(call(*m_client, startService("Sleeper")), CTerr_ServiceBusy);
    EXPECT_EQ(call(*m_client, stopService("Sleeper", 0x12345678)), CTerr_InvalidArgument);

    ASSERT_EQ(call(*m_client, stopService("Sleeper")), CTerr_NoError);
    ASSERT_TRUE(waitForState(*m_client, "Sleeper", SVC_StateIdle));
    EXPECT_EQ(call(*m_client, stopService("Sleeper")), CTerr_InvalidArgument);
    EXPECT_EQ(call(*m_client, startService("Nobody")), CTerr_NotFound);
    EXPECT_EQ(call(*m_client, stopService("Nobody")), CTerr_NotFound);

    ServiceSetup disabled;
    disabled.disabled = true;
    ASSERT_EQ(add("Off", disabled), CTerr_NoError);
    EXPECT_EQ(call(*m_client, startService("Off")), CTerr_InvalidArgument);
    EXPECT_EQ(serviceState(*m_client, "Off"), SVC_StateIdle);
}

TEST_F(ServicesTest, ServiceThatIgnoresSigtermIsKilledAfterItsTimeout) {
    ServiceSetup stubborn;
    stubborn.commandLine = std::string(SERVICE_HELPER) + " --ignore-term";
    stubborn.exitTimeout = 1;
    ASSERT_EQ(add("Stubborn", stubborn), CTerr_NoError);
    ASSERT_EQ(call(*m_client, startService("Stubborn")), CTerr_NoError);
    ASSERT_TRUE(waitForState(*m_client, "Stubborn", SVC_StateRunning));
    ASSERT_EQ(call(*m_client, stopService("Stubborn")), CTerr_NoError);
    EXPECT_EQ(serviceState(*m_client, "Stubborn"), SVC_StateStopping);
    EXPECT_EQ(call(*m_client, removeService("Stubborn")), CTerr_ServiceBusy);
    EXPECT_EQ(call(*m_client, stopService("Stubborn")), CTerr_ServiceBusy);
    EXPECT_TRUE(waitForState(*m_client, "Stubborn", SVC_StateIdle, std::chrono::seconds(4)));
}

TEST_F(ServicesTest, EmergencyStopKillsAfterTheShorterTimeout) {
    ServiceSetup stubborn;
    stubborn.commandLine = std::string(SERVICE_HELPER) + " --ignore-term";
    stubborn.exitTimeout = 30;
    stubborn.emergencyTimeout = 0;
    ASSERT_EQ(add("Stubborn", stubborn), CTerr_NoError);
    ASSERT_EQ(call(*m_client, startService("Stubborn")), CTerr_NoError);
    ASSERT_TRUE(waitForState(*m_client, "Stubborn", SVC_StateRunning));
    ASSERT_EQ(call(*m_client, stopService("Stubborn")), CTerr_NoError);
    // A normal stop would wait 30 s; the emergency stop that follows cuts it short.
    ASSERT_EQ(call(*m_client, stopService("Stubborn", LEVEL_CHANGE_EMERGENCY)), CTerr_NoError);
    EXPECT_TRUE(waitForState(*m_client, "Stubborn", SVC_StateIdle, std::chrono::seconds(3)));
}

TEST_F(ServicesTest, FailingExecutableIsRestartedThenRestsFailed) {
    ServiceSetup failing;
    failing.commandLine = "/bin/false";
    failing.maxRestarts = 2;
    ASSERT_EQ(add("Failing", failing), CTerr_NoError);
    ASSERT_EQ(call(*m_client, startService("Failing")), CTerr_NoError);
    bool sawWaiting = false;
    ASSERT_TRUE(waitUntil([&] {
        const CTsymbol state = serviceState(*m_client, "Failing");
        sawWaiting = sawWaiting || state == SVC_StateWaiting;
        return state == SVC_StateFailed;
    }));
    EXPECT_TRUE(sawWaiting);
    // Idle [Failed] is idle: it may be started again.
    EXPECT_EQ(call(*m_client, startService("Failing")), CTerr_NoError);
}

TEST_F(ServicesTest, ProcessKilledFromOutsideIsRestartedWithinItsCount) {
    const std::string pidFile = m_data.path() + "/helper.pid";
    ServiceSetup once;
    once.commandLine = std::string(SERVICE_HELPER) + " --pid-file " + pidFile;
    once.maxRestarts = 1;
    ASSERT_EQ(add("Once", once), CTerr_NoError);
    ASSERT_EQ(call(*m_client, startService("Once")), CTerr_NoError);

    const auto killCurrentProcess = [&] {
        const pid_t pid = waitForPidFile(pidFile);
        std::remove(pidFile.c_str());
        ASSERT_GT(pid, 0);
        ASSERT_EQ(kill(pid, SIGKILL), 0);
    };
    ASSERT_TRUE(waitForState(*m_client, "Once", SVC_StateRunning));
    killCurrentProcess();
    ASSERT_TRUE(waitForState(*m_client, "Once", SVC_StateRunning)) << "restarted once";
    killCurrentProcess();
    EXPECT_TRUE(waitForState(*m_client, "Once", SVC_StateFailed)) << "no restart left";
}

TEST_F(ServicesTest, DllServiceMovesThroughSimulatedStates) {
    ServiceSetup dll;
    dll.kind = SVC_KindDLL;
    ASSERT_EQ(add("Dll", dll), CTerr_NoError);
    ASSERT_EQ(call(*m_client, startService("Dll")), CTerr_NoError);
    EXPECT_EQ(serviceState(*m_client, "Dll"), SVC_StateStarting);
    ASSERT_TRUE(waitForState(*m_client, "Dll", SVC_StateRunning));
    ASSERT_EQ(call(*m_client, stopService("Dll")), CTerr_NoError);
    EXPECT_EQ(serviceState(*m_client, "Dll"), SVC_StateStopping);
    EXPECT_TRUE(waitForState(*m_client, "Dll", SVC_StateIdle));
}

TEST_F(ServicesTest, UpdateAppliesAtNextStartAndAddsAnUnknownName) {
    ASSERT_EQ(add("Sleeper", {}), CTerr_NoError);
    ServiceSetup changed;
    changed.startType = SVC_Mandatory;
    EXPECT_EQ(call(*m_client, updateService("Sleeper", serviceDefinition(changed))), CTerr_NoError);
    ASSERT_EQ(call(*m_client, startService("Sleeper")), CTerr_NoError);
    ASSERT_TRUE(waitForState(*m_client, "Sleeper", SVC_StateRunning));
    changed.startType = SVC_Optional;
    EXPECT_EQ(call(*m_client, updateService("Sleeper", serviceDefinition(changed))),
              CTerr_Deferred);
    ServiceSetup missing;
    missing.commandLine = "/no/such/program";
    EXPECT_EQ(call(*m_client, updateService("Fresh", serviceDefinition(missing))), CTerr_NotFound);
    EXPECT_EQ(call(*m_client, updateService("bad name", serviceDefinition({}))), CTerr_InvalidName);
    ServiceSetup noKind;
    noKind.kind = 0;
    EXPECT_EQ(call(*m_client, updateService("Fresh", serviceDefinition(noKind))),
              CTerr_InvalidArgument);

    Response response;
    ASSERT_EQ(call(*m_client, getServiceState(), &response), CTerr_NoError);
    EXPECT_EQ(strings(response.result(), KEY_ServiceNames),
              (std::vector<std::string>{"Fresh", "Sleeper"}));
    EXPECT_EQ(symbols(response.result(), SVC_StartType),
              (std::vector<CTsymbol>{SVC_Optional, SVC_Optional}));
}

TEST_F(ServicesTest, RemovingARunningServiceMarksItUntilItStops) {
    ASSERT_EQ(add("Idle", {}), CTerr_NoError);
    EXPECT_EQ(call(*m_client, removeService("Idle")), CTerr_NoError);
    EXPECT_EQ(call(*m_client, removeService("Idle")), CTerr_NotFound);

    ASSERT_EQ(add("Busy", {}), CTerr_NoError);
    ASSERT_EQ(call(*m_client, startService("Busy")), CTerr_NoError);
    EXPECT_EQ(call(*m_client, removeService("Busy")), CTerr_ServiceBusy) << "still starting";
    ASSERT_TRUE(waitForState(*m_client, "Busy", SVC_StateRunning));
    EXPECT_EQ(call(*m_client, removeService("Busy")), CTerr_Deferred);
    EXPECT_EQ(call(*m_client, removeService("Busy")), CTerr_NotFound);
    EXPECT_EQ(call(*m_client, getProfileInfo("Busy", "TLVS_Service", true)), CTerr_NotFound);
    EXPECT_EQ(call(*m_client, updateService("Busy", serviceDefinition({}))), CTerr_NotFound);
    EXPECT_EQ(call(*m_client, addService("Busy", serviceDefinition({}))), CTerr_Exists);
    EXPECT_EQ(serviceState(*m_client, "Busy"), SVC_StateRunning) << "still listed while it runs";

    ASSERT_EQ(call(*m_client, stopService("Busy")), CTerr_NoError);
    ASSERT_TRUE(waitUntil([&] { return call(*m_client, getServiceState()) == CTerr_NotFound; }));
    EXPECT_EQ(call(*m_client, addService("Busy", serviceDefinition({}))), CTerr_NoError);
}

TEST_F(ServicesTest, RenameIsUpdateUnderTheNewNameThenRemoveTheOld) {
    ASSERT_EQ(add("OldName", {}), CTerr_NoError);
    ASSERT_EQ(call(*m_client, updateService("NewName", serviceDefinition({}))), CTerr_NoError);
    ASSERT_EQ(call(*m_client, removeService("OldName")), CTerr_NoError);
    Response response;
    ASSERT_EQ(call(*m_client, getServiceState(), &response), CTerr_NoError);
    EXPECT_EQ(strings(response.result(), KEY_ServiceNames), std::vector<std::string>{"NewName"});
}

// Where the helper service writes its process id.
class ServiceShutdown : public ServerClientTest {
protected:
    const std::string pidFile = m_data.path() + "/helper.pid";
};

TEST_F(ServiceShutdown, SigtermStopsRunningServicesBeforeTheServerExits) {
    ServiceSetup helper;
    helper.commandLine = std::string(SERVICE_HELPER) + " --pid-file " + pidFile;
    ASSERT_EQ(call(*m_client, addService("Helper", serviceDefinition(helper))), CTerr_NoError);
    ASSERT_EQ(call(*m_client, startService("Helper")), CTerr_NoError);
    const pid_t pid = waitForPidFile(pidFile);
    ASSERT_GT(pid, 0);
    ASSERT_EQ(kill(pid, 0), 0);
    EXPECT_EQ(m_server.terminate(), 0);
    EXPECT_NE(kill(pid, 0), 0) << "the service process is gone with the server";
}

// Alive and not a zombie waiting for a parent that is gone.
bool isRunning(pid_t pid) {
    FILE* file = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
    if (file == nullptr) {
        return false;
    }
    char state = 'Z';
    const bool read = std::fscanf(file, "%*d (%*[^)]) %c", &state) == 1;
    std::fclose(file);
    return read && state != 'Z' && state != 'X';
}

TEST_F(ServiceShutdown, AKilledServerLeavesNoServiceRunningAndARestartRunsNoSecondCopy) {
    const std::string childPidFile = m_data.path() + "/child.pid";
    ServiceSetup helper;
    helper.commandLine = std::string(SERVICE_HELPER) + " --pid-file " + pidFile +
                         " --child-pid-file " + childPidFile;
    helper.startType = SVC_Mandatory;
    ASSERT_EQ(call(*m_client, addService("Helper", serviceDefinition(helper))), CTerr_NoError);
    ASSERT_EQ(call(*m_client, setLevel(2)), CTerr_NoError);
    const pid_t pid = waitForPidFile(pidFile);
    const pid_t child = waitForPidFile(childPidFile);
    ASSERT_GT(pid, 0);
    ASSERT_GT(child, 0);

    m_server.kill();
    EXPECT_TRUE(waitUntil([&] { return !isRunning(pid); }, std::chrono::seconds(3)))
        << "the service dies with its server";

    std::remove(pidFile.c_str());
    ASSERT_TRUE(m_server.restart());
    EXPECT_TRUE(waitUntil([&] { return !isRunning(child); }, std::chrono::seconds(3)))
        << "what the service left in its group is ended before anything starts";
    const pid_t again = waitForPidFile(pidFile);
    ASSERT_GT(again, 0) << "level 2 starts the mandatory service again";
    EXPECT_NE(again, pid);
    EXPECT_TRUE(isRunning(again));

    TlvsdProcess second;
    EXPECT_FALSE(second.start({"--data", m_data.path()})) << "one server per data folder";
    EXPECT_TRUE(isRunning(again));
}

}  // namespace
}  // namespace tlv::test

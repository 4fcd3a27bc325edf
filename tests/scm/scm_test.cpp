// SCMclass over the service database of a real registry file, with real processes: tlvsd
// started and stopped through its pid file, and plain programs that never report.
#include "config/scm.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "platform/process/pidfile.h"
#include "platform/scm/servicedb.h"
#include "tests/config/regvalues.h"
#include "tests/scm/service_fixture.h"

namespace tlv::test {
namespace {

SCM_State StateOf(SCMclass& manager, const char* name) {
    SCM_State state = SCM_Unknown;
    EXPECT_EQ(manager.QueryStatus(name, state), SCM_Success);
    return state;
}

TEST(ScmClass, InstallWritesTheDatabaseAndRefusesDuplicatesAndBadParameters) {
    ServiceFixture fixture;
    SCMclass& manager = fixture.Manager();
    ASSERT_EQ(manager.InstallService("Pager", "Paging Service", SERVICE_WIN32_OWN_PROCESS,
                                     SERVICE_AUTO_START, "/usr/bin/pager --quiet", "TLVS Server"),
              SCM_Success);
    const DWORD own = SERVICE_WIN32_OWN_PROCESS;
    const DWORD autoStart = SERVICE_AUTO_START;
    const DWORD normal = SERVICE_ERROR_NORMAL;
    const auto number = [](DWORD value) {
        return std::string(reinterpret_cast<const char*>(&value), sizeof value);
    };
    EXPECT_EQ(ValuesOf(ServiceFixture::KeyOf("Pager")),
              (std::vector<RegValue>{
                  {"DisplayName", REG_SZ, "Paging Service"},
                  {"ObjectName", REG_SZ, "LocalSystem"},
                  {"Type", REG_DWORD, number(own)},
                  {"Start", REG_DWORD, number(autoStart)},
                  {"ErrorControl", REG_DWORD, number(normal)},
                  {"ImagePath", REG_SZ, "/usr/bin/pager --quiet"},
                  {"DependOnService", REG_MULTI_SZ, std::string("TLVS Server\0\0", 13)},
              }));
    EXPECT_EQ(StateOf(manager, "Pager"), SCM_Stopped);

    // Names compare without regard to case, like the platform's.
    EXPECT_EQ(manager.InstallService("PAGER", "Other", own, autoStart, "/bin/true", nullptr),
              SCM_ServiceExists);
    EXPECT_EQ(manager.InstallService("Fax", "Fax", own, 7, "/bin/true", nullptr), SCM_BadService);
    EXPECT_EQ(manager.InstallService("Fax", "Fax", own, autoStart, "", nullptr), SCM_BadService);
    EXPECT_EQ(manager.InstallService("Fax", "Fax", own, autoStart, "/bin/true",
                                     std::string(1023, 'd').c_str()),
              SCM_BadService);
    EXPECT_EQ(manager.InstallService("Fax", "Fax", own, autoStart, "/bin/true",
                                     std::string(1022, 'd').c_str()),
              SCM_Success);
    EXPECT_EQ(SubKeysOf(platform::kServicesKey), (std::vector<std::string>{"Fax", "Pager"}));
}

TEST(ScmClass, ChangeServiceTakesLocalAccountsKeepsNoPasswordAndMapsRefusals) {
    ServiceFixture fixture;
    SCMclass& manager = fixture.Manager();
    fixture.Install("TLVS Server", "/bin/true");
    fixture.Install("Voice Mail", "/bin/true");
    const std::string key = ServiceFixture::KeyOf("TLVS Server");
    const std::string account = "KESTROVA\\" + ServiceFixture::CurrentUser();
    const char* password = "s3cret-Pa55word";

    EXPECT_EQ(manager.ChangeService("TLVS Server", "TLVS Server", "KESTROVA\\no-such-user-x9",
                                    password),
              SCM_NoSuchAccount);
    EXPECT_EQ(manager.ChangeService("TLVS Server", "TLVS Server", "KESTROVA\\", password),
              SCM_NoSuchAccount);
    // A display name that another service is named or shown as.
    EXPECT_EQ(manager.ChangeService("TLVS Server", "voice mail", account.c_str(), password),
              SCM_BadService);
    EXPECT_EQ(manager.ChangeService("TLVS Server", std::string(257, 'n').c_str(),
                                    account.c_str(), password),
              SCM_BadService);
    EXPECT_EQ(manager.ChangeService("Missing", "Missing", account.c_str(), password),
              SCM_BadService);
    // Nothing of a refused change was kept.
    EXPECT_EQ(ValuesOf(key)[1], (RegValue{"ObjectName", REG_SZ, "LocalSystem"}));

    EXPECT_EQ(manager.ChangeService("TLVS Server", "TLVS Server", account.c_str(), password),
              SCM_Success);
    EXPECT_EQ(ValuesOf(key)[0], (RegValue{"DisplayName", REG_SZ, "TLVS Server"}));
    EXPECT_EQ(ValuesOf(key)[1], (RegValue{"ObjectName", REG_SZ, account}));
    EXPECT_EQ(ValuesOf(key)[5], (RegValue{"ImagePath", REG_SZ, "/bin/true"}));
    // The password is in no byte of the registry, its journal included.
    for (const char* suffix : {"", "-wal", "-journal"})
        EXPECT_EQ(FileBytes(fixture.RegistryFile() + suffix).find(password), std::string::npos);
}

TEST(ScmClass, EveryOperationFailsWhenTheManagerIsNotOpen) {
    ServiceFixture fixture;
    fixture.Install("TLVS Server", "/bin/true");
    SCMclass remote("OTHERHOST", nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_FALSE(remote.IsOk());
    SCM_State state = SCM_Running;
    EXPECT_EQ(remote.QueryStatus("TLVS Server", state), SCM_Failed);
    EXPECT_EQ(state, SCM_Running);
    EXPECT_EQ(remote.ChangeService("TLVS Server", "TLVS Server", "LocalSystem", ""), SCM_Failed);
    EXPECT_EQ(remote.InstallService("X", "X", SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                    "/bin/true", nullptr),
              SCM_Failed);
    EXPECT_EQ(remote.RemoveService("TLVS Server"), SCM_Failed);
    EXPECT_EQ(remote.StartAService("TLVS Server"), SCM_Failed);
    EXPECT_EQ(remote.StopAService("TLVS Server"), SCM_Failed);
    EXPECT_EQ(fixture.Manager().QueryStatus("Not Installed", state), SCM_BadService);
}

TEST(ScmClass, StartsAndStopsTlvsdThroughItsPidFile) {
    ServiceFixture fixture;
    fixture.InstallServer();
    SCMclass& manager = fixture.Manager();
    EXPECT_EQ(StateOf(manager, "TLVS Server"), SCM_Stopped);
    EXPECT_EQ(manager.StopAService("TLVS Server"), SCM_Success);  // not active counts as done

    ASSERT_EQ(manager.StartAService("TLVS Server"), SCM_Success);
    EXPECT_EQ(StateOf(manager, "TLVS Server"), SCM_Running);
    const std::optional<pid_t> pid = tlv::platform::ReadLivePid(fixture.PidFile());
    ASSERT_TRUE(pid.has_value());
    EXPECT_EQ(FileBytes(fixture.PidFile()), std::to_string(*pid) + "\n");
    // Already running counts as started; the same process goes on.
    EXPECT_EQ(manager.StartAService("TLVS Server"), SCM_Success);
    EXPECT_EQ(tlv::platform::ReadLivePid(fixture.PidFile()), pid);

    ASSERT_EQ(manager.StopAService("TLVS Server"), SCM_Success);
    EXPECT_EQ(StateOf(manager, "TLVS Server"), SCM_Stopped);
    EXPECT_NE(access(fixture.PidFile().c_str(), F_OK), 0);
}

TEST(ScmClass, TlvsdStartedElsewhereCountsAsRunningAndAStaleFileAsStopped) {
    ServiceFixture fixture;
    fixture.InstallServer();
    SCMclass& manager = fixture.Manager();
    TlvsdProcess server;
    ASSERT_TRUE(server.start({"--pid-file", fixture.PidFile()}));
    EXPECT_EQ(StateOf(manager, "TLVS Server"), SCM_Running);
    // A second server is refused the file the first one holds.
    TlvsdProcess second;
    EXPECT_FALSE(second.start({"--pid-file", fixture.PidFile()}));

    // Killed outright: its file stays behind but no longer counts.
    server.kill();
    ASSERT_EQ(access(fixture.PidFile().c_str(), F_OK), 0);
    EXPECT_EQ(StateOf(manager, "TLVS Server"), SCM_Stopped);
    // A file written by hand, with a live process's number, is not a running server either.
    std::ofstream(fixture.PidFile()) << getpid() << "\n";
    EXPECT_EQ(StateOf(manager, "TLVS Server"), SCM_Stopped);
    EXPECT_EQ(manager.StopAService("TLVS Server"), SCM_Success);
    EXPECT_EQ(StateOf(manager, "TLVS Server"), SCM_Stopped);
}

TEST(ScmClass, AStartThatNeverReportsEndsAfterTheToleratedStallsAndCanBeStopped) {
    ServiceFixture fixture;
    // The program runs but never writes the pid file: start pending until the wait gives up.
    fixture.Install("Silent", "/bin/sleep 30", fixture.Folder() + "/silent.pid", 2);
    SCMclass& manager = fixture.Manager();
    EXPECT_EQ(manager.StartAService("Silent"), SCM_StartFailed);
    EXPECT_EQ(StateOf(manager, "Silent"), SCM_Starting);
    EXPECT_EQ(manager.StopAService("Silent"), SCM_Success);
    EXPECT_EQ(StateOf(manager, "Silent"), SCM_Stopped);

    // A program that cannot be started, and a disabled service.
    fixture.Install("Broken", "/nonexistent/program");
    EXPECT_EQ(manager.StartAService("Broken"), SCM_Failed);
    fixture.Install("Off", "/bin/sleep 30");
    SetNumber(ServiceFixture::KeyOf("Off"), "Start", SERVICE_DISABLED);
    EXPECT_EQ(manager.StartAService("Off"), SCM_ServiceDisabled);
    EXPECT_EQ(StateOf(manager, "Off"), SCM_Stopped);
}

TEST(ScmClass, RemoveStopsARunningServiceFirstAndMarkedServicesRefuseChanges) {
    ServiceFixture fixture;
    SCMclass& manager = fixture.Manager();
    fixture.Install("Worker", "/bin/sleep 30");
    ASSERT_EQ(manager.StartAService("Worker"), SCM_Success);
    EXPECT_EQ(StateOf(manager, "Worker"), SCM_Running);
    EXPECT_EQ(manager.RemoveService("Worker"), SCM_Success);
    EXPECT_FALSE(KeyExists(ServiceFixture::KeyOf("Worker")));
    EXPECT_EQ(manager.RemoveService("Worker"), SCM_BadService);

    // Deleted while it runs: marked, and every change refused until it has stopped.
    fixture.Install("Worker", "/bin/sleep 30");
    ASSERT_EQ(manager.StartAService("Worker"), SCM_Success);
    const SC_HANDLE manager2 = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    const SC_HANDLE service = OpenServiceA(manager2, "Worker", SERVICE_ALL_ACCESS);
    ASSERT_NE(service, nullptr);
    ASSERT_TRUE(DeleteService(service));
    EXPECT_FALSE(DeleteService(service));
    EXPECT_EQ(GetLastError(), ERROR_SERVICE_MARKED_FOR_DELETE);
    EXPECT_EQ(manager.ChangeService("Worker", "Worker", "LocalSystem", ""), SCM_MarkedForDelete);
    EXPECT_EQ(manager.InstallService("Worker", "Worker", SERVICE_WIN32_OWN_PROCESS,
                                     SERVICE_DEMAND_START, "/bin/true", nullptr),
              SCM_MarkedForDelete);
    // The removal stops it; the key goes with the last handle.
    EXPECT_EQ(manager.RemoveService("Worker"), SCM_MarkedForDelete);
    EXPECT_EQ(StateOf(manager, "Worker"), SCM_Stopped);
    EXPECT_TRUE(KeyExists(ServiceFixture::KeyOf("Worker")));
    EXPECT_TRUE(CloseServiceHandle(service));
    EXPECT_FALSE(KeyExists(ServiceFixture::KeyOf("Worker")));
    EXPECT_TRUE(CloseServiceHandle(manager2));
    EXPECT_FALSE(CloseServiceHandle(service));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
}  // namespace tlv::test

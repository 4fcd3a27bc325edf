// SCMclass on systemd's units: against mock_systemd on a private bus, with unit files in a
// temporary folder. What is written for systemd is checked byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "config/multinode.h"
#include "config/scm.h"
#include "platform/scm/unitfiles.h"
#include "tests/scm/private_systemd.h"
#include "tests/scm/service_fixture.h"

namespace tlv::test {
namespace {

namespace fs = std::filesystem;

std::string Text(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

SCM_State StateOf(SCMclass& manager, const char* name) {
    SCM_State state = SCM_Unknown;
    EXPECT_EQ(manager.QueryStatus(name, state), SCM_Success);
    return state;
}

TEST(SystemdUnits, TlvsServerIsTlvsdServiceStartedAndStoppedThroughTheManager) {
    PrivateSystemd systemd({"--known", "tlvsd.service"});
    ASSERT_TRUE(systemd.IsReady());
    SCMclass manager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_TRUE(manager.IsOk());
    EXPECT_EQ(StateOf(manager, kServerServiceName), SCM_Stopped);
    EXPECT_TRUE(IsServerStopped(manager));
    EXPECT_EQ(manager.StopAService(kServerServiceName), SCM_Success);  // not active: done

    ASSERT_EQ(manager.StartAService(kServerServiceName), SCM_Success);
    EXPECT_EQ(StateOf(manager, kServerServiceName), SCM_Running);
    EXPECT_FALSE(IsServerStopped(manager));
    EXPECT_EQ(manager.StartAService(kServerServiceName), SCM_Success);  // already running
    ASSERT_EQ(manager.StopAService(kServerServiceName), SCM_Success);
    EXPECT_EQ(StateOf(manager, kServerServiceName), SCM_Stopped);

    std::vector<std::string> changes;
    for (const std::string& call : systemd.Calls()) {
        if (call.rfind("StartUnit", 0) == 0 || call.rfind("StopUnit", 0) == 0)
            changes.push_back(call);
    }
    EXPECT_EQ(changes, (std::vector<std::string>{"StartUnit tlvsd.service", "StopUnit tlvsd.service"}));

    SCM_State state = SCM_Running;
    EXPECT_EQ(manager.QueryStatus("Not Installed", state), SCM_BadService);
    EXPECT_EQ(state, SCM_Running);
}

TEST(SystemdUnits, RefusalsOfTheManagerAreMappedWithTheirReason) {
    PrivateSystemd systemd({"--known", "tlvsd.service", "--deny", "tlvsd.service", "--masked",
                            "Off.service"});
    ASSERT_TRUE(systemd.IsReady());
    SCMclass manager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    EXPECT_EQ(manager.StartAService(kServerServiceName), SCM_Failed);
    EXPECT_EQ(manager.FailureReason(), "Access denied");
    EXPECT_EQ(manager.StartAService("Off"), SCM_ServiceDisabled);
}

TEST(SystemdUnits, ChangeServiceWritesTheAccountAndNameAsADropInAndReloads) {
    PrivateSystemd systemd({"--known", "tlvsd.service"});
    ASSERT_TRUE(systemd.IsReady());
    SCMclass manager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    const std::string dropIn = systemd.UnitFolder() + "/tlvsd.service.d/tlvs-account.conf";
    const char* password = "Pw-7734-secret";

    EXPECT_EQ(manager.ChangeService(kServerServiceName, kServerServiceName,
                                    "KESTROVA\\no-such-user-x9", password),
              SCM_NoSuchAccount);
    EXPECT_EQ(manager.ChangeService(kServerServiceName, "TLVS\nServer", "KESTROVA\\nobody",
                                    password),
              SCM_BadService);
    EXPECT_FALSE(fs::exists(dropIn));

    ASSERT_EQ(manager.ChangeService(kServerServiceName, "TLVS 100% Server", "KESTROVA\\nobody",
                                    password),
              SCM_Success);
    EXPECT_EQ(Text(dropIn),
              "# Written by the Telvane Server administration client.\n"
              "[Unit]\nDescription=TLVS 100%% Server\n\n[Service]\nUser=nobody\n");
    EXPECT_EQ(systemd.Calls().back(), "Reload ");
    // The system's own account: the unit's own choice again.
    ASSERT_EQ(manager.ChangeService(kServerServiceName, kServerServiceName, "LocalSystem", ""),
              SCM_Success);
    EXPECT_EQ(Text(dropIn), "# Written by the Telvane Server administration client.\n"
                            "[Unit]\nDescription=TLVS Server\n");
    EXPECT_EQ(Text(dropIn).find(password), std::string::npos);
}

TEST(SystemdUnits, InstallWritesAUnitFileRemoveTakesOnlyItsOwn) {
    PrivateSystemd systemd({"--known", "tlvsd.service"});
    ASSERT_TRUE(systemd.IsReady());
    SCMclass manager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_EQ(manager.InstallService("Voice Mail", "Voice Mail", SERVICE_WIN32_OWN_PROCESS,
                                     SERVICE_AUTO_START, "/opt/vm/bin/vm --cost $5 50% \"x\"",
                                     "TLVS Server"),
              SCM_Success);
    const std::string unit = systemd.UnitFolder() + "/Voice\\x20Mail.service";
    EXPECT_EQ(Text(unit),
              "# Written by the Telvane Server administration client.\n"
              "[Unit]\nDescription=Voice Mail\nRequires=tlvsd.service\nAfter=tlvsd.service\n\n"
              "[Service]\nExecStart=\"/opt/vm/bin/vm\" \"--cost\" \"$$5\" \"50%%\" \"\\\"x\\\"\"\n"
              "\n[Install]\nWantedBy=multi-user.target\n");
    EXPECT_EQ(manager.InstallService("Voice Mail", "Voice Mail", SERVICE_WIN32_OWN_PROCESS,
                                     SERVICE_AUTO_START, "/bin/true", nullptr),
              SCM_ServiceExists);
    EXPECT_EQ(manager.InstallService("Relative", "Relative", SERVICE_WIN32_OWN_PROCESS,
                                     SERVICE_DEMAND_START, "bin/tool", nullptr),
              SCM_BadService);
    EXPECT_FALSE(fs::exists(systemd.UnitFolder() + "/Relative.service"));

    EXPECT_EQ(manager.RemoveService("Voice Mail"), SCM_Success);
    EXPECT_FALSE(fs::exists(unit));
    // The package's unit is not this layer's to remove.
    EXPECT_EQ(manager.RemoveService(kServerServiceName), SCM_Failed);
    std::vector<std::string> files;
    for (const std::string& call : systemd.Calls()) {
        if (call.find("UnitFiles") != std::string::npos)
            files.push_back(call);
    }
    EXPECT_EQ(files, (std::vector<std::string>{"EnableUnitFiles Voice\\x20Mail.service",
                                               "DisableUnitFiles Voice\\x20Mail.service"}));
}

TEST(SystemdUnits, UnitNamesAreEscapedAsSystemdEscapeDoes) {
    EXPECT_EQ(tlv::platform::UnitNameOf("TLVS Server"), "tlvsd.service");
    EXPECT_EQ(tlv::platform::UnitNameOf("Pager"), "Pager.service");
    EXPECT_EQ(tlv::platform::UnitNameOf("a/b.c"), "a-b.c.service");
    EXPECT_EQ(tlv::platform::UnitNameOf(".hidden"), "\\x2ehidden.service");
}

}  // namespace
}  // namespace tlv::test

#include "tests/scm/service_fixture.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iterator>

#include "platform/process/pidfile.h"
#include "platform/scm/servicedb.h"
#include "tests/config/regvalues.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {

ServiceFixture::RegistryBackEnd::RegistryBackEnd() {
    setenv("TLV_SERVICE_MANAGER", "registry", 1);
}

ServiceFixture::ServiceFixture()
    : m_strPidFile(m_dir.path() + "/tlvsd.pid"), m_manager(nullptr, nullptr, SC_MANAGER_ALL_ACCESS) {
    EXPECT_TRUE(m_manager.IsOk());
}

ServiceFixture::~ServiceFixture() {
    for (const std::string& name : m_installed)
        m_manager.StopAService(name.c_str());
    // The last resort when a stop failed: nothing may outlive the test.
    if (const std::optional<pid_t> pid = tlv::platform::ReadLivePid(m_strPidFile)) {
        ADD_FAILURE() << "tlvsd still ran after the test";
        kill(*pid, SIGKILL);
    }
}

std::string ServiceFixture::KeyOf(const std::string& name) {
    return std::string(platform::kServicesKey) + "\\" + name;
}

std::string ServiceFixture::CurrentUser() {
    const passwd* user = getpwuid(getuid());
    return user == nullptr ? std::string{} : std::string(user->pw_name);
}

void ServiceFixture::Install(const std::string& name, const std::string& commandLine,
                             const std::string& pidFile, DWORD waitHint) {
    ASSERT_EQ(m_manager.InstallService(name.c_str(), name.c_str(), SERVICE_WIN32_OWN_PROCESS,
                                       SERVICE_DEMAND_START, commandLine.c_str(), nullptr),
              SCM_Success);
    m_installed.push_back(name);
    // Only root may start a service of the system's account: anyone else runs their own.
    if (getuid() != 0) {
        ASSERT_EQ(m_manager.ChangeService(name.c_str(), name.c_str(), CurrentUser().c_str(), ""),
                  SCM_Success);
    }
    if (!pidFile.empty())
        SetString(KeyOf(name), "PidFile", pidFile);
    SetNumber(KeyOf(name), "WaitHint", waitHint);
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ServiceFixture::InstallServer() {
    // The platform's own pace: a loaded machine may take seconds to start a server.
    Install("TLVS Server",
            tlvsdPath() + " --listen 127.0.0.1:0 --key " + testAdminKeyFile() + " --pid-file " +
                m_strPidFile,
            m_strPidFile, platform::kDefaultWaitHint);
}

}  // namespace tlv::test

#pragma once
// A service database in a temporary registry, with services whose programs really run: tlvsd
// telling its id through a pid file, or any command line. Whatever a test started is stopped
// when the fixture ends, so no process outlives the test.

#include <string>
#include <vector>

#include "config/scm.h"
#include "tests/registry/temp_registry.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {

class ServiceFixture {
public:
    ServiceFixture();
    ~ServiceFixture();
    ServiceFixture(const ServiceFixture&) = delete;
    ServiceFixture& operator=(const ServiceFixture&) = delete;

    // Installs the service with the command line; a pid file, when given, is the service's
    // "PidFile". The wait hint (milliseconds) paces waits for pending starts and stops.
    void Install(const std::string& name, const std::string& commandLine,
                 const std::string& pidFile = {}, DWORD waitHint = kDefaultWaitHintMs);
    // "TLVS Server": tlvsd on a loopback port it picks, with the fixture's pid file.
    void InstallServer();

    SCMclass& Manager() { return m_manager; }
    const std::string& PidFile() const { return m_strPidFile; }
    const std::string& Folder() const { return m_dir.path(); }
    const std::string& RegistryFile() const { return m_registry.File(); }
    static std::string KeyOf(const std::string& name);
    // The name of the user running the tests.
    static std::string CurrentUser();

    static constexpr DWORD kDefaultWaitHintMs = 50;

private:
    // The registry's service database, even on a machine whose init system is systemd.
    struct RegistryBackEnd {
        RegistryBackEnd();
    };

    RegistryBackEnd m_backEnd;
    TempRegistry m_registry;
    TempDir m_dir;
    std::string m_strPidFile;
    SCMclass m_manager;
    std::vector<std::string> m_installed;
};

// Every byte of the file; empty when it cannot be read.
std::string FileBytes(const std::string& path);

}  // namespace tlv::test

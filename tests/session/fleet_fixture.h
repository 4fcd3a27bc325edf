#pragma once
// Several real tlvsd processes on loopback ports, each with a data folder of its own, and a
// temporary registry whose administration table names them in the order given; the S.100
// library started. A server can be stopped with SIGSTOP (hung: its port still takes
// connections, nothing answers), and entries can name a port where nothing listens.

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/registry/temp_registry.h"
#include "tests/support/tlvsd_process.h"

namespace tlv::test {

class FleetFixture final {
public:
    // Every server is started with the arguments.
    explicit FleetFixture(const std::vector<std::string>& entries,
                          const std::vector<std::string>& args = {});
    ~FleetFixture();
    FleetFixture(const FleetFixture&) = delete;
    FleetFixture& operator=(const FleetFixture&) = delete;

    bool IsReady() const { return m_bReady; }
    const std::string& RegistryFile() const { return m_registry.File(); }
    const std::string& Files() const { return m_files.path(); }

    TlvsdProcess& Server(const std::string& entry);
    // An entry whose port nothing listens on.
    bool AddClosedEntry(const std::string& entry);
    // SIGSTOP until Continue (or the fixture's end).
    void Hang(const std::string& entry);
    void Continue(const std::string& entry);

private:
    struct Member {
        std::string entry;
        std::unique_ptr<TempDir> data;
        std::unique_ptr<TlvsdProcess> server;
        bool bHung = false;
    };
    Member* Find(const std::string& entry);

    TempRegistry m_registry;
    TempDir m_files;
    std::vector<Member> m_members;
    bool m_bReady = false;
};

}  // namespace tlv::test

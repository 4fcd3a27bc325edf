#pragma once
// The command line of tlvsd.

#include <cstdint>
#include <string>
#include <vector>

#include "server/fault_plan.h"

namespace tlv::server {

struct ServiceProvider {
    std::string name;
    bool available = false;
};

enum class Seed { Empty, Demo };

struct ServerOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = 2020;  // 0 picks a free port
    std::string dataDir;        // "" keeps everything in memory
    std::string pidFile;        // "" writes none
    std::string keyFile;        // "" = DATA/admin.key
    Seed seed = Seed::Empty;
    std::string name = "tlvsd";
    FaultPlan faults;
    std::vector<ServiceProvider> providers;  // in configuration order
    bool providersGiven = false;
    bool useCgroups = true;  // a cgroup per service where the cgroup tree is writable
    bool help = false;
    bool version = false;
};

// Fills options from argv; false with a message for a bad command line.
bool parseOptions(int argc, const char* const* argv, ServerOptions& options, std::string& error);

const char* usageText();

}  // namespace tlv::server

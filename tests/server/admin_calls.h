#pragma once
// Requests and result readers for the end-to-end tests of tlvsd.

#include <string>
#include <vector>

#include "s100/proto/admin.pb.h"
#include "s100/s100.h"
#include "s100/wire/client.h"

namespace tlv::test {

struct ServiceSetup {
    CTsymbol kind = SVC_KindExecutable;
    std::string commandLine = "/bin/sleep 30";
    CTsymbol startType = SVC_Optional;
    bool disabled = false;
    int maxRestarts = 0;
    int exitTimeout = 15;
    int emergencyTimeout = 120;
};

tlv::wire::KVSet serviceDefinition(const ServiceSetup& setup);
tlv::wire::KVSet stringSet(CTsymbol key, const std::string& value);

tlv::wire::Request getProfileInfo(const std::string& name, const std::string& profileClass,
                                  bool withContents);
tlv::wire::Request addProfile(const std::string& name, const std::string& profileClass,
                              const tlv::wire::KVSet& contents);
tlv::wire::Request updateProfile(const std::string& name, const std::string& profileClass,
                                 const tlv::wire::KVSet& contents);
tlv::wire::Request removeProfile(const std::string& name, const std::string& profileClass);
tlv::wire::Request addService(const std::string& name, const tlv::wire::KVSet& definition);
tlv::wire::Request updateService(const std::string& name, const tlv::wire::KVSet& definition);
tlv::wire::Request removeService(const std::string& name);
tlv::wire::Request startService(const std::string& name);
tlv::wire::Request stopService(const std::string& name, CTsymbol mode = LEVEL_CHANGE_NORMAL);
tlv::wire::Request getServiceState();
tlv::wire::Request getSPInfo();
tlv::wire::Request getServiceStatus(const std::vector<std::string>& names = {});
tlv::wire::Request getServerLevel();
tlv::wire::Request setLevel(int level, CTsymbol mode = LEVEL_CHANGE_NORMAL);

// Sends request; the response's error, or the transport's error when there was no response.
CTerror call(tlv::wire::ClientConnection& connection, tlv::wire::Request request,
             tlv::wire::Response* response = nullptr);

std::vector<std::string> strings(const tlv::wire::KVSet& set, CTsymbol key);
std::vector<CTsymbol> symbols(const tlv::wire::KVSet& set, CTsymbol key);
std::vector<std::uint32_t> bools(const tlv::wire::KVSet& set, CTsymbol key);

// The state symbol of one service, or 0 when it is not listed.
CTsymbol serviceState(tlv::wire::ClientConnection& connection, const std::string& name);
// Waits up to timeout for the service to reach state.
bool waitForState(tlv::wire::ClientConnection& connection, const std::string& name, CTsymbol state,
                  std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Waits for the pid that service_helper writes to path; 0 when none came within 5 s.
int waitForPidFile(const std::string& path);

}  // namespace tlv::test

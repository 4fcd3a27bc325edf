#pragma once
// What the server needs of a service definition record, read from its KV set.

#include <string>

#include "s100/errors.h"
#include "s100/proto/kvset.pb.h"
#include "s100/symbols.h"

namespace tlv::server {

inline constexpr const char* kServiceClass = "TLVS_Service";

struct ServiceDefinition {
    CTsymbol kind = SVC_KindExecutable;
    CTsymbol startType = SVC_Optional;
    bool disabled = false;
    std::string commandLine;  // executables only
    int startTimeoutSeconds = 15;
    int exitTimeoutSeconds = 15;
    int emergencyTimeoutSeconds = 120;
    int maxRestarts = 0;
};

// CTerr_InvalidName for a name that is not s100::isServiceName: empty, longer than 32
// characters, or holding a space or a control byte.
CTerror checkServiceName(const std::string& name);

// Reads the record. CTerr_InvalidArgument when SVC_Kind is missing or not one of the two kinds,
// or a key the server uses holds a value of the wrong type. Missing keys keep their defaults;
// negative timeouts and restart counts count as 0. Only the word 1 counts as disabled.
CTerror readServiceDefinition(const tlv::wire::KVSet& set, ServiceDefinition& definition);

}  // namespace tlv::server

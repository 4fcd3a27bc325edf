#pragma once
// Faults injected for tests: --fail CALL=CODE[xN] answers the next N calls (every call without
// N) with CODE and does nothing else; --delay CALL=MS holds the answers of a call back.

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "s100/errors.h"
#include "s100/proto/admin.pb.h"

namespace tlv::server {

// The call's name as the C API spells it without its prefix (GetProfileInfo, AddService, ...),
// or "" for a request without a call.
std::string callName(tlv::wire::Request::CallCase call);
bool isCallName(const std::string& name);

class FaultPlan final {
public:
    // Parse "CALL=CODE[xN]" (CODE in hex with 0x or decimal) and "CALL=MS". False with a
    // message for anything else.
    bool addFailure(const std::string& option, std::string& error);
    bool addDelay(const std::string& option, std::string& error);

    // The code to answer this call with, using up one of a counted failure.
    std::optional<CTerror> takeFailure(const std::string& call);
    std::chrono::milliseconds delayFor(const std::string& call) const;

private:
    struct Failure {
        CTerror code = CTerr_NoError;
        std::optional<std::uint32_t> remaining;  // none: every call
    };
    std::map<std::string, Failure> m_failures;
    std::map<std::string, std::chrono::milliseconds> m_delays;
};

}  // namespace tlv::server

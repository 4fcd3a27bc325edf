#include "server/fault_plan.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <utility>

namespace tlv::server {
namespace {

using Call = tlv::wire::Request::CallCase;

constexpr std::array<std::pair<Call, const char*>, 13> kCallNames{{
    {Call::kGetProfileInfo, "GetProfileInfo"},
    {Call::kGetServiceState, "GetServiceState"},
    {Call::kGetSpInfo, "GetSPInfo"},
    {Call::kGetServerLevel, "GetServerLevel"},
    {Call::kSetTargetServerLevel, "SetTargetServerLevel"},
    {Call::kAddProfile, "AddProfile"},
    {Call::kUpdateProfile, "UpdateProfile"},
    {Call::kRemoveProfile, "RemoveProfile"},
    {Call::kAddService, "AddService"},
    {Call::kUpdateService, "UpdateService"},
    {Call::kRemoveService, "RemoveService"},
    {Call::kStartService, "StartService"},
    {Call::kStopService, "StopService"},
}};

constexpr unsigned long kMaxDelayMs = 10UL * 60UL * 1000UL;

// A whole unsigned number in base 10, or base 16 with 0x; false for anything else.
bool parseNumber(const std::string& text, unsigned long limit, unsigned long& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+') {
        return false;
    }
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    errno = 0;
    value = std::strtoul(text.c_str(), &end, hex ? 16 : 10);
    return errno == 0 && end != nullptr && *end == '\0' && value <= limit;
}

struct CallOption {
    std::string call;
    std::string value;
};

// Splits "CALL=VALUE" and checks the call name; nothing, with the message, when either fails.
std::optional<CallOption> splitOption(const std::string& option, std::string& error) {
    const std::size_t equals = option.find('=');
    if (equals == std::string::npos) {
        error = "expected CALL=VALUE, got \"" + option + "\"";
        return std::nullopt;
    }
    CallOption split{option.substr(0, equals), option.substr(equals + 1)};
    if (!isCallName(split.call)) {
        error = "unknown call \"" + split.call + "\"";
        return std::nullopt;
    }
    return split;
}

}  // namespace

std::string callName(Call call) {
    for (const auto& [value, name] : kCallNames) {
        if (value == call) {
            return name;
        }
    }
    return {};
}

bool isCallName(const std::string& name) {
    for (const auto& [value, known] : kCallNames) {
        if (name == known) {
            return true;
        }
    }
    return false;
}

bool FaultPlan::addFailure(const std::string& option, std::string& error) {
    const std::optional<CallOption> split = splitOption(option, error);
    if (!split) {
        return false;
    }
    const std::string& value = split->value;
    Failure failure;
    std::string codeText = value;
    // The count follows an 'x' after the code (not the one of its "0x").
    const bool hexCode =
        value.size() > 1 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
    const std::size_t times = value.find_first_of("xX", hexCode ? 2 : 0);
    if (times != std::string::npos) {
        unsigned long count = 0;
        if (!parseNumber(value.substr(times + 1), 0xFFFFFFFFUL, count) || count == 0) {
            error = "bad count in \"" + option + "\"";
            return false;
        }
        failure.remaining = static_cast<std::uint32_t>(count);
        codeText = value.substr(0, times);
    }
    unsigned long code = 0;
    if (!parseNumber(codeText, 0xFFFFFFFFUL, code)) {
        error = "bad error code in \"" + option + "\"";
        return false;
    }
    failure.code = static_cast<CTerror>(code);
    m_failures[split->call] = failure;
    return true;
}

bool FaultPlan::addDelay(const std::string& option, std::string& error) {
    const std::optional<CallOption> split = splitOption(option, error);
    if (!split) {
        return false;
    }
    unsigned long milliseconds = 0;
    if (!parseNumber(split->value, kMaxDelayMs, milliseconds)) {
        error = "bad delay in \"" + option + "\" (milliseconds, at most 600000)";
        return false;
    }
    m_delays[split->call] = std::chrono::milliseconds{milliseconds};
    return true;
}

std::optional<CTerror> FaultPlan::takeFailure(const std::string& call) {
    const auto it = m_failures.find(call);
    if (it == m_failures.end()) {
        return std::nullopt;
    }
    const CTerror code = it->second.code;
    if (it->second.remaining && --*it->second.remaining == 0) {
        m_failures.erase(it);
    }
    return code;
}

std::chrono::milliseconds FaultPlan::delayFor(const std::string& call) const {
    const auto it = m_delays.find(call);
    return it == m_delays.end() ? std::chrono::milliseconds{0} : it->second;
}

}  // namespace tlv::server

#include "s100/client/connect_string.h"

#include <cctype>

namespace tlv::client {
namespace {

constexpr std::string_view kPrefix = "tcp:";
constexpr std::size_t kMaxPortDigits = 5;
constexpr unsigned kMaxPort = 65535;

bool hasPrefix(std::string_view text) {
    if (text.size() < kPrefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kPrefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != kPrefix[i]) {
            return false;
        }
    }
    return true;
}

bool isUsableHost(std::string_view host) {
    for (const char c : host) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == 0x7F) {
            return false;
        }
    }
    return true;
}

bool isDigits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return !text.empty();
}

ConnectStringFault parsePort(std::string_view digits, std::uint16_t& port) {
    if (digits.empty()) {
        return ConnectStringFault::NoPort;
    }
    if (!isDigits(digits)) {
        return ConnectStringFault::PortNotANumber;
    }
    if (digits.size() > kMaxPortDigits) {
        return ConnectStringFault::PortOutOfRange;
    }
    unsigned value = 0;
    for (const char c : digits) {
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > kMaxPort) {
        return ConnectStringFault::PortOutOfRange;
    }
    port = static_cast<std::uint16_t>(value);
    return ConnectStringFault::None;
}

ConnectStringFault findFault(std::string_view text, ServerAddress& address) {
    if (text.empty()) {
        return ConnectStringFault::Empty;
    }
    if (!hasPrefix(text)) {
        return ConnectStringFault::NoPrefix;
    }
    const std::string_view rest = text.substr(kPrefix.size());
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string_view::npos) {
        return ConnectStringFault::NoPort;
    }
    const std::string_view host = rest.substr(0, colon);
    if (host.empty()) {
        return ConnectStringFault::NoHost;
    }
    if (!isUsableHost(host)) {
        return ConnectStringFault::BadHost;
    }
    std::uint16_t port = 0;
    if (const ConnectStringFault fault = parsePort(rest.substr(colon + 1), port);
        fault != ConnectStringFault::None) {
        return fault;
    }
    address.host = std::string(host);
    address.port = port;
    return ConnectStringFault::None;
}

}  // namespace

CTerror parseConnectString(std::string_view text, ServerAddress& address,
                           ConnectStringFault* fault) {
    const ConnectStringFault found = findFault(text, address);
    if (fault != nullptr) {
        *fault = found;
    }
    return found == ConnectStringFault::None ? CTerr_NoError : CTerr_BadConnectString;
}

}  // namespace tlv::client

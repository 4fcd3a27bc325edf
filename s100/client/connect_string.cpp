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
    if (host.empty()) {
        return false;
    }
    for (const char c : host) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == 0x7F) {
            return false;
        }
    }
    return true;
}

bool parsePort(std::string_view digits, std::uint16_t& port) {
    if (digits.empty() || digits.size() > kMaxPortDigits) {
        return false;
    }
    unsigned value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > kMaxPort) {
        return false;
    }
    port = static_cast<std::uint16_t>(value);
    return true;
}

}  // namespace

CTerror parseConnectString(std::string_view text, ServerAddress& address) {
    if (!hasPrefix(text)) {
        return CTerr_BadConnectString;
    }
    const std::string_view rest = text.substr(kPrefix.size());
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string_view::npos) {
        return CTerr_BadConnectString;
    }
    const std::string_view host = rest.substr(0, colon);
    std::uint16_t port = 0;
    if (!isUsableHost(host) || !parsePort(rest.substr(colon + 1), port)) {
        return CTerr_BadConnectString;
    }
    address.host = std::string(host);
    address.port = port;
    return CTerr_NoError;
}

}  // namespace tlv::client

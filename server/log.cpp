#include "server/log.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <ctime>

#include "platform/text/shownbytes.h"

namespace tlv::server {

std::string isoTime(std::chrono::system_clock::time_point time) {
    const auto sinceEpoch = time.time_since_epoch();
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count() % 1000;
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    std::snprintf(text + length, sizeof text - length, ".%03dZ", static_cast<int>(millis));
    return text;
}

std::string printable(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return tlv::platform::ShownBytes(text);
    // Back over the continuation bytes of a character the bound cuts, so that it is not shown
    // as escapes; a UTF-8 character has at most three.
    const auto isContinuation = [&](std::size_t at) {
        return (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
    };
    std::size_t cut = maxBytes;
    while (cut > 0 && maxBytes - cut < 3 && isContinuation(cut))
        --cut;
    return tlv::platform::ShownBytes(text.substr(0, cut)) + "...";
}

std::string printableToken(std::string_view text) {
    std::string shown;
    for (const char byte : text.substr(0, kShownNameBytes)) {
        const auto c = static_cast<unsigned char>(byte);
        if (std::isalnum(c) != 0 || c == ':' || c == '.' || c == '-') {
            shown += byte;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            shown += escape;
        }
    }
    return text.size() > kShownNameBytes ? shown + "..." : shown;
}

std::string endpointText(const asio::ip::tcp::endpoint& endpoint) {
    const std::string address = endpoint.address().to_string();
    const std::string port = ":" + std::to_string(endpoint.port());
    return endpoint.address().is_v6() ? "[" + address + "]" + port : address + port;
}

void logEvent(const char* format, ...) {
    char message[2048];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    // One write per line, so lines of concurrent writers to the same file do not interleave.
    const std::string line =
        isoTime(std::chrono::system_clock::now()) + " tlvsd: " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace tlv::server

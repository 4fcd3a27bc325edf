#pragma once
// tlvsd's event log: one line per event on stderr, each starting with its time in ISO 8601
// (UTC, milliseconds), so that an operator can line events up with the services' own output.

#include <asio.hpp>
#include <chrono>
#include <string>
#include <string_view>

namespace tlv::server {

// "2026-12-08T14:50:00.123Z"
std::string isoTime(std::chrono::system_clock::time_point time);

// The text with control characters and bytes above 0x7e written as \xHH, at most 64 bytes of
// it: names that come from clients go into the log this way.
std::string printable(std::string_view text);

// The text with every byte but letters, digits, ':', '.' and '-' written as \xHH, at most 64
// bytes of it: a peer's bytes inside a line that fail2ban matches, so they can never read as
// another line's words.
std::string printableToken(std::string_view text);

// "127.0.0.1:40312", "[::1]:40312"
std::string endpointText(const asio::ip::tcp::endpoint& endpoint);

// Writes "TIME tlvsd: " and the formatted text as one line to stderr.
void logEvent(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tlv::server

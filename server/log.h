#pragma once
// tlvsd's event log: one line per event on stderr, each starting with its time in ISO 8601
// (UTC, milliseconds), so that an operator can line events up with the services' own output.

#include <asio.hpp>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace tlv::server {

// "2026-12-08T14:50:00.123Z"
std::string isoTime(std::chrono::system_clock::time_point time);

// Names and paths that come from clients or from what they stored go into the log this way:
// shown by the rule of platform/text/shownbytes.h, so that no name can drive the terminal of
// whoever reads the log or forge a line of it, and at most maxBytes of it, cut between
// characters and marked "...".
inline constexpr std::size_t kShownNameBytes = 64;
inline constexpr std::size_t kShownPathBytes = 1024;
std::string printable(std::string_view text, std::size_t maxBytes = kShownNameBytes);

// The text with every byte but letters, digits, ':', '.' and '-' written as \xHH, at most 64
// bytes of it: a peer's bytes inside a line that fail2ban matches, so they can never read as
// another line's words.
std::string printableToken(std::string_view text);

// "127.0.0.1:40312", "[::1]:40312"
std::string endpointText(const asio::ip::tcp::endpoint& endpoint);

// Writes "TIME tlvsd: " and the formatted text as one line to stderr.
void logEvent(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tlv::server

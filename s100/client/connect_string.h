#pragma once
// The connection string of a server entry: "tcp:" host ":" port.

#include <cstdint>
#include <string>
#include <string_view>

#include "s100/errors.h"

namespace tlv::client {

struct ServerAddress {
    std::string host;
    std::uint16_t port = 0;
};

// The prefix is compared without regard to case; the host is everything up to the last colon
// and must be non-empty and free of blanks and control characters; the port is 1..65535 in
// decimal digits. CTerr_BadConnectString otherwise.
CTerror parseConnectString(std::string_view text, ServerAddress& address);

}  // namespace tlv::client

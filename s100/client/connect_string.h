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

// What is wrong with a connection string, so the operator is told which part to mend.
enum class ConnectStringFault {
    None,
    Empty,
    NoPrefix,  // it does not begin with "tcp:"
    NoPort,    // no colon and port after the host
    NoHost,    // nothing between "tcp:" and the port's colon
    BadHost,   // the host holds a blank or a control character
    PortNotANumber,
    PortOutOfRange,  // a number, but not 1..65535
    TooLong,         // longer than any connection string (server_table.h)
};

// The prefix is compared without regard to case; the host is everything up to the last colon
// and must be non-empty and free of blanks and control characters; the port is 1..65535 in
// decimal digits. CTerr_BadConnectString otherwise, and what is wrong in fault when asked.
CTerror parseConnectString(std::string_view text, ServerAddress& address,
                           ConnectStringFault* fault = nullptr);

}  // namespace tlv::client

#pragma once
// The source a connection is counted by, for admission and for failed keys: its IPv4 address, or
// the /64 network of its IPv6 address (one host usually has a whole /64 to pick from).

#include <asio.hpp>

namespace tlv::server {

inline asio::ip::address sourceOf(const asio::ip::address& address) {
    if (address.is_v6() && !address.to_v6().is_v4_mapped()) {
        asio::ip::address_v6::bytes_type bytes = address.to_v6().to_bytes();
        std::fill(bytes.begin() + 8, bytes.end(), 0);
        return asio::ip::address_v6(bytes);
    }
    if (address.is_v6()) {
        return asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6());
    }
    return address;
}

}  // namespace tlv::server

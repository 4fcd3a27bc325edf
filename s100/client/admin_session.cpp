#include "s100/client/admin_session.h"

#include "s100/client/connect_string.h"
#include "s100/client/entry_key.h"
#include "s100/client/server_table.h"
#include "s100/proto/admin.pb.h"

namespace tlv::client {
namespace {

constexpr const char* kClientName = "S.100 administration client";

}  // namespace

AdminSession::AdminSession(std::chrono::milliseconds callTimeout) : m_connection(callTimeout) {}

CTerror AdminSession::open(const std::string& entryName) {
    std::string connectString;
    if (const CTerror error = lookUpServerEntry(entryName, connectString); error != CTerr_NoError) {
        return error;
    }
    ServerAddress address;
    if (const CTerror error = parseConnectString(connectString, address); error != CTerr_NoError) {
        return error;
    }
    std::string key;
    std::string problem;
    if (const CTerror error = loadEntryKey(entryName, key, problem); error != CTerr_NoError) {
        return error;
    }
    if (const CTerror error = m_connection.connect(address.host, address.port);
        error != CTerr_NoError) {
        return error;
    }
    return m_connection.handshake(kClientName, key);
}

CTerror AdminSession::exchange(tlv::wire::Request& request, tlv::wire::Response& response) {
    return m_connection.call(request, response);
}

CTerror AdminSession::exchangeInParts(
    tlv::wire::Request& request, const std::function<bool(tlv::wire::Response&)>& onPart) {
    return m_connection.callInParts(request, onPart);
}

void AdminSession::markLost() {
    m_connection.close();
}

}  // namespace tlv::client

#include "s100/client/admin_session.h"

#include "s100/client/entry_key.h"
#include "s100/client/open_failure.h"
#include "s100/client/server_table.h"
#include "s100/proto/admin.pb.h"

namespace tlv::client {
namespace {

constexpr const char* kClientName = "S.100 administration client";

}  // namespace

AdminSession::AdminSession(std::chrono::milliseconds callTimeout) : m_connection(callTimeout) {}

CTerror AdminSession::open(const std::string& entryName) {
    std::string words;
    const CTerror error = connect(entryName, words);
    noteOpenFailure(entryName, error == CTerr_NoError ? std::string() : words);
    return error;
}

CTerror AdminSession::openAddress(const std::string& connectString, const std::string& keyFile) {
    std::string words;
    const CTerror error = connectAddress(connectString, keyFile, words);
    noteOpenFailure(connectString, error == CTerr_NoError ? std::string() : words);
    return error;
}

CTerror AdminSession::connect(const std::string& entryName, std::string& words) {
    std::string connectString;
    if (const CTerror error = lookUpServerEntry(entryName, connectString); error != CTerr_NoError) {
        words = "there is no server entry \"" + entryName + "\" in the administration server table";
        return error;
    }
    ServerAddress address;
    if (const CTerror error = parseConnectString(connectString, address); error != CTerr_NoError) {
        words = "the connection string \"" + connectString + "\" of the server entry \"" +
                entryName + "\" is not tcp:HOST:PORT";
        return error;
    }
    std::string key;
    std::string keyFile;
    if (const CTerror error = loadEntryKey(entryName, key, words, &keyFile);
        error != CTerr_NoError) {
        words = "no admin key: " + words;
        return error;
    }
    return reach(address, key, entryName + " (" + keyFile + ")", words);
}

CTerror AdminSession::connectAddress(const std::string& connectString, const std::string& keyFile,
                                     std::string& words) {
    ServerAddress address;
    if (const CTerror error = parseConnectString(connectString, address); error != CTerr_NoError) {
        words = "\"" + connectString + "\" is not tcp:HOST:PORT";
        return error;
    }
    std::string key;
    if (const CTerror error = loadKeyFile(keyFile, key, words); error != CTerr_NoError) {
        words = "no admin key: " + words;
        return error;
    }
    return reach(address, key, keyFile, words);
}

CTerror AdminSession::reach(const ServerAddress& address, const std::string& key,
                            const std::string& keyOwner, std::string& words) {
    const std::string where = address.host + ":" + std::to_string(address.port);
    if (const CTerror error = m_connection.connect(address.host, address.port);
        error != CTerr_NoError) {
        words = "no server answered at " + where + " (" + m_connection.failureReason() + ")";
        return error;
    }
    const CTerror error = m_connection.handshake(kClientName, key);
    if (error == CTerr_KeyRejected) {
        words = "the server refused the admin key of " + keyOwner;
    } else if (error == CTerr_ProtocolMismatch) {
        words = "the server at " + where + " speaks another protocol version";
    } else if (error != CTerr_NoError) {
        words = "the connection to " + where + " was lost in its handshake";
    }
    return error;
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

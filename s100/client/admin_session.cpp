#include "s100/client/admin_session.h"

#include "s100/client/connect_string.h"
#include "s100/client/entry_key.h"
#include "s100/client/open_failure.h"
#include "s100/client/server_table.h"
#include "s100/proto/admin.pb.h"
#include "s100/wire/frame.h"

namespace tlv::client {
namespace {

constexpr const char* kClientName = "S.100 administration client";

}  // namespace

AdminSession::AdminSession(std::chrono::milliseconds callTimeout) : m_connection(callTimeout) {}

namespace {

// Keeps what the open learnt; a success forgets an earlier failure of the same name.
CTerror noteOutcome(OpenFailure failure, CTerror error) {
    if (error == CTerr_NoError) {
        failure.step = OpenStep::None;
    }
    noteOpenFailure(std::move(failure));
    return error;
}

}  // namespace

CTerror AdminSession::open(const std::string& entryName) {
    OpenFailure failure;
    failure.entry = entryName;
    const CTerror error = connect(failure);
    return noteOutcome(std::move(failure), error);
}

// The target as written stands where an entry's name would, so its failure is told by it.
CTerror AdminSession::openAddress(const std::string& connectString, const std::string& keyFile) {
    OpenFailure failure;
    failure.entry = connectString;
    failure.connectString = connectString;
    const CTerror error = connectAddress(failure, keyFile);
    return noteOutcome(std::move(failure), error);
}

// Each step leaves what it learnt in the record, so that a failure is told with all of it.
CTerror AdminSession::connect(OpenFailure& failure) {
    failure.step = OpenStep::Entry;
    if (const CTerror error =
            lookUpServerEntry(failure.entry, failure.connectString, &failure.entryFault);
        error != CTerr_NoError) {
        if (failure.entryFault == EntryFault::TooLong) {
            failure.step = OpenStep::Address;
            failure.stringFault = ConnectStringFault::TooLong;
        }
        return error;
    }
    ServerAddress address;
    if (const CTerror error = parseAddress(failure, address); error != CTerr_NoError)
        return error;
    failure.step = OpenStep::Key;
    std::string key;
    if (const CTerror error = loadEntryKey(failure.entry, key, failure.keyProblem, &failure.keyFile,
                                           &failure.keyFault);
        error != CTerr_NoError) {
        return error;
    }
    return reach(failure, address, key);
}

CTerror AdminSession::connectAddress(OpenFailure& failure, const std::string& keyFile) {
    ServerAddress address;
    if (const CTerror error = parseAddress(failure, address); error != CTerr_NoError)
        return error;
    failure.step = OpenStep::Key;
    failure.keyFile = keyFile;
    std::string key;
    if (const CTerror error = loadKeyFile(keyFile, key, failure.keyProblem, &failure.keyFault);
        error != CTerr_NoError) {
        return error;
    }
    return reach(failure, address, key);
}

CTerror AdminSession::parseAddress(OpenFailure& failure, ServerAddress& address) {
    failure.step = OpenStep::Address;
    if (const CTerror error =
            parseConnectString(failure.connectString, address, &failure.stringFault);
        error != CTerr_NoError) {
        return error;
    }
    failure.host = address.host;
    failure.port = address.port;
    return CTerr_NoError;
}

CTerror AdminSession::reach(OpenFailure& failure, const ServerAddress& address,
                            const std::string& key) {
    failure.step = OpenStep::Connect;
    failure.clientVersion = tlv::wire::kProtocolVersion;
    failure.timeout = m_connection.callTimeout();
    CTerror error = m_connection.connect(address.host, address.port);
    if (error == CTerr_NoError) {
        error = m_connection.handshake(kClientName, key);
    }
    failure.connectFault = m_connection.lastFault();
    failure.systemReason = m_connection.failureReason();
    failure.serverVersion = m_connection.serverProtocolVersion();
    return error;
}

CTerror AdminSession::exchange(tlv::wire::Request& request, tlv::wire::Response& response) {
    return m_connection.call(request, response);
}

CTerror AdminSession::exchangeInParts(tlv::wire::Request& request,
                                      const std::function<bool(tlv::wire::Response&)>& onPart) {
    return m_connection.callInParts(request, onPart);
}

void AdminSession::markLost() {
    m_connection.close();
}

}  // namespace tlv::client

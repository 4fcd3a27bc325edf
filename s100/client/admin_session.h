#pragma once
// One S.100 session: the connection to the server named by an administration server entry.
//
// A session whose connection was closed, reset or timed out, or that received an answer it
// could not read, is lost for good: every later call fails with CTerr_ConnectionLost at once.

#include <chrono>
#include <functional>
#include <string>

#include "s100/client/connect_string.h"
#include "s100/client/list_cache.h"
#include "s100/client/open_failure.h"
#include "s100/errors.h"
#include "s100/wire/client.h"

namespace tlv::wire {
class Request;
class Response;
}  // namespace tlv::wire

namespace tlv::client {

class AdminSession final {
public:
    explicit AdminSession(std::chrono::milliseconds callTimeout);

    // Resolves the entry, reads its admin key (entry_key.h), connects and shakes hands. A
    // failure also leaves its record for the entry (open_failure.h).
    CTerror open(const std::string& entryName);
    // Connects to a connection string with the key of a file the caller names, for a server
    // that has no entry; the file is checked as an entry's key file is. The failure's record
    // is left under the connection string.
    CTerror openAddress(const std::string& connectString, const std::string& keyFile);

    // Sends the request and waits for its answer. CTerr_NoError when one arrived (the call's
    // own outcome is in it), CTerr_ConnectionLost otherwise.
    CTerror exchange(tlv::wire::Request& request, tlv::wire::Response& response);

    // As exchange, handing over the answer part by part (ClientConnection::callInParts).
    CTerror exchangeInParts(tlv::wire::Request& request,
                            const std::function<bool(tlv::wire::Response& part)>& onPart);

    // The answer did not make sense: drop the connection for good.
    void markLost();

    // From any thread: the connect or exchange waiting now and every later one fail.
    void abort() { m_connection.abort(); }

    // The list answers this session last received.
    ListAnswerCache& lists() { return m_lists; }

private:
    // The steps after the connection string is known and the key read, for either way of
    // naming a server; each leaves what it learnt in the record.
    CTerror connect(OpenFailure& failure);
    CTerror connectAddress(OpenFailure& failure, const std::string& keyFile);
    // The connect string parsed into the address, and the host and port noted in the record.
    CTerror parseAddress(OpenFailure& failure, ServerAddress& address);
    CTerror reach(OpenFailure& failure, const ServerAddress& address, const std::string& key);

    tlv::wire::ClientConnection m_connection;
    ListAnswerCache m_lists;
};

}  // namespace tlv::client

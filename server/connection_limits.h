#pragma once
// Who may stay connected, so that no crowd of connections keeps a key holder out. A connection
// starts pending (it has 5 s and a few KiB to prove it holds the admin key and say Hello); when
// the pending are at their cap, the oldest pending connection of the source with the most
// pending ones (source_address.h) is closed to make room, so a flood of idle or dribbling
// connections, however fast, only ever pushes itself out and never a handshake from elsewhere.
// A connection that proved the key is authenticated; when those are at their cap, the one idle
// the longest is closed.

#include <chrono>
#include <cstddef>
#include <list>
#include <memory>

#include "server/log_throttle.h"

namespace tlv::server {

class ClientSession;

inline constexpr std::size_t kMaxPendingClients = 64;
inline constexpr std::size_t kMaxAuthenticatedClients = 256;

class ClientRoster final {
public:
    ClientRoster(std::size_t maxPending = kMaxPendingClients,
                 std::size_t maxAuthenticated = kMaxAuthenticatedClients)
        : m_maxPending(maxPending), m_maxAuthenticated(maxAuthenticated) {}
    ClientRoster(const ClientRoster&) = delete;
    ClientRoster& operator=(const ClientRoster&) = delete;

    // Holds a new connection as pending, making room as above when they are at cap.
    void admit(std::shared_ptr<ClientSession> session);
    // Moves a connection that proved the key to the authenticated; closes the longest idle one
    // when they are at cap. False when none is idle: the caller then closes this one.
    bool authenticate(ClientSession* session);
    // Closes a pending connection as admit does, if any (to free a descriptor when none is
    // left).
    bool evictPending();  // false when none is pending
    // Forgets a connection that closed.
    void remove(ClientSession* session);
    // Closes every connection.
    void closeAll();

    std::size_t pending() const { return m_pending.size(); }
    std::size_t authenticated() const { return m_authenticated.size(); }

private:
    using Sessions = std::list<std::shared_ptr<ClientSession>>;
    static void evict(Sessions& from, Sessions::iterator which);
    Sessions::iterator oldestOfBusiestSource();

    std::size_t m_maxPending;
    std::size_t m_maxAuthenticated;
    Sessions m_pending;  // oldest first
    Sessions m_authenticated;
    LogThrottle m_evictionLog{std::chrono::seconds(1)};
};

}  // namespace tlv::server

#include "server/connection_limits.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "server/client_session.h"
#include "server/log.h"
#include "server/source_address.h"

namespace tlv::server {
namespace {

template <typename List>
typename List::iterator findSession(List& sessions, const ClientSession* session) {
    return std::find_if(sessions.begin(), sessions.end(),
                        [session](const auto& held) { return held.get() == session; });
}

}  // namespace

void ClientRoster::evict(Sessions& from, Sessions::iterator which) {
    const std::shared_ptr<ClientSession> session = *which;
    from.erase(which);
    session->close();  // its closed callback finds it gone already
}

// The pending are few (kMaxPendingClients): counting them anew each time costs nothing.
ClientRoster::Sessions::iterator ClientRoster::oldestOfBusiestSource() {
    std::map<asio::ip::address, std::size_t> perSource;
    asio::ip::address busiest;
    std::size_t most = 0;
    for (const auto& session : m_pending) {
        const asio::ip::address source = sourceOf(session->peer().address());
        if (const std::size_t count = ++perSource[source]; count > most) {
            most = count;
            busiest = source;
        }
    }
    return std::find_if(m_pending.begin(), m_pending.end(), [&busiest](const auto& session) {
        return sourceOf(session->peer().address()) == busiest;
    });
}

void ClientRoster::admit(std::shared_ptr<ClientSession> session) {
    if (m_pending.size() >= m_maxPending) {
        evictPending();
    }
    m_pending.push_back(std::move(session));
}

bool ClientRoster::authenticate(ClientSession* session) {
    const auto pending = findSession(m_pending, session);
    if (pending == m_pending.end()) {
        return false;
    }
    if (m_authenticated.size() >= m_maxAuthenticated) {
        auto idlest = m_authenticated.end();
        for (auto it = m_authenticated.begin(); it != m_authenticated.end(); ++it) {
            if ((*it)->isIdle() &&
                (idlest == m_authenticated.end() || (*it)->idleSince() < (*idlest)->idleSince())) {
                idlest = it;
            }
        }
        if (idlest == m_authenticated.end()) {
            return false;
        }
        logEvent("dropping the client idle the longest: %zu clients connected",
                 m_authenticated.size());
        evict(m_authenticated, idlest);
    }
    m_authenticated.splice(m_authenticated.end(), m_pending, pending);
    return true;
}

bool ClientRoster::evictPending() {
    const auto evicted = oldestOfBusiestSource();
    if (evicted == m_pending.end()) {
        return false;
    }
    std::size_t heldBack = 0;
    if (m_evictionLog.allow(LogThrottle::Clock::now(), heldBack)) {
        logEvent("dropping a client from %s still in its handshake: %zu are, most from its source "
                 "(%zu more dropped since the last line)",
                 endpointText((*evicted)->peer()).c_str(), m_pending.size(), heldBack);
    }
    evict(m_pending, evicted);
    return true;
}

void ClientRoster::remove(ClientSession* session) {
    if (const auto it = findSession(m_pending, session); it != m_pending.end()) {
        m_pending.erase(it);
    } else if (const auto it2 = findSession(m_authenticated, session);
               it2 != m_authenticated.end()) {
        m_authenticated.erase(it2);
    }
}

void ClientRoster::closeAll() {
    Sessions all;
    all.swap(m_pending);
    all.splice(all.end(), m_authenticated);
    for (const auto& session : all) {
        session->close();
    }
}

}  // namespace tlv::server

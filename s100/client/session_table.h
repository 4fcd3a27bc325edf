#pragma once
// The process's table of open sessions, handed out as CTsession handles.
//
// Safe to use from several threads. A session found here stays alive for its caller even when
// another thread destroys its handle meanwhile.

#include <map>
#include <memory>
#include <mutex>

#include "s100/client/admin_session.h"
#include "s100/s100.h"

namespace tlv::client {

class SessionTable final {
public:
    static SessionTable& instance();

    // A new handle (never 0) for session.
    CTsession add(std::shared_ptr<AdminSession> session);
    // The session behind handle, or null for an unknown handle.
    std::shared_ptr<AdminSession> find(CTsession handle) const;
    // Takes the session out of the table; null for an unknown handle.
    std::shared_ptr<AdminSession> remove(CTsession handle);

private:
    SessionTable() = default;

    mutable std::mutex m_mutex;
    std::map<CTsession, std::shared_ptr<AdminSession>> m_sessions;
    CTsession m_lastHandle = 0;
};

}  // namespace tlv::client

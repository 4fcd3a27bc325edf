#include "s100/client/session_table.h"

namespace tlv::client {

SessionTable& SessionTable::instance() {
    static SessionTable table;
    return table;
}

CTsession SessionTable::add(std::shared_ptr<AdminSession> session) {
    const std::lock_guard lock(m_mutex);
    // Handles are not reused soon, so a stale handle rarely reaches a newer session.
    do {
        ++m_lastHandle;
    } while (m_lastHandle == 0 || m_sessions.contains(m_lastHandle));
    m_sessions.emplace(m_lastHandle, std::move(session));
    return m_lastHandle;
}

std::shared_ptr<AdminSession> SessionTable::find(CTsession handle) const {
    const std::lock_guard lock(m_mutex);
    const auto found = m_sessions.find(handle);
    return found == m_sessions.end() ? nullptr : found->second;
}

std::shared_ptr<AdminSession> SessionTable::remove(CTsession handle) {
    const std::lock_guard lock(m_mutex);
    const auto found = m_sessions.find(handle);
    if (found == m_sessions.end()) {
        return nullptr;
    }
    auto session = std::move(found->second);
    m_sessions.erase(found);
    return session;
}

}  // namespace tlv::client

#include "session/abortline.h"

#include "s100/sesabort.h"

void SessionAbortLine::Abort() {
    const std::lock_guard lock(m_mutex);
    m_bAborted = true;
    if (m_hSession != 0)
        TLVses_Abort(m_hSession, nullptr);
}

bool SessionAbortLine::IsAborted() const {
    const std::lock_guard lock(m_mutex);
    return m_bAborted;
}

bool SessionAbortLine::Attach(CTsession session) {
    const std::lock_guard lock(m_mutex);
    if (m_bAborted)
        return false;
    m_hSession = session;
    return true;
}

void SessionAbortLine::Detach() {
    const std::lock_guard lock(m_mutex);
    m_hSession = 0;
}

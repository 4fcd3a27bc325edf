#pragma once
// The line by which one thread ends the waiting of a session that another thread uses: the
// connect or the call waiting now and every later call of the session fail at once as a lost
// connection (TLVses_Abort). An abort that comes before the session exists stops its connect
// before it starts. Safe from any thread.

#include <mutex>

#include "s100/s100.h"

class SessionAbortLine final {
public:
    void Abort();
    bool IsAborted() const;

    // The session's own thread, around the life of its handle: false when the abort came first
    // (the handle is then not to be connected). The handle is aborted only while attached, so
    // an abort never reaches a handle that was released and given out again.
    bool Attach(CTsession session);
    void Detach();

private:
    mutable std::mutex m_mutex;
    CTsession m_hSession = 0;
    bool m_bAborted = false;
};

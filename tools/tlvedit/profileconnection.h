#pragma once
// The editor's one session to the server: reads a profile's contents and adds or updates it.
// Each call answers CTerr_NoError or the library's error code, never shows anything.
//
// The calls run on the session's own thread (session/sessionlink.h) while the editor's window
// keeps painting; after a second the waiting box offers Cancel, which closes the session as
// lost: that call and every later one answer CTerr_ConnectionLost, and WasCancelled tells why.
// The connection is made, used and destroyed on the GUI thread.

#include <QString>
#include <functional>
#include <memory>

#include "s100/kvs/value.h"

class ECTF_AdminSession;
class SessionLink;

class ProfileConnection final {
public:
    // Connects to the server entry; the caller checks ConnectError at once.
    explicit ProfileConnection(const QString& entry);
    ~ProfileConnection();
    ProfileConnection(const ProfileConnection&) = delete;
    ProfileConnection& operator=(const ProfileConnection&) = delete;

    // CTerr_NoError when connected.
    CTerror ConnectError() const { return m_connectError; }
    const QString& Entry() const { return m_strEntry; }
    // The operator gave up waiting for the server: the session is closed.
    bool WasCancelled() const { return m_bCancelled; }

    // The contents of exactly one profile; CTerr_NotFound when there is none.
    CTerror Load(const QString& name, const QString& profileClass, s100::KVSet& contents);
    CTerror Add(const QString& name, const QString& profileClass, const s100::KVSet& contents);
    CTerror Update(const QString& name, const QString& profileClass, const s100::KVSet& contents);

    // The server has left a call unanswered for a while; the handler runs when that changes.
    bool IsNotResponding() const;
    void SetResponsivenessHandler(std::function<void()> handler);

private:
    enum class Write { Add, Update };
    CTerror Store(Write write, const QString& name, const QString& profileClass,
                  const s100::KVSet& contents);
    // Runs the call on the session's thread and waits; a cancelled wait is a lost connection.
    CTerror Await(const std::function<CTerror(ECTF_AdminSession&)>& call);

    QString m_strEntry;
    std::unique_ptr<SessionLink> m_pLink;
    CTerror m_connectError = CTerr_NoError;
    bool m_bCancelled = false;
};

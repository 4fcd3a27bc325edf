#include "tools/tlvedit/profileconnection.h"

#include "s100/kvs/handles.h"
#include "s100/kvs/ownedset.h"
#include "session/admsess.h"
#include "session/sessionlink.h"
#include "session/textconv.h"
#include "tools/tlvedit/editormessages.h"

ProfileConnection::ProfileConnection(const QString& entry)
    : m_strEntry(entry),
      m_pLink(std::make_unique<SessionLink>(ShownServerText(entry), EditorCaption())) {
    SessionWorker::Job connect = m_pLink->Worker().ConnectJob(ToServerText(entry));
    m_connectError = CTerr_ConnectionLost;
    const SessionLink::Waited waited =
        m_pLink->Await([&](SessionWorker::SessionSlot& session) {
            connect(session);
            if (session == nullptr)
                m_connectError = CTerr_NoMemory;
            else if (session->IsOK())
                m_connectError = CTerr_NoError;
            else
                m_connectError = static_cast<CTerror>(session->LastError());
        }, true);
    if (waited == SessionLink::Waited::Cancelled) {
        m_bCancelled = true;
        m_connectError = CTerr_ConnectionLost;
    }
}

ProfileConnection::~ProfileConnection() = default;

CTerror ProfileConnection::Await(const std::function<CTerror(ECTF_AdminSession&)>& call) {
    CTerror error = CTerr_ConnectionLost;
    const SessionLink::Waited waited =
        m_pLink->Await([&](SessionWorker::SessionSlot& session) {
            // Connected once (ConnectError tells); a failed call since leaves it usable.
            if (session != nullptr)
                error = call(*session);
        }, true);
    if (waited == SessionLink::Waited::Cancelled) {
        m_bCancelled = true;
        return CTerr_ConnectionLost;
    }
    return error;
}

bool ProfileConnection::IsNotResponding() const {
    return m_pLink->IsNotResponding();
}

void ProfileConnection::SetResponsivenessHandler(std::function<void()> handler) {
    m_pLink->SetResponsivenessHandler(std::move(handler));
}

CTerror ProfileConnection::Load(const QString& name, const QString& profileClass,
                                s100::KVSet& contents) {
    const s100::OwnedSet result;
    if (result.Error() != CTerr_NoError)
        return result.Error();
    const CTerror error = Await([&](ECTF_AdminSession& session) {
        return session.GetProfile(ToServerText(name), ToServerText(profileClass), result.Handle())
                   ? CTerr_NoError
                   : static_cast<CTerror>(session.LastError());
    });
    if (error != CTerr_NoError)
        return error;
    return s100::copyFromHandle(result.Handle(), contents);
}

CTerror ProfileConnection::Add(const QString& name, const QString& profileClass,
                               const s100::KVSet& contents) {
    return Store(Write::Add, name, profileClass, contents);
}

CTerror ProfileConnection::Update(const QString& name, const QString& profileClass,
                                  const s100::KVSet& contents) {
    return Store(Write::Update, name, profileClass, contents);
}

CTerror ProfileConnection::Store(Write write, const QString& name, const QString& profileClass,
                                 const s100::KVSet& contents) {
    const s100::OwnedSet set{contents};
    if (set.Error() != CTerr_NoError)
        return set.Error();
    const SC_String serverName = ToServerText(name);
    const SC_String serverClass = ToServerText(profileClass);
    return Await([&](ECTF_AdminSession& session) {
        const long ok = write == Write::Add
                            ? session.AddProfile(serverName, serverClass, set.Handle())
                            : session.UpdateProfile(serverName, serverClass, set.Handle());
        return ok ? CTerr_NoError : static_cast<CTerror>(session.LastError());
    });
}

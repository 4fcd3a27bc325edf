#include "tools/tlvedit/profileconnection.h"

#include "s100/kvs/handles.h"
#include "session/admsess.h"
#include "session/textconv.h"

namespace {

// A KV set handle made for one call and destroyed after it.
class CallSet final {
public:
    explicit CallSet(s100::KVSet contents) {
        m_error = s100::makeHandle(std::move(contents), m_hSet);
    }
    ~CallSet() {
        if (m_error == CTerr_NoError)
            CTkvs_Destroy(m_hSet, nullptr);
    }
    CallSet(const CallSet&) = delete;
    CallSet& operator=(const CallSet&) = delete;

    CTerror Error() const { return m_error; }
    CTkvs Handle() const { return m_hSet; }

private:
    CTkvs m_hSet = 0;
    CTerror m_error = CTerr_NoError;
};

}  // namespace

ProfileConnection::ProfileConnection(const QString& entry)
    : m_strEntry(entry),
      m_pSession(std::make_unique<ECTF_AdminSession>(ToServerText(entry))),
      m_connectError(m_pSession->IsOK() ? CTerr_NoError
                                        : static_cast<CTerror>(m_pSession->LastError())) {}

ProfileConnection::~ProfileConnection() = default;

CTerror ProfileConnection::Load(const QString& name, const QString& profileClass,
                                s100::KVSet& contents) {
    CallSet result{s100::KVSet{}};
    if (result.Error() != CTerr_NoError)
        return result.Error();
    if (!m_pSession->GetProfile(ToServerText(name), ToServerText(profileClass), result.Handle()))
        return static_cast<CTerror>(m_pSession->LastError());
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
    CallSet set{contents};
    if (set.Error() != CTerr_NoError)
        return set.Error();
    const SC_String serverName = ToServerText(name);
    const SC_String serverClass = ToServerText(profileClass);
    const long ok = write == Write::Add
                        ? m_pSession->AddProfile(serverName, serverClass, set.Handle())
                        : m_pSession->UpdateProfile(serverName, serverClass, set.Handle());
    return ok ? CTerr_NoError : static_cast<CTerror>(m_pSession->LastError());
}

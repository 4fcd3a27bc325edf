#pragma once
// The editor's one session to the server: reads a profile's contents and adds or updates it.
// Each call answers CTerr_NoError or the library's error code, never shows anything.

#include <QString>
#include <memory>

#include "s100/kvs/value.h"

class ECTF_AdminSession;

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

    // The contents of exactly one profile; CTerr_NotFound when there is none.
    CTerror Load(const QString& name, const QString& profileClass, s100::KVSet& contents);
    CTerror Add(const QString& name, const QString& profileClass, const s100::KVSet& contents);
    CTerror Update(const QString& name, const QString& profileClass, const s100::KVSet& contents);

private:
    enum class Write { Add, Update };
    CTerror Store(Write write, const QString& name, const QString& profileClass,
                  const s100::KVSet& contents);

    QString m_strEntry;
    std::unique_ptr<ECTF_AdminSession> m_pSession;
    CTerror m_connectError;
};

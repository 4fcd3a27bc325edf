#pragma once
// CAdminDoc: one connection to one server, named by a server entry name. It owns the
// connection's ECTF_AdminSession and a cache of what the views show (the profile, service and
// provider lists as CViewLine chains of display texts, and the server level), refreshes the
// cache on demand and on the main frame's timer, tells the views about lists that changed,
// and carries out the operations on the server.
//
// Refreshes and operations never show a message: they return 0 and leave the string-table id
// of the message in LastError for the caller's error box. Only opening the document and the
// lost-connection notice show boxes, through the modal seam.

#include <QStringList>
#include <memory>
#include <mutex>

#include "framework/document.h"
#include "framework/mdi/cmdtarget.h"
#include "s100/s100.h"
#include "session/admsess.h"
#include "session/displaytexts.h"
#include "session/listsource.h"
#include "session/viewline.h"

// Update hints sent to the views.
inline constexpr long HINT_LEVEL = 0;
inline constexpr long HINT_PROFILES = 1;
inline constexpr long HINT_SERVICES = 2;
inline constexpr long HINT_SPS = 3;

struct BuiltRows;

class CAdminDoc : public CDocument, public CCmdTarget {
public:
    CAdminDoc();
    ~CAdminDoc() override;

    // A document is never made without a server.
    bool OnNewDocument() override;
    // Connects to the server entry; shows the error box and returns false when that fails.
    bool OnOpenDocument(const QString& serverEntryName) override;
    void OnCloseDocument() override;
    // The path name is the server entry name's bytes; the title shows them readably.
    void SetPathName(const QString& serverEntryName) override;

    // Re-read one part of the cache; 1 when no failure was recorded. A non-zero argument
    // shows the wait cursor meanwhile.
    int RefreshProfileInfo(int bWaitCursor);
    int RefreshServiceInfo(int bWaitCursor);
    int RefreshSPInfo(int bWaitCursor);
    int RefreshLevelInfo(int bWaitCursor);

    // One tick of the main frame's timer.
    void PeriodicRefresh();

    // New deep copies owned by the caller; null when there is no list (or no memory).
    std::unique_ptr<CViewLine> GetProfiles();
    std::unique_ptr<CViewLine> GetServices();
    std::unique_ptr<CViewLine> GetSPs();
    int GetServerLevel();

    unsigned LastError() const { return m_nLastMessage; }

    // The profile editor of the class, started on this server's entry for a new profile or for
    // the named one; 1 once it runs (it is not waited for), 0 with 4141, 4142 or 4143.
    int NewProfile(const CString& profileClass);
    int EditProfile(const CString& name, const CString& profileClass);
    // Starts program as a detached process, each argument one word; 1 when it was started.
    int StartProcess(const CString& program, const QStringList& arguments);

    // Operations on the server: 1 on success, 0 on failure (LastError then holds the message).
    int DeleteProfile(const CString& name, const CString& profileClass);
    int NewService(const CString& name, CTkvs definition);
    int UpdateService(const CString& name, CTkvs definition);
    int DeleteService(const CString& name);
    int StartService(const CString& name);
    int StopService(const CString& name, int bEmergency);
    // The definition of a service, copied into the caller's set.
    int GetServiceProfile(const CString& name, CTkvs result);
    // Why the service is where it is, in plain words, one fact a line (the tooltip of its row);
    // "" when there is no connection or the server cannot tell. Shows no message.
    QString ServiceStatusText(const CString& name);
    // The contents of one profile of the class, copied into the caller's set; the steps and
    // messages of GetServiceProfile.
    int GetProfileContents(const CString& name, const CString& profileClass, CTkvs result);
    int ImportProfile(const CString& fileName, const CString& name, const CString& profileClass);
    int ExportProfile(const CString& fileName, const CString& name, const CString& profileClass);
    // level 1..5; mode LEVEL_CHANGE_NORMAL or LEVEL_CHANGE_EMERGENCY.
    int ChangeServerLevel(long level, unsigned long mode);

    // The change-level command: the level dialog with the current level chosen, the change,
    // its failure reported and the level read again; no refresh runs while the dialog is open.
    void OnServerChangeserverlevel();

    // The level dialog keeps the timer out while it is open.
    void SetRefreshAllowed(int bAllowed) { m_bRefreshAllowed = bAllowed; }
    int IsRefreshAllowed() const { return m_bRefreshAllowed; }
    int IsDisconnected() const { return m_bDisconnected; }
    const CString& GetServerName() const { return m_strServerName; }
    // The session, for the profile checker to borrow; null when not open.
    ECTF_AdminSession* GetSession() const { return m_pSession.get(); }

private:
    // The steps every list refresh shares; query runs the session call and builds the rows
    // (false when the call failed).
    template <typename Query>
    int RefreshList(int bWaitCursor, std::unique_ptr<CViewLine>& list, int& bChanged,
                    unsigned failureMessage, Query query);
    std::unique_ptr<CViewLine> CopyList(const std::unique_ptr<CViewLine>& list);
    // After a refresh of the periodic tick: a lost connection ends the refreshing.
    void NoteLostConnection();
    void EnterDisconnectedState();
    // The session's error code; a closed document has none to give.
    CTerror SessionError() const;
    // Looks up the class's editor and starts it with the arguments.
    int LaunchEditor(const CString& profileClass, const QStringList& arguments);
    // Records the operation's outcome: on failure the message for the session's code.
    int Outcome(long ok, unsigned (*messageFor)(CTerror));

    std::unique_ptr<ECTF_AdminSession> m_pSession;
    int m_bDisconnected = 1;
    std::unique_ptr<CViewLine> m_pProfiles;
    std::unique_ptr<CViewLine> m_pServices;
    std::unique_ptr<CViewLine> m_pSPs;
    // What each list's rows were built from, so an answer equal to it keeps them.
    ListSource m_profileSource;
    ListSource m_serviceSource;
    ListSource m_spSource;
    CString m_strServerName;
    unsigned m_nLastMessage;
    const DisplayTexts m_texts;
    int m_bProfilesChanged = 0;
    int m_bServicesChanged = 0;
    int m_bSPsChanged = 0;
    int m_bLevelChanged = 0;
    int m_bRefreshAllowed = 0;
    int m_nTick = 0;
    long m_lServerLevel = 1;
    std::recursive_mutex m_lock;
};

#pragma once
// CAdminDoc: one connection to one server, named by a server entry name. It owns the
// connection's ECTF_AdminSession and a cache of what the views show (the profile, service and
// provider lists as CViewLine chains of display texts, and the server level), refreshes the
// cache on demand and on the main frame's timer, tells the views about lists that changed,
// and carries out the operations on the server.
//
// Refreshes and operations never show a message: they return 0 and leave the string-table id
// of the message in LastError for the caller's error box. Only opening the document, the
// lost-connection notice and a cancelled wait show boxes, through the modal seam.
//
// Threads. The document lives on the GUI thread, and so do its lists, its level, its title and
// its session link (session/sessionlink.h), made when it opens and destroyed when it closes.
// The link's worker thread creates the session, makes every call of it and destroys it; the
// document never touches the session itself. The periodic refresh posts the calls of a tick
// and applies their answers when they are back (rows built and compared here, hints, the
// lost-connection notice); every other refresh and operation waits for its call, the window
// painting meanwhile, and may be cancelled by the operator, which closes the session as lost.
// A server silent for SessionLink::kSilenceMs is shown "[Not Responding]" until it answers.

#include <QDateTime>
#include <QStringList>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "framework/document.h"
#include "framework/mdi/cmdtarget.h"
#include "s100/s100.h"
#include "session/admsess.h"
#include "session/displaytexts.h"
#include "session/listqueries.h"
#include "session/listsource.h"
#include "session/viewline.h"

class SessionAbortLine;
class SessionLink;

// Update hints sent to the views.
inline constexpr long HINT_LEVEL = 0;
inline constexpr long HINT_PROFILES = 1;
inline constexpr long HINT_SERVICES = 2;
inline constexpr long HINT_SPS = 3;

struct BuiltRows;
struct TickAnswers;

class CAdminDoc : public CDocument, public CCmdTarget {
public:
    CAdminDoc();
    ~CAdminDoc() override;

    // A document is never made without a server.
    bool OnNewDocument() override;
    // Before opening, for a server without an entry (tlvadm's tcp:HOST:PORT --key FILE): the
    // name to open is then a connection string, and the admin key is read from this file.
    void SetAdminKeyFile(std::string keyFile) { m_strKeyFile = std::move(keyFile); }
    // Before opening: a line by which another thread ends the connect and every call of the
    // session as a lost connection (tlvadm's deadline for a server).
    void SetAbortLine(std::shared_ptr<SessionAbortLine> line) { m_pAbortLine = std::move(line); }
    // Connects to the server entry; shows the error box and returns false when that fails, and
    // returns false without a box when the operator cancelled the wait.
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

    // One tick of the main frame's timer: posts the tick's calls and applies their answers once
    // they are back. A tick does nothing while the previous one's calls are out.
    void PeriodicRefresh();
    bool IsTickOutstanding() const { return m_bTickOutstanding; }

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
    // Why the service is where it is, in plain words, one fact a line (the tooltip of its row),
    // handed to show on the GUI thread once the server told it; never when there is no
    // connection, the server cannot tell, or the document has gone. Shows no message.
    void RequestServiceStatusText(const CString& name, std::function<void(const QString&)> show);
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

    // Lends the session to the job on the session's thread and waits for it, the wait cursor
    // shown (the profile checker's run, tlvadm's own calls); progress is the waiting box's line.
    // 0 when there is no session or the operator cancelled.
    int RunOnSession(const std::function<void(ECTF_AdminSession&)>& job,
                     const std::function<QString()>& progress = {});
    // The session's error code after the last call whose answer came back.
    CTerror SessionError() const;
    // From a job lent the session (RunOnSession), on the session's thread: the job is making
    // progress, so the server is not silent.
    void NoteSessionAlive();

    // The server has not answered a call for a while (its windows say so); since when.
    bool IsNotResponding() const;
    QDateTime NotAnsweredSince() const;
    // The operator cancelled a wait: the session was closed as lost.
    int WasWaitCancelled() const { return m_bWaitCancelled; }

private:
    // The steps every refresh shares around its query and the answer's apply.
    template <typename Apply>
    int Refreshing(Apply apply);
    // Waits for the query on the session's thread; a cancelled wait is a lost connection.
    template <typename Answer>
    Answer AwaitQuery(Answer (*query)(ECTF_AdminSession*), int bWaitCursor);
    // Waits for one session call; its success flag, the session's error kept.
    long AwaitCall(std::function<long(ECTF_AdminSession&)> call);
    // False when the operator cancelled (the document is then disconnected).
    bool AwaitJob(std::function<void(ECTF_AdminSession*)> job, bool bWaitCursor,
                  const std::function<QString()>& progress);
    void OnWaitCancelled();

    // The answers applied to the cache: rows built, compared and kept, the last message set.
    void ApplyProfiles(ProfileListAnswer& answer);
    void ApplyServices(ServiceListAnswer& answer);
    void ApplySPs(SPListAnswer& answer);
    void ApplyLevel(const LevelAnswer& answer, long oldLevel);
    void ApplyList(const CallOutcome& outcome, BuiltRows& rows, std::unique_ptr<CViewLine>& list,
                   int& bChanged, unsigned failureMessage);
    void ApplyTick(TickAnswers& answers);

    std::unique_ptr<CViewLine> CopyList(const std::unique_ptr<CViewLine>& list);
    // After a refresh of the periodic tick: a lost connection ends the refreshing.
    void NoteLostConnection();
    void EnterDisconnectedState();
    // The title, lists and level of a document without its server, told to the views.
    void DropConnection();
    void OnResponsivenessChanged();
    // Looks up the class's editor and starts it with the arguments.
    int LaunchEditor(const CString& profileClass, const QStringList& arguments);
    // Records the operation's outcome: on failure the message for the session's code.
    int Outcome(long ok, unsigned (*messageFor)(CTerror));
    // Import or export: the session's call on the file, the name and the class.
    using ProfileFileCall = long (ECTF_AdminSession::*)(const SC_String&, const SC_String&,
                                                        const SC_String&);
    int TransferProfile(ProfileFileCall call, unsigned (*messageFor)(CTerror),
                        const CString& fileName, const CString& name, const CString& profileClass);

    std::string m_strKeyFile;
    std::shared_ptr<SessionAbortLine> m_pAbortLine;
    std::unique_ptr<SessionLink> m_pLink;
    CTerror m_nSessionError = CTerr_NotInitialized;
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
    bool m_bTickOutstanding = false;
    int m_bWaitCancelled = 0;
    // The title while the server answered, put back when it answers again.
    QString m_strAnsweringTitle;
    bool m_bTitleMarked = false;
};

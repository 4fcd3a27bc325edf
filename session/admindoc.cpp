#include "session/admindoc.h"

#include <new>
#include <optional>

#include "framework/modalseam.h"
#include "framework/waitcursor.h"
#include "resources/commandids.h"
#include "resources/stringtable.h"
#include "session/connectwords.h"
#include "session/errormessage.h"
#include "session/listrows.h"
#include "session/listsource.h"
#include "session/sessionlink.h"
#include "session/textconv.h"

// The calls of one periodic tick, in the order they are made, and what they gave.
struct TickAnswers {
    long oldLevel = 0;
    LevelAnswer level;
    std::optional<ServiceListAnswer> services;
    std::optional<ProfileListAnswer> profiles;
    std::optional<SPListAnswer> providers;
};

namespace {

// 1 when the list differs from before: both exist and differ, or only one of them exists.
int ListChanged(const CViewLine* before, const CViewLine* after) {
    if (before != nullptr && after != nullptr)
        return (*before == *after) ? 0 : 1;
    return (before != nullptr) != (after != nullptr) ? 1 : 0;
}

// Builds the rows of an answer, unless its bytes equal those the list's current rows were built
// from (which would build equal rows).
template <typename Build>
void BuildUnlessUnchanged(ListSource& source, std::string answerBytes, bool bHaveRows,
                          BuiltRows& rows, Build build) {
    if (source.Take(std::move(answerBytes)) && bHaveRows) {
        rows.unchanged = true;
        return;
    }
    rows = build();
    if (rows.rowMissing)
        source.Forget();
}

// Under the connect message: the entry, what went wrong and what to do.
QString ConnectFailureDetails(const QString& serverEntryName) {
    const SC_String entry = ToServerText(serverEntryName);
    return DetailsOfLines(DescribeOpenFailure(static_cast<const char*>(entry)).Lines());
}

}  // namespace

CAdminDoc::CAdminDoc() : m_nLastMessage(IDS_NO_ERROR), m_texts(DisplayTexts::Load()) {
    OnCommand(ID_SERVER_CHANGESERVERLEVEL, [this] { OnServerChangeserverlevel(); });
}

CAdminDoc::~CAdminDoc() {
    m_pLink.reset();  // its answers still queued are dropped with it
}

bool CAdminDoc::OnNewDocument() {
    return false;
}

bool CAdminDoc::OnOpenDocument(const QString& serverEntryName) {
    m_pLink.reset(new (std::nothrow) SessionLink(
        ShownServerText(serverEntryName), StringTable::Load(IDS_LOST_CONNECTION_CAPTION),
        m_pAbortLine ? m_pAbortLine : std::make_shared<SessionAbortLine>()));
    if (!m_pLink) {
        ShowErrorMessage(IDS_MEMORY_ALLOCATION_FAILED);
        return false;
    }
    bool bMade = false;
    bool bConnected = false;
    SessionWorker::Job connect =
        m_pLink->Worker().ConnectJob(ToServerText(serverEntryName), m_strKeyFile);
    const SessionLink::Waited waited = m_pLink->Await(
        [&](SessionWorker::SessionSlot& session) {
            connect(session);
            bMade = session != nullptr;
            bConnected = bMade && session->IsOK() != 0;
        },
        true);
    if (waited == SessionLink::Waited::Cancelled || !bConnected) {
        m_pLink.reset();
        if (waited == SessionLink::Waited::Done && !bMade)
            ShowErrorMessage(IDS_MEMORY_ALLOCATION_FAILED);
        else if (waited == SessionLink::Waited::Done)
            ShowErrorMessage(IDS_CONNECT_FAILED, ConnectFailureDetails(serverEntryName));
        return false;
    }
    m_nSessionError = CTerr_NoError;
    m_pLink->SetResponsivenessHandler([this] { OnResponsivenessChanged(); });
    m_strServerName = serverEntryName;
    m_bDisconnected = 0;
    return true;
}

void CAdminDoc::OnCloseDocument() {
    if (IsClosing())
        return;
    m_bRefreshAllowed = 0;
    if (m_pLink) {
        // A call still out is given up: its answer would reach nothing.
        CWaitCursor wait;
        m_pLink.reset();
    }
    CDocument::OnCloseDocument();
}

CTerror CAdminDoc::SessionError() const {
    return m_pLink ? m_nSessionError : CTerr_NotInitialized;
}

bool CAdminDoc::AwaitJob(std::function<void(ECTF_AdminSession*)> job, bool bWaitCursor,
                         const std::function<QString()>& progress) {
    if (!m_pLink) {
        job(nullptr);
        return true;
    }
    const SessionLink::Waited waited = m_pLink->Await(
        [&job](SessionWorker::SessionSlot& session) { job(session.get()); }, bWaitCursor,
        progress);
    if (waited == SessionLink::Waited::Cancelled) {
        OnWaitCancelled();
        return false;
    }
    return true;
}

template <typename Answer>
Answer CAdminDoc::AwaitQuery(Answer (*query)(ECTF_AdminSession*), int bWaitCursor) {
    Answer answer;
    if (!AwaitJob([&](ECTF_AdminSession* session) { answer = query(session); }, bWaitCursor != 0,
                  {}))
        return LostAnswer<Answer>();
    return answer;
}

long CAdminDoc::AwaitCall(std::function<long(ECTF_AdminSession&)> call) {
    CallOutcome outcome;
    if (!AwaitJob(
            [&](ECTF_AdminSession* session) {
                if (session != nullptr)
                    outcome = OutcomeOf(session, call(*session));
            },
            true, {}))
        outcome = LostAnswer<CallOutcome>();
    if (m_pLink)
        m_nSessionError = outcome.error;
    return outcome.ok;
}

int CAdminDoc::RunOnSession(const std::function<void(ECTF_AdminSession&)>& job,
                            const std::function<QString()>& progress) {
    bool bRan = false;
    CTerror error = CTerr_NoError;
    const bool bWaited = AwaitJob(
        [&](ECTF_AdminSession* session) {
            if (session == nullptr)
                return;
            job(*session);
            bRan = true;
            error = static_cast<CTerror>(session->LastError());
        },
        true, progress);
    if (!bWaited || !bRan)
        return 0;
    m_nSessionError = error;
    return 1;
}

void CAdminDoc::OnWaitCancelled() {
    m_bWaitCancelled = 1;
    m_nSessionError = CTerr_ConnectionLost;
    if (m_bDisconnected)
        return;
    m_bDisconnected = 1;
    Modal().MessageBox(StringTable::Load(IDS_WAIT_CANCELLED).arg(GetTitle()),
                       StringTable::Load(IDS_LOST_CONNECTION_CAPTION), MB_OK | MB_ICONEXCLAMATION);
    DropConnection();
}

template <typename Apply>
int CAdminDoc::Refreshing(Apply apply) {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    m_bRefreshAllowed = 0;
    m_nLastMessage = IDS_NO_ERROR;
    apply();
    m_bRefreshAllowed = 1;
    return m_nLastMessage == IDS_NO_ERROR ? 1 : 0;
}

void CAdminDoc::ApplyList(const CallOutcome& outcome, BuiltRows& rows,
                          std::unique_ptr<CViewLine>& list, int& bChanged,
                          unsigned failureMessage) {
    if (m_pLink)
        m_nSessionError = outcome.error;
    if (outcome.ok) {
        if (rows.rowMissing)
            m_nLastMessage = IDS_MEMORY_ALLOCATION_FAILED;
        bChanged = rows.unchanged ? 0 : ListChanged(list.get(), rows.head.get());
        if (!rows.unchanged)
            list = std::move(rows.head);
    } else if (outcome.error == CTerr_ConnectionLost) {
        m_nLastMessage = IDS_LOST_CONNECTION;
        list.reset();
    } else {
        m_nLastMessage = failureMessage;
    }
}

void CAdminDoc::ApplyProfiles(ProfileListAnswer& answer) {
    BuiltRows rows;
    if (answer.ok) {
        const CString serviceClass = StringTable::Load(IDS_TLVS_SERVICE_CLASS);
        const SC_String* names = answer.names.get();
        const SC_String* classes = answer.classes.get();
        BuildUnlessUnchanged(m_profileSource, ProfileListBytes(names, classes, answer.count),
                             m_pProfiles != nullptr, rows, [&] {
                                 return BuildProfileRows(names, classes, answer.count,
                                                         serviceClass);
                             });
    }
    ApplyList(answer, rows, m_pProfiles, m_bProfilesChanged, IDS_PROFILE_INFO_FAILED);
}

void CAdminDoc::ApplyServices(ServiceListAnswer& answer) {
    BuiltRows rows;
    if (answer.ok) {
        const SC_String* names = answer.names.get();
        const unsigned long* states = answer.states.get();
        const unsigned long* types = answer.types.get();
        const long* disabled = answer.disabled.get();
        BuildUnlessUnchanged(
            m_serviceSource, ServiceListBytes(names, states, types, disabled, answer.count),
            m_pServices != nullptr, rows, [&] {
                return BuildServiceRows(m_texts, names, states, types, disabled, answer.count);
            });
    }
    ApplyList(answer, rows, m_pServices, m_bServicesChanged, IDS_SERVICE_INFO_FAILED);
}

void CAdminDoc::ApplySPs(SPListAnswer& answer) {
    BuiltRows rows;
    if (answer.ok) {
        const SC_String* names = answer.names.get();
        const long* available = answer.available.get();
        BuildUnlessUnchanged(m_spSource, SPListBytes(names, available, answer.count),
                             m_pSPs != nullptr, rows,
                             [&] { return BuildSPRows(m_texts, names, available, answer.count); });
    }
    ApplyList(answer, rows, m_pSPs, m_bSPsChanged, IDS_SP_INFO_FAILED);
}

void CAdminDoc::ApplyLevel(const LevelAnswer& answer, long oldLevel) {
    if (m_pLink)
        m_nSessionError = answer.error;
    if (answer.ok) {
        m_lServerLevel = answer.level;
        m_nLastMessage = IDS_NO_ERROR;
    } else if (answer.error == CTerr_ConnectionLost) {
        m_nLastMessage = IDS_LOST_CONNECTION;
        m_lServerLevel = 0;
    } else {
        m_nLastMessage = IDS_LEVEL_INFO_FAILED;
    }
    m_bLevelChanged = m_lServerLevel != oldLevel ? 1 : 0;
}

int CAdminDoc::RefreshProfileInfo(int bWaitCursor) {
    return Refreshing([&] {
        ProfileListAnswer answer = AwaitQuery(&QueryProfileList, bWaitCursor);
        ApplyProfiles(answer);
    });
}

int CAdminDoc::RefreshServiceInfo(int bWaitCursor) {
    return Refreshing([&] {
        ServiceListAnswer answer = AwaitQuery(&QueryServiceList, bWaitCursor);
        ApplyServices(answer);
    });
}

int CAdminDoc::RefreshSPInfo(int bWaitCursor) {
    return Refreshing([&] {
        SPListAnswer answer = AwaitQuery(&QuerySPList, bWaitCursor);
        ApplySPs(answer);
    });
}

int CAdminDoc::RefreshLevelInfo(int bWaitCursor) {
    const long oldLevel = m_lServerLevel;
    return Refreshing([&] {
        const LevelAnswer answer = AwaitQuery(&QueryLevel, bWaitCursor);
        // The level the answer is compared with is the one before the wait: a tick applied
        // meanwhile does not hide a change from this refresh.
        ApplyLevel(answer, oldLevel);
    });
}

void CAdminDoc::NoteLostConnection() {
    if (m_nLastMessage == IDS_LOST_CONNECTION)
        m_bDisconnected = 1;
}

void CAdminDoc::PeriodicRefresh() {
    if (m_bDisconnected != 0 || m_bRefreshAllowed != 1 || m_bTickOutstanding || !m_pLink)
        return;
    m_nLastMessage = IDS_NO_ERROR;
    auto answers = std::make_shared<TickAnswers>();
    const bool bServices = m_nTick % 2 == 0;
    const bool bProfiles = m_nTick % 5 == 0;
    const bool bProviders = m_nTick % 7 == 0;
    ++m_nTick;
    m_bTickOutstanding = true;
    // Each answer is a sign of life: a server is silent when one call goes unanswered, not when
    // the tick's four calls take long together.
    SessionWorker* worker = &m_pLink->Worker();
    m_pLink->Post(
        [answers, bServices, bProfiles, bProviders, worker](SessionWorker::SessionSlot& slot) {
            ECTF_AdminSession* session = slot.get();
            answers->level = QueryLevel(session);
            worker->NoteAlive();
            if (bServices)
                answers->services = QueryServiceList(session);
            worker->NoteAlive();
            if (bProfiles)
                answers->profiles = QueryProfileList(session);
            worker->NoteAlive();
            if (bProviders)
                answers->providers = QuerySPList(session);
        },
        [this, answers] { ApplyTick(*answers); });
}

void CAdminDoc::ApplyTick(TickAnswers& answers) {
    m_bTickOutstanding = false;
    // A wait cancelled meanwhile has already put the document out of service.
    if (m_bDisconnected)
        return;
    {
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        ApplyLevel(answers.level, m_lServerLevel);
    }
    if (m_bLevelChanged)
        UpdateAllViews(nullptr, HINT_LEVEL);
    NoteLostConnection();

    // Each list as its own refresh would: the last message starts afresh.
    const auto applyList = [this](auto& answer, auto apply, const int& bChanged, long hint) {
        {
            std::lock_guard<std::recursive_mutex> guard(m_lock);
            m_nLastMessage = IDS_NO_ERROR;
            (this->*apply)(answer);
        }
        if (bChanged)
            UpdateAllViews(nullptr, hint);
        NoteLostConnection();
    };
    if (answers.services)
        applyList(*answers.services, &CAdminDoc::ApplyServices, m_bServicesChanged, HINT_SERVICES);
    if (answers.profiles)
        applyList(*answers.profiles, &CAdminDoc::ApplyProfiles, m_bProfilesChanged, HINT_PROFILES);
    if (answers.providers)
        applyList(*answers.providers, &CAdminDoc::ApplySPs, m_bSPsChanged, HINT_SPS);

    if (m_bDisconnected)
        EnterDisconnectedState();
}

void CAdminDoc::SetPathName(const QString& serverEntryName) {
    CDocument::SetPathName(serverEntryName);
    SetTitle(ShownServerText(serverEntryName));
}

void CAdminDoc::EnterDisconnectedState() {
    Modal().MessageBox(StringTable::Load(IDS_LOST_CONNECTION),
                       StringTable::Load(IDS_LOST_CONNECTION_CAPTION), MB_OK);
    DropConnection();
}

void CAdminDoc::DropConnection() {
    SetTitle(GetTitle() + StringTable::Load(IDS_DISCONNECTED_SUFFIX));
    {
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        m_pProfiles.reset();
        m_pServices.reset();
        m_pSPs.reset();
        m_lServerLevel = 0;
    }
    for (long hint : {HINT_LEVEL, HINT_PROFILES, HINT_SERVICES, HINT_SPS})
        UpdateAllViews(nullptr, hint);
}

void CAdminDoc::NoteSessionAlive() {
    // The link is not replaced while a job of it runs.
    if (m_pLink)
        m_pLink->Worker().NoteAlive();
}

bool CAdminDoc::IsNotResponding() const {
    return m_pLink && m_pLink->IsNotResponding();
}

QDateTime CAdminDoc::NotAnsweredSince() const {
    return m_pLink ? m_pLink->SilentSince() : QDateTime();
}

void CAdminDoc::OnResponsivenessChanged() {
    if (IsNotResponding() && !m_bTitleMarked) {
        m_strAnsweringTitle = GetTitle();
        m_bTitleMarked = true;
        SetTitle(GetTitle() + StringTable::Load(IDS_NOT_RESPONDING_SUFFIX));
    } else if (!IsNotResponding() && m_bTitleMarked) {
        m_bTitleMarked = false;
        SetTitle(m_strAnsweringTitle);
    }
}

std::unique_ptr<CViewLine> CAdminDoc::CopyList(const std::unique_ptr<CViewLine>& list) {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (!list)
        return nullptr;
    try {
        return std::make_unique<CViewLine>(*list);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<CViewLine> CAdminDoc::GetProfiles() {
    return CopyList(m_pProfiles);
}

std::unique_ptr<CViewLine> CAdminDoc::GetServices() {
    return CopyList(m_pServices);
}

std::unique_ptr<CViewLine> CAdminDoc::GetSPs() {
    return CopyList(m_pSPs);
}

int CAdminDoc::GetServerLevel() {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    return static_cast<int>(m_lServerLevel);
}

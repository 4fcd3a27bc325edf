#include "session/admindoc.h"

#include <new>
#include <optional>

#include "app/resource.h"
#include "framework/modalseam.h"
#include "framework/waitcursor.h"
#include "resources/stringtable.h"
#include "session/errormessage.h"
#include "session/listrows.h"
#include "session/listsource.h"
#include "session/textconv.h"

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

// Owns the arrays a list query hands out.
template <typename T>
std::unique_ptr<T[]> Adopt(T* array) {
    return std::unique_ptr<T[]>(array);
}

}  // namespace

CAdminDoc::CAdminDoc() : m_nLastMessage(IDS_NO_ERROR), m_texts(DisplayTexts::Load()) {
    OnCommand(ID_SERVER_CHANGESERVERLEVEL, [this] { OnServerChangeserverlevel(); });
}

CAdminDoc::~CAdminDoc() = default;

bool CAdminDoc::OnNewDocument() {
    return false;
}

bool CAdminDoc::OnOpenDocument(const QString& serverEntryName) {
    m_pSession.reset(new (std::nothrow) ECTF_AdminSession(ToServerText(serverEntryName)));
    if (!m_pSession) {
        ShowErrorMessage(IDS_MEMORY_ALLOCATION_FAILED);
        return false;
    }
    if (!m_pSession->IsOK()) {
        m_pSession.reset();
        ShowErrorMessage(IDS_CONNECT_FAILED);
        return false;
    }
    m_strServerName = serverEntryName;
    m_bDisconnected = 0;
    return true;
}

void CAdminDoc::OnCloseDocument() {
    if (IsClosing())
        return;
    m_bRefreshAllowed = 0;
    if (m_pSession) {
        CWaitCursor wait;
        m_pSession.reset();
    }
    CDocument::OnCloseDocument();
}

CTerror CAdminDoc::SessionError() const {
    return m_pSession ? static_cast<CTerror>(m_pSession->LastError()) : CTerr_NotInitialized;
}

template <typename Query>
int CAdminDoc::RefreshList(int bWaitCursor, std::unique_ptr<CViewLine>& list, int& bChanged,
                           unsigned failureMessage, Query query) {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    m_bRefreshAllowed = 0;
    std::optional<CWaitCursor> wait;
    if (bWaitCursor)
        wait.emplace();
    m_nLastMessage = IDS_NO_ERROR;

    BuiltRows rows;
    if (m_pSession && query(rows)) {
        if (rows.rowMissing)
            m_nLastMessage = IDS_MEMORY_ALLOCATION_FAILED;
        bChanged = rows.unchanged ? 0 : ListChanged(list.get(), rows.head.get());
        if (!rows.unchanged)
            list = std::move(rows.head);
    } else if (SessionError() == CTerr_ConnectionLost) {
        m_nLastMessage = IDS_LOST_CONNECTION;
        list.reset();
    } else {
        m_nLastMessage = failureMessage;
    }

    wait.reset();
    m_bRefreshAllowed = 1;
    return m_nLastMessage == IDS_NO_ERROR ? 1 : 0;
}

int CAdminDoc::RefreshProfileInfo(int bWaitCursor) {
    const CString serviceClass = StringTable::Load(IDS_TLVS_SERVICE_CLASS);
    return RefreshList(bWaitCursor, m_pProfiles, m_bProfilesChanged, IDS_PROFILE_INFO_FAILED,
                       [&](BuiltRows& rows) {
                           SC_String* names = nullptr;
                           SC_String* classes = nullptr;
                           int count = 0;
                           const long ok = m_pSession->GetProfileList("", names, classes, count);
                           const auto ownedNames = Adopt(names);
                           const auto ownedClasses = Adopt(classes);
                           if (ok)
                               BuildUnlessUnchanged(
                                   m_profileSource, ProfileListBytes(names, classes, count),
                                   m_pProfiles != nullptr, rows, [&] {
                                       return BuildProfileRows(names, classes, count,
                                                               serviceClass);
                                   });
                           return ok != 0;
                       });
}

int CAdminDoc::RefreshServiceInfo(int bWaitCursor) {
    return RefreshList(
        bWaitCursor, m_pServices, m_bServicesChanged, IDS_SERVICE_INFO_FAILED,
        [&](BuiltRows& rows) {
            SC_String* names = nullptr;
            unsigned long* states = nullptr;
            unsigned long* types = nullptr;
            long* disabled = nullptr;
            int count = 0;
            const long ok = m_pSession->GetServiceStates(names, states, types, disabled, count);
            const auto ownedNames = Adopt(names);
            const auto ownedStates = Adopt(states);
            const auto ownedTypes = Adopt(types);
            const auto ownedDisabled = Adopt(disabled);
            if (ok)
                BuildUnlessUnchanged(
                    m_serviceSource, ServiceListBytes(names, states, types, disabled, count),
                    m_pServices != nullptr, rows, [&] {
                        return BuildServiceRows(m_texts, names, states, types, disabled, count);
                    });
            return ok != 0;
        });
}

int CAdminDoc::RefreshSPInfo(int bWaitCursor) {
    return RefreshList(bWaitCursor, m_pSPs, m_bSPsChanged, IDS_SP_INFO_FAILED,
                       [&](BuiltRows& rows) {
                           SC_String* names = nullptr;
                           long* available = nullptr;
                           int count = 0;
                           const long ok = m_pSession->GetSPList(names, available, count);
                           const auto ownedNames = Adopt(names);
                           const auto ownedAvailable = Adopt(available);
                           if (ok)
                               BuildUnlessUnchanged(
                                   m_spSource, SPListBytes(names, available, count),
                                   m_pSPs != nullptr, rows,
                                   [&] { return BuildSPRows(m_texts, names, available, count); });
                           return ok != 0;
                       });
}

int CAdminDoc::RefreshLevelInfo(int bWaitCursor) {
    const long oldLevel = m_lServerLevel;
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    m_bRefreshAllowed = 0;
    std::optional<CWaitCursor> wait;
    if (bWaitCursor)
        wait.emplace();

    long level = 0;
    if (m_pSession && m_pSession->GetServerLevel(level)) {
        m_lServerLevel = level;
        m_nLastMessage = IDS_NO_ERROR;
    } else if (SessionError() == CTerr_ConnectionLost) {
        m_nLastMessage = IDS_LOST_CONNECTION;
        m_lServerLevel = 0;
    } else {
        m_nLastMessage = IDS_LEVEL_INFO_FAILED;
    }
    m_bLevelChanged = m_lServerLevel != oldLevel ? 1 : 0;

    wait.reset();
    m_bRefreshAllowed = 1;
    return m_nLastMessage == IDS_NO_ERROR ? 1 : 0;
}

void CAdminDoc::NoteLostConnection() {
    if (m_nLastMessage == IDS_LOST_CONNECTION)
        m_bDisconnected = 1;
}

void CAdminDoc::PeriodicRefresh() {
    if (m_bDisconnected != 0 || m_bRefreshAllowed != 1)
        return;
    m_nLastMessage = IDS_NO_ERROR;

    RefreshLevelInfo(0);
    if (m_bLevelChanged)
        UpdateAllViews(nullptr, HINT_LEVEL);
    NoteLostConnection();

    if (m_nTick % 2 == 0) {
        RefreshServiceInfo(0);
        if (m_bServicesChanged)
            UpdateAllViews(nullptr, HINT_SERVICES);
        NoteLostConnection();
    }
    if (m_nTick % 5 == 0) {
        RefreshProfileInfo(0);
        if (m_bProfilesChanged)
            UpdateAllViews(nullptr, HINT_PROFILES);
        NoteLostConnection();
    }
    if (m_nTick % 7 == 0) {
        RefreshSPInfo(0);
        if (m_bSPsChanged)
            UpdateAllViews(nullptr, HINT_SPS);
        NoteLostConnection();
    }
    ++m_nTick;

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

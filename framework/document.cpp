#include "framework/document.h"

#include <algorithm>

CDocument::~CDocument() {
    DetachAllViews();
}

bool CDocument::OnNewDocument() {
    m_strPathName.clear();
    SetTitle(QString());
    return true;
}

bool CDocument::OnOpenDocument(const QString& /*pathName*/) {
    return true;
}

void CDocument::OnCloseDocument() {
    if (m_bClosing)
        return;
    m_bClosing = true;
    if (m_closeHandler) {
        // The handler may destroy this document: nothing of it may be used afterwards.
        const CloseHandler handler = m_closeHandler;
        handler(*this);
        return;
    }
    DetachAllViews();
}

void CDocument::SetTitle(const QString& title) {
    m_strTitle = title;
    ForEachAttachedView([](CView& view) { view.OnDocumentTitleChanged(); });
}

void CDocument::SetPathName(const QString& pathName) {
    m_strPathName = pathName;
    SetTitle(pathName);
}

void CDocument::AddView(CView* pView) {
    if (pView == nullptr || pView->m_pDocument == this)
        return;
    if (pView->m_pDocument != nullptr)
        pView->m_pDocument->RemoveView(pView);
    m_views.push_back(pView);
    pView->m_pDocument = this;
}

void CDocument::RemoveView(CView* pView) {
    const auto it = std::find(m_views.begin(), m_views.end(), pView);
    if (it == m_views.end())
        return;
    m_views.erase(it);
    pView->m_pDocument = nullptr;
}

void CDocument::UpdateAllViews(CView* pSender, long lHint, CObject* pHint) {
    ForEachAttachedView([&](CView& view) {
        if (&view != pSender)
            view.OnUpdate(pSender, lHint, pHint);
    });
}

void CDocument::ForEachAttachedView(const std::function<void(CView&)>& function) {
    const std::vector<CView*> snapshot = m_views;
    for (CView* view : snapshot) {
        if (std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            function(*view);
    }
}

void CDocument::DetachAllViews() {
    for (CView* view : m_views)
        view->m_pDocument = nullptr;
    m_views.clear();
}

#include "framework/view.h"

#include "framework/document.h"

CView::~CView() {
    if (m_pDocument != nullptr)
        m_pDocument->RemoveView(this);
}

void CView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView* /*pSender*/, long /*lHint*/, CObject* /*pHint*/) {}

void CView::OnDocumentTitleChanged() {}

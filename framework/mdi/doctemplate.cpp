#include "framework/mdi/doctemplate.h"

#include <QMdiArea>
#include <algorithm>

#include "framework/document.h"
#include "framework/mdi/mdichild.h"
#include "framework/mdi/mdiframe.h"
#include "framework/mdi/winapp.h"
#include "framework/mdi/wndview.h"

CMultiDocTemplate::CMultiDocTemplate(unsigned resourceId, DocumentFactory document,
                                     FrameFactory frame, ViewFactory view)
    : m_nResourceId(resourceId),
      m_documentFactory(std::move(document)),
      m_frameFactory(std::move(frame)),
      m_viewFactory(std::move(view)) {}

CMultiDocTemplate::~CMultiDocTemplate() = default;

CDocument* CMultiDocTemplate::OpenDocumentFile(const QString& pathName, bool makeVisible) {
    std::unique_ptr<CDocument> owned = m_documentFactory();
    if (!owned || !owned->OnOpenDocument(pathName))
        return nullptr;
    CDocument& document = *owned;
    document.SetPathName(pathName);
    document.SetCloseHandler([this](CDocument& closing) { DestroyDocument(closing); });
    m_documents.push_back(std::move(owned));

    CMDIChildWnd* frame = CreateNewFrame(document, nullptr);
    if (frame == nullptr) {
        document.OnCloseDocument();
        return nullptr;
    }
    InitialUpdateFrame(*frame, document, makeVisible);
    return &document;
}

CMDIChildWnd* CMultiDocTemplate::CreateNewFrame(CDocument& document, CMDIChildWnd* /*other*/) {
    CMDIFrameWnd* host = m_pApp == nullptr ? nullptr : m_pApp->GetMainWnd();
    if (host == nullptr)
        return nullptr;
    CMDIChildWnd* frame = m_frameFactory(*this);
    CWndView* view = frame == nullptr ? nullptr : m_viewFactory();
    if (view == nullptr) {
        delete frame;
        return nullptr;
    }
    document.AddView(view);
    if (!frame->Create(view)) {
        delete frame;
        return nullptr;
    }
    host->AddChildFrame(frame);
    return frame;
}

void CMultiDocTemplate::InitialUpdateFrame(CMDIChildWnd& frame, CDocument& /*document*/,
                                           bool makeVisible) {
    if (CWndView* view = frame.GetActiveView())
        view->OnInitialUpdate();
    if (makeVisible && !frame.IsDestroying()) {
        frame.show();
        if (frame.mdiArea() != nullptr)
            frame.mdiArea()->setActiveSubWindow(&frame);
    }
}

std::vector<CDocument*> CMultiDocTemplate::GetDocuments() const {
    std::vector<CDocument*> documents;
    for (const auto& document : m_documents)
        documents.push_back(document.get());
    return documents;
}

void CMultiDocTemplate::CloseAllDocuments() {
    // Each close removes its document from the list.
    while (!m_documents.empty())
        m_documents.back()->OnCloseDocument();
}

void CMultiDocTemplate::DestroyDocument(CDocument& document) {
    for (CView* view : document.GetViews()) {
        auto* wndView = dynamic_cast<CWndView*>(view);
        if (CMDIChildWnd* frame = wndView == nullptr ? nullptr : wndView->GetParentFrame())
            frame->DestroyWindow();
    }
    const auto it = std::find_if(m_documents.begin(), m_documents.end(),
                                 [&](const auto& owned) { return owned.get() == &document; });
    if (it != m_documents.end())
        m_documents.erase(it);
}

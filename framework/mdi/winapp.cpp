#include "framework/mdi/winapp.h"

#include "framework/mdi/doctemplate.h"
#include "framework/mdi/mdiframe.h"

CWinApp::CWinApp() = default;

CWinApp::~CWinApp() {
    CloseEverything();
}

bool CWinApp::InitInstance() {
    return true;
}

int CWinApp::ExitInstance() {
    CloseEverything();
    return 0;
}

CMultiDocTemplate* CWinApp::AddDocTemplate(std::unique_ptr<CMultiDocTemplate> docTemplate) {
    docTemplate->SetApplication(this);
    m_templates.push_back(std::move(docTemplate));
    return m_templates.back().get();
}

void CWinApp::SetMainWnd(std::unique_ptr<CMDIFrameWnd> frame) {
    m_pMainWnd = std::move(frame);
}

void CWinApp::CloseEverything() {
    for (const auto& docTemplate : m_templates)
        docTemplate->CloseAllDocuments();
    m_pMainWnd.reset();  // its frames were only hidden by the closes: they go with it
}

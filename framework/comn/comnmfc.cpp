#include "framework/comn/comnmfc.h"

#include "framework/comn/comn.h"
#include "framework/modalseam.h"

CInfoBox::CInfoBox(unsigned stringId, QWidget* parent)
    : m_pBox(CreateInfoBox(stringId, parent)) {}

CInfoBox::~CInfoBox() {
    DestroyInfoBox(m_pBox);
}

int CInfoBox::DoModal() {
    return m_pBox == nullptr ? IDCANCEL : m_pBox->DoModal();
}

CGetServerBox::CGetServerBox(unsigned promptId, const std::vector<std::string>& names,
                             QWidget* parent)
    : m_pBox(IGetServerBox::Create(promptId, names, parent)) {}

CGetServerBox::~CGetServerBox() {
    if (m_pBox != nullptr)
        m_pBox->Release();
}

int CGetServerBox::DoModal() {
    return m_pBox == nullptr ? IDCANCEL : m_pBox->DoModal();
}

void CGetServerBox::SetServerSelected(unsigned stringId) {
    if (m_pBox != nullptr)
        m_pBox->SetServerSelected(stringId);
}

const char* CGetServerBox::GetServerSelected() const {
    return m_pBox == nullptr ? "" : m_pBox->GetServerSelected();
}

CCheckProfileBox::CCheckProfileBox(int* closed, QWidget* parent)
    : m_pBox(ICheckProfileBox::Create(closed, parent)) {}

CCheckProfileBox::~CCheckProfileBox() {
    if (m_pBox != nullptr)
        m_pBox->Release();
}

void CCheckProfileBox::DestroyWindow() {
    if (m_pBox != nullptr)
        m_pBox->DestroyWindow();
}

void CCheckProfileBox::SetWindowText(const char* text) {
    if (m_pBox != nullptr)
        m_pBox->SetWindowText(text);
}

void CCheckProfileBox::UpdateWindow() {
    if (m_pBox != nullptr)
        m_pBox->UpdateWindow();
}

void CCheckProfileBox::Display(const CheckFindings& findings) {
    if (m_pBox != nullptr)
        m_pBox->Display(findings);
}

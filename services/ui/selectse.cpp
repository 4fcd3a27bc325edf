#include "services/ui/selectse.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "framework/widgets/dialogparts.h"

CSelectService::CSelectService(QWidget* parent)
    : QDialog(parent),
      m_wndExecutable(new QRadioButton(QStringLiteral("Executable Service"))),
      m_wndDLL(new QRadioButton(QStringLiteral("DLL Service"))) {
    setWindowTitle(QStringLiteral("Select Service Type"));
    m_wndExecutable->setObjectName(QStringLiteral("executableService"));
    m_wndDLL->setObjectName(QStringLiteral("dllService"));
    auto* choices = new QButtonGroup(this);
    choices->addButton(m_wndExecutable, kExecutable);
    choices->addButton(m_wndDLL, kDLL);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_wndExecutable);
    layout->addWidget(m_wndDLL);
    layout->addWidget(MakeOkCancel(*this, OkDefault::Yes));
}

void CSelectService::SetSelection(int selection) {
    m_nSelection = selection;
    DoDataExchange(false);
}

void CSelectService::accept() {
    DoDataExchange(true);
    QDialog::accept();
}

void CSelectService::DoDataExchange(bool save) {
    if (save) {
        m_nSelection = m_wndExecutable->isChecked() ? kExecutable
                       : m_wndDLL->isChecked()      ? kDLL
                                                    : kNone;
        return;
    }
    // An exclusive group cannot show "none" once a button is on; clear it for kNone.
    auto* group = m_wndExecutable->group();
    group->setExclusive(false);
    m_wndExecutable->setChecked(m_nSelection == kExecutable);
    m_wndDLL->setChecked(m_nSelection == kDLL);
    group->setExclusive(true);
}

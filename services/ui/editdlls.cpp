#include "services/ui/editdlls.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/widgets/bytefield.h"
#include "framework/widgets/dialogparts.h"
#include "services/ui/svcsave.h"

CEditDLLService::CEditDLLService(CTkvs set, QWidget* parent, int bServerIsLocal)
    : CServiceDialog(set, parent, bServerIsLocal, std::string()),
      m_fields(DllDialogDefaults()),
      m_wndDLLPath(nullptr),
      m_wndBrowse(nullptr),
      m_wndArguments(MakeTextField("arguments")),
      m_wndProcessName(MakeTextField("processName")),
      m_wndEmergencyTimeout(MakeTextField("emergencyTimeout")),
      m_wndLinkEarly(MakeCheckBox("Link DLL as Early as Possible", "linkEarly")),
      m_wndUnlinkLate(MakeCheckBox("Unlink DLL as Late as Possible", "unlinkLate")) {
    ReadDllService(m_kvs, m_fields);

    setWindowTitle(QStringLiteral("Edit DLL Service"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Service Name:"), m_wndServiceName);
    form->addRow(QStringLiteral("DLL Path:"), MakePathRow("dllPath", m_wndDLLPath, m_wndBrowse));

    auto* settings = new QGroupBox(QStringLiteral("Settings"));
    auto* settingsForm = new QFormLayout(settings);
    settingsForm->addRow(QStringLiteral("Arguments:"), m_wndArguments);
    settingsForm->addRow(QStringLiteral("Process Name:"), m_wndProcessName);
    settingsForm->addRow(QStringLiteral("Emergency Stop Timeout (secs):"), m_wndEmergencyTimeout);
    settingsForm->addRow(m_wndLinkEarly);
    settingsForm->addRow(m_wndUnlinkLate);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_serviceType.group);
    layout->addWidget(settings);
    layout->addWidget(MakeOkCancel(*this, OkDefault::Yes));
    connect(m_wndBrowse, &QPushButton::clicked, this, &CEditDLLService::OnBrowse);
    DoDataExchange(false);
}

void CEditDLLService::SetDLLPath(const std::string& path) {
    m_fields.dllPath = path;
    ShowBytes(*m_wndDLLPath, path);
}

void CEditDLLService::OnBrowse() {
    BrowseInto(ServiceKind::DLL, m_fields.dllPath);
}

void CEditDLLService::accept() {
    if (ReadAndSave([this] { return SaveDllService(m_kvs, m_strServiceName, m_fields); }))
        QDialog::accept();
}

bool CEditDLLService::DoDataExchange(bool save) {
    if (!save) {
        ShowBytes(*m_wndServiceName, m_strServiceName);
        ShowBytes(*m_wndDLLPath, m_fields.dllPath);
        ShowServiceType(m_serviceType, m_fields.bMandatory, m_fields.bDisabled);
        ShowBytes(*m_wndArguments, m_fields.arguments);
        ShowBytes(*m_wndProcessName, m_fields.processName);
        ShowInteger(*m_wndEmergencyTimeout, m_fields.emergencyTimeout);
        m_wndLinkEarly->setChecked(m_fields.bLinkEarly);
        m_wndUnlinkLate->setChecked(m_fields.bUnlinkLate);
        return true;
    }
    DllServiceFields fields = m_fields;
    if (!ReadIntegerField(*m_wndEmergencyTimeout, fields.emergencyTimeout))
        return false;
    fields.dllPath = FieldBytes(*m_wndDLLPath);
    ReadServiceType(m_serviceType, fields.bMandatory, fields.bDisabled);
    fields.arguments = FieldBytes(*m_wndArguments);
    fields.processName = FieldBytes(*m_wndProcessName);
    fields.bLinkEarly = m_wndLinkEarly->isChecked();
    fields.bUnlinkLate = m_wndUnlinkLate->isChecked();
    m_fields = fields;
    m_strServiceName = FieldBytes(*m_wndServiceName);
    return true;
}

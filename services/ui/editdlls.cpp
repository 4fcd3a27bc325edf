#include "services/ui/editdlls.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "resources/stringids.h"
#include "services/ui/svcboxes.h"
#include "services/ui/svcbrowse.h"
#include "services/ui/svcsave.h"

CEditDLLService::CEditDLLService(CTkvs set, QWidget* parent, int bServerIsLocal)
    : QDialog(parent),
      m_kvs(set),
      m_bServerIsLocal(bServerIsLocal),
      m_fields(DllDialogDefaults()),
      m_wndServiceName(MakeServiceNameField()),
      m_wndDLLPath(nullptr),
      m_wndBrowse(nullptr),
      m_serviceType(MakeServiceTypeGroup()),
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
    layout->addWidget(MakeOkCancel(*this));
    connect(m_wndBrowse, &QPushButton::clicked, this, &CEditDLLService::OnBrowse);
    DoDataExchange(false);
}

void CEditDLLService::SetServiceName(const std::string& name) {
    m_strServiceName = name;
    m_wndServiceName->setText(ToQString(name));
}

void CEditDLLService::SetDLLPath(const std::string& path) {
    m_fields.dllPath = path;
    m_wndDLLPath->setText(ToQString(path));
}

void CEditDLLService::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_bOpened) {
        m_bOpened = true;
        OnInitDialog();
    }
}

void CEditDLLService::OnInitDialog() {
    DoDataExchange(false);
    if (!m_bServerIsLocal)
        ShowServiceInfo(IDS_REMOTE_SERVICE_INFO);
}

void CEditDLLService::OnBrowse() {
    if (const auto path = BrowseForServiceFile(this, ServiceKind::DLL))
        m_wndDLLPath->setText(ToQString(*path));
}

void CEditDLLService::accept() {
    if (!DoDataExchange(true))
        return;
    if (const unsigned message = SaveDllService(m_kvs, m_strServiceName, m_fields); message != 0) {
        ShowServiceError(message, this);
        return;
    }
    QDialog::accept();
}

bool CEditDLLService::DoDataExchange(bool save) {
    if (!save) {
        m_wndServiceName->setText(ToQString(m_strServiceName));
        m_wndDLLPath->setText(ToQString(m_fields.dllPath));
        ShowServiceType(m_serviceType, m_fields.bMandatory, m_fields.bDisabled);
        m_wndArguments->setText(ToQString(m_fields.arguments));
        m_wndProcessName->setText(ToQString(m_fields.processName));
        ShowInteger(*m_wndEmergencyTimeout, m_fields.emergencyTimeout);
        m_wndLinkEarly->setChecked(m_fields.bLinkEarly);
        m_wndUnlinkLate->setChecked(m_fields.bUnlinkLate);
        return true;
    }
    DllServiceFields fields = m_fields;
    if (!ReadIntegerField(*m_wndEmergencyTimeout, fields.emergencyTimeout))
        return false;
    fields.dllPath = ToStdString(m_wndDLLPath->text());
    ReadServiceType(m_serviceType, fields.bMandatory, fields.bDisabled);
    fields.arguments = ToStdString(m_wndArguments->text());
    fields.processName = ToStdString(m_wndProcessName->text());
    fields.bLinkEarly = m_wndLinkEarly->isChecked();
    fields.bUnlinkLate = m_wndUnlinkLate->isChecked();
    m_fields = fields;
    m_strServiceName = ToStdString(m_wndServiceName->text());
    return true;
}

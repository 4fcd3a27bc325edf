#include "services/ui/svcdialog.h"

#include <utility>

#include "framework/widgets/bytefield.h"
#include "resources/stringids.h"
#include "services/ui/svcboxes.h"
#include "services/ui/svcbrowse.h"

CServiceDialog::CServiceDialog(CTkvs set, QWidget* parent, int bServerIsLocal,
                               std::string serviceName)
    : QDialog(parent),
      m_kvs(set),
      m_bServerIsLocal(bServerIsLocal),
      m_strServiceName(std::move(serviceName)),
      m_wndServiceName(MakeServiceNameField()),
      m_serviceType(MakeServiceTypeGroup()) {}

void CServiceDialog::SetServiceName(const std::string& name) {
    m_strServiceName = name;
    ShowBytes(*m_wndServiceName, name);
}

void CServiceDialog::setVisible(bool visible) {
    if (visible && !m_bOpened) {
        m_bOpened = true;
        OnInitDialog();
    }
    QDialog::setVisible(visible);
}

void CServiceDialog::OnInitDialog() {
    DoDataExchange(false);
    if (!m_bServerIsLocal)
        ShowServiceInfo(IDS_REMOTE_SERVICE_INFO);
}

void CServiceDialog::BrowseInto(ServiceKind kind, std::string& path) {
    if (!DoDataExchange(true))
        return;
    if (const auto chosen = BrowseForServiceFile(this, kind))
        path = *chosen;
    DoDataExchange(false);
}

bool CServiceDialog::ReadAndSave(const std::function<unsigned()>& save) {
    if (!DoDataExchange(true))
        return false;
    if (const unsigned message = save(); message != 0) {
        ShowServiceError(message, this);
        return false;
    }
    return true;
}

// The document's plain-words service status: the status call and its lines.
#include "framework/bytetext.h"
#include "session/admindoc.h"
#include "session/servicestatus.h"
#include "session/textconv.h"

QString CAdminDoc::ServiceStatusText(const CString& name) {
    if (!m_pSession || m_bDisconnected)
        return {};
    std::vector<TLVserviceStatus> statuses;
    const std::string wanted = BytesOfByteString(name);
    if (!m_pSession->GetServiceStatus({wanted}, statuses) || statuses.empty())
        return {};
    return ServiceStatusLines(DisplayTexts::Load(), statuses.front()).join(QLatin1Char('\n'));
}

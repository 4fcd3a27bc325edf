// The document's plain-words service status: the status call and its lines.
#include "framework/bytetext.h"
#include "session/admindoc.h"
#include "session/servicestatus.h"
#include "session/sessionlink.h"
#include "session/textconv.h"

void CAdminDoc::RequestServiceStatusText(const CString& name,
                                         std::function<void(const QString&)> show) {
    if (!m_pLink || m_bDisconnected)
        return;
    const std::string wanted = BytesOfByteString(name);
    auto statuses = std::make_shared<std::vector<TLVserviceStatus>>();
    auto bRead = std::make_shared<bool>(false);
    m_pLink->Post(
        [wanted, statuses, bRead](SessionWorker::SessionSlot& session) {
            *bRead = session && session->GetServiceStatus({wanted}, *statuses) != 0;
        },
        [statuses, bRead, show = std::move(show)] {
            if (!*bRead || statuses->empty())
                return;
            show(ServiceStatusLines(DisplayTexts::Load(), statuses->front())
                     .join(QLatin1Char('\n')));
        });
}

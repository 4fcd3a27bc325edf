#include "services/ui/svcboxes.h"

#include "framework/modalseam.h"
#include "resources/stringtable.h"

void ShowServiceError(unsigned messageId, QWidget* owner) {
    Modal().MessageBox(StringTable::Load(messageId), StringTable::Load(IDS_ERROR_CAPTION),
                       MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL, owner);
}

void ShowServiceInfo(unsigned messageId) {
    Modal().MessageBox(StringTable::Load(messageId), StringTable::Load(IDS_APP_TITLE),
                       MB_OK | MB_ICONINFORMATION);
}

#include "session/errormessage.h"

#include "framework/modalseam.h"
#include "resources/stringtable.h"

int ShowErrorMessage(unsigned messageId, const QString& details) {
    Modal().MessageBox(StringTable::Load(messageId), StringTable::Load(IDS_ERROR_CAPTION),
                       MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL, nullptr, details);
    return 1;
}

#include "session/errormessage.h"

#include "framework/modalseam.h"
#include "resources/stringtable.h"

int ShowErrorMessage(unsigned messageId) {
    Modal().MessageBox(StringTable::Load(messageId), StringTable::Load(IDS_ERROR_CAPTION),
                       MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
    return 1;
}

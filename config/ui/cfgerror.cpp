#include "config/ui/cfgerror.h"

#include "framework/modalseam.h"
#include "resources/stringtable.h"

void ShowConfigError(unsigned messageId, QWidget* owner) {
    Modal().MessageBox(StringTable::Load(messageId), StringTable::Load(IDS_ERROR_CAPTION),
                       MB_SYSTEMMODAL | MB_ICONEXCLAMATION, owner);
}

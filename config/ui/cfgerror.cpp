#include "config/ui/cfgerror.h"

#include "framework/modalseam.h"
#include "resources/stringtable.h"

void ShowRegistryError(unsigned messageId, const RegistryPlace& place, RegistryUse use,
                       QWidget* owner) {
    ShowConfigError(messageId, owner, DetailsOfLines(RegistryFailureDetails(place, use)));
}

void ShowConfigError(unsigned messageId, QWidget* owner, const QString& details) {
    Modal().MessageBox(StringTable::Load(messageId), StringTable::Load(IDS_ERROR_CAPTION),
                       MB_SYSTEMMODAL | MB_ICONEXCLAMATION, owner, details);
}

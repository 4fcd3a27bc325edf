#pragma once
// The boxes of the service dialogs, through the modal seam: the one place to switch to the
// application's CErrorBox and CInfoBox once they can be linked from here.

class QWidget;

// The string's text under "Error", OK only, exclamation icon, system-modal.
void ShowServiceError(unsigned messageId, QWidget* owner);

// The string's text as the companion library's information box shows it.
void ShowServiceInfo(unsigned messageId);

#pragma once
// The document's error box: a string-table message in a message box with only OK, the
// exclamation icon and the system-modal flag, captioned "Error", through the modal seam.
// The application's own CErrorBox shows the same box with a parent window.

#include <QString>

// Shows the message of the string-table id, with details under it when given; returns 1.
int ShowErrorMessage(unsigned messageId, const QString& details = {});

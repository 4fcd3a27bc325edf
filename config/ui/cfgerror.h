#pragma once
// The error box of the configuration dialogs: the message of a string-table id under the caption
// "Error", through the modal seam. The one place to switch to the application's CErrorBox once
// it can be linked from here.

class QWidget;

void ShowConfigError(unsigned messageId, QWidget* owner = nullptr);

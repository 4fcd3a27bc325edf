#pragma once
// The error box of the configuration dialogs: the message of a string-table id under the caption
// "Error", through the modal seam. The one place to switch to the application's CErrorBox once
// it can be linked from here.

#include <QString>

class QWidget;

#include "config/regfailure.h"

// details, when given, stand under the message.
void ShowConfigError(unsigned messageId, QWidget* owner = nullptr, const QString& details = {});

// A registry message with, under it, the files, the key and the value that failed.
void ShowRegistryError(unsigned messageId, const RegistryPlace& place, RegistryUse use,
                       QWidget* owner);

#pragma once
// The open-file dialogs of "Browse" buttons: Qt's own dialog (the same on every desktop, and
// scriptable in tests) for one existing file, run through the modal seam.

#include <optional>
#include <string>

class QFileDialog;
class QString;

// Sets the dialog up for one existing file, listed by firstFilter (selected first) or as
// "All files (*)".
void SetUpOpenFileDialog(QFileDialog& dialog, const QString& firstFilter);

// Runs the dialog; the chosen file's path as the file system's bytes, nothing after Cancel.
std::optional<std::string> ChosenFile(QFileDialog& dialog);

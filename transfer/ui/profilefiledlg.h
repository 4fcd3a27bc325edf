#pragma once
// The file dialogs of profile import and export, run through the modal seam: titled
// "Select File", listing "Profile Files" (*.ief) first and "All files" second, adding ".ief" to
// a name typed without an extension while "Profile Files" is chosen.

#include <QString>
#include <optional>

class QWidget;

// Import: an existing file to read, starting in the folder (the current one when empty), no file
// name proposed. The full path chosen; empty when cancelled.
std::optional<QString> ChooseProfileFileToRead(QWidget* owner, const QString& startFolder);

// Export: a file to write, starting on startPath (a full path or a bare name). An existing file
// is not confirmed here: the export itself refuses to replace it, with its own message.
std::optional<QString> ChooseProfileFileToWrite(QWidget* owner, const QString& startPath);

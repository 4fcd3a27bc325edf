#pragma once
// "&Browse..." of the association dialogs: an open-file dialog titled "Select Profile Editor",
// run through the modal seam.
//
// Its first filter, "Executables", lists programs by their execute permission, since programs
// here carry no ".exe"; "All files" lists everything. No extension is added to a typed name.

#include <string>

class QWidget;

// The full path the operator chose; false when the operator cancelled.
bool BrowseForEditor(QWidget* owner, std::string& path);

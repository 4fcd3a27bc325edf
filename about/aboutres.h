#pragma once
// The about dialog's resource (2066, "About this Application..."): the application name, the
// client and server versions, a line of text, an etched line, the licensee and company, the
// file list and OK, from top to bottom, each value control holding its resource text. CAboutBox
// fills the controls; CAboutDlg shows them as they stand.

#include <QString>

class QDialog;
class QLabel;
class QTreeWidget;

// The controls of the resource, owned by the dialog they were built into.
struct AboutControls {
    QLabel* appName = nullptr;        // 49226
    QLabel* clientVersion = nullptr;  // 49230
    QLabel* serverVersion = nullptr;  // 49231
    QLabel* licensee = nullptr;       // 49228
    QLabel* company = nullptr;        // 49229
    QTreeWidget* fileList = nullptr;  // 49235, report style, with a border
};

// Builds the resource into the dialog: title, controls and the OK button (default, accepts).
AboutControls BuildAboutDialog(QDialog& dialog);

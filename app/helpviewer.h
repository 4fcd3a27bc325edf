#pragma once
// The help viewer: the manual is an HTML file standing beside the named help file
// ("admin.html" beside "admin.hlp"), shown by the desktop's viewer.

#include <QString>
#include <QUrl>

// The help commands of the platform's help call.
inline constexpr unsigned HELP_KEY = 0x0101;        // keyword search ("" opens the index)
inline constexpr unsigned HELP_HELPONHELP = 0x0004;  // how to use help
inline constexpr unsigned HELP_FINDER = 0x000B;     // contents and index

// The page of the manual for the command; empty when there is no help file.
QUrl HelpUrl(const QString& helpFile, unsigned command);

// Opens the page; false, after a message naming the manual's path, when there is no help
// file, the manual is missing or no viewer took it.
bool WinHelp(const QString& helpFile, unsigned command);

#pragma once
// The editor program: the command line, the session to the server entry, the profile fetched
// for editing, then the window until it closes.

#include <memory>

#include "tools/tlvedit/editorargs.h"
#include "tools/tlvedit/editorwnd.h"
#include "tools/tlvedit/profileconnection.h"

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // the profile is not there or may not be edited here
inline constexpr int kExitUsage = 2;    // bad command line, no display, or no server to reach

// The editor started for a request: the window to run, or only the exit code when the run ends
// before a window opens (its reason has been shown in a box).
struct EditorStart {
    int exitCode = kExitOk;
    std::unique_ptr<ProfileConnection> connection;
    std::unique_ptr<CProfileEditorWnd> window;  // declared last: it goes before its connection
};

// Needs the S.100 library started and a QApplication; shows its refusals through Modal().
EditorStart StartEditor(const EditorRequest& request);

// The whole program.
int RunTlvedit(int argc, char** argv);

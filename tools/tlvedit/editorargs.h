#pragma once
// The command line of tlvedit, as the administration client builds it:
//   tlvedit ENTRY new CLASS
//   tlvedit ENTRY edit NAME CLASS

#include <string>

enum class EditMode { New, Edit };

struct EditorRequest {
    bool bHelp = false;
    bool bVersion = false;
    std::string entry;  // server entry name of the administration table
    EditMode mode = EditMode::New;
    std::string name;  // empty for a new profile
    std::string profileClass;
};

// Fills the request from argv; false with a one-line reason for a command line that cannot be
// run. Every word is bounded in length and must be non-empty.
bool ParseEditorArgs(int argc, const char* const* argv, EditorRequest& request, std::string& error);

const char* EditorUsage();

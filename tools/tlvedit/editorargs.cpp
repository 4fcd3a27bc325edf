#include "tools/tlvedit/editorargs.h"

#include <cstddef>
#include <cstring>

#include "platform/version/commandline.h"
#include "resources/stringtable.h"
#include "tools/tlvedit/profilename.h"

namespace {

// Words the editor accepts from its caller; longer ones cannot be a name the server keeps.
constexpr std::size_t kMaxWordLength = kMaxProfileTextLength;

bool CheckWord(const char* word, const char* what, std::string& error) {
    const std::size_t length = std::strlen(word);
    if (length == 0) {
        error = std::string("the ") + what + " is empty";
        return false;
    }
    if (length > kMaxWordLength) {
        error = std::string("the ") + what + " is longer than " + std::to_string(kMaxWordLength) +
                " bytes";
        return false;
    }
    return true;
}

}  // namespace

bool ParseEditorArgs(int argc, const char* const* argv, EditorRequest& request,
                     std::string& error) {
    request = EditorRequest{};
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        request.bHelp = true;
        return true;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        request.bVersion = true;
        return true;
    }
    // Only alone can a word be an option: the client passes entry names as they are, dashes
    // included, and always with a mode behind them.
    if (argc == 2 && argv[1][0] == '-' && argv[1][1] != '\0') {
        error = UnknownOptionProblem(argv[1]);
        return false;
    }
    if (argc < 3) {
        error = "missing arguments";
        return false;
    }
    const std::string mode = argv[2];
    int expected = 0;
    if (mode == StringTable::Text(IDS_EDITOR_NEW)) {
        request.mode = EditMode::New;
        expected = 4;
    } else if (mode == StringTable::Text(IDS_EDITOR_EDIT)) {
        request.mode = EditMode::Edit;
        expected = 5;
    } else {
        error = "unknown mode '" + mode + "' (expected new or edit)";
        return false;
    }
    if (argc != expected) {
        // A name or class with a blank reaches us split into several words.
        error = "wrong number of arguments for " + mode;
        return false;
    }
    if (!CheckWord(argv[1], "server entry name", error))
        return false;
    request.entry = argv[1];
    if (request.mode == EditMode::Edit) {
        if (!CheckWord(argv[3], "profile name", error))
            return false;
        request.name = argv[3];
    }
    const char* profileClass = argv[expected - 1];
    if (!CheckWord(profileClass, "profile class", error))
        return false;
    request.profileClass = profileClass;
    return true;
}

const char* EditorUsage() {
    return "usage: tlvedit ENTRY new CLASS\n"
           "       tlvedit ENTRY edit NAME CLASS\n"
           "       tlvedit --help | --version\n"
           "ENTRY is a server entry name of the administration server table.\n";
}

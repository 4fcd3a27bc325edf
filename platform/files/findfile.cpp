#include "platform/files/findfile.h"

#include <dirent.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {

enum class NameRule { SharedLibrary, Executable, Wildcard };

struct FindState {
    DIR* folder = nullptr;
    std::string folderPath;
    std::string wildcard;
    NameRule rule = NameRule::Wildcard;
};

bool IsSharedLibraryName(std::string_view name) {
    return (name.size() > 3 && name.substr(name.size() - 3) == ".so") ||
           name.find(".so.") != std::string_view::npos;
}

NameRule RuleOf(const std::string& wildcard) {
    if (strcasecmp(wildcard.c_str(), "*.dll") == 0)
        return NameRule::SharedLibrary;
    if (strcasecmp(wildcard.c_str(), "*.exe") == 0)
        return NameRule::Executable;
    return NameRule::Wildcard;
}

bool Matches(const FindState& state, const char* name, const struct stat& facts) {
    // A program file is a regular file; a FIFO, socket or device of that name is none. Folders
    // come back with their attribute, as the platform returns them.
    const bool bFileOrFolder = S_ISREG(facts.st_mode) || S_ISDIR(facts.st_mode);
    switch (state.rule) {
        case NameRule::SharedLibrary:
            return bFileOrFolder && IsSharedLibraryName(name);
        case NameRule::Executable:
            return bFileOrFolder && (facts.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0 &&
                   !IsSharedLibraryName(name);
        case NameRule::Wildcard:
            return fnmatch(state.wildcard.c_str(), name, FNM_PERIOD) == 0;
    }
    return false;
}

// Reads on to the next matching entry and fills findData; false at the end of the folder.
bool NextMatch(FindState& state, WIN32_FIND_DATAA& findData) {
    while (const dirent* entry = readdir(state.folder)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == ".." || name.size() >= MAX_PATH)
            continue;
        struct stat facts {};
        // A link that leads nowhere is not a file to list.
        if (stat((state.folderPath + "/" + entry->d_name).c_str(), &facts) != 0)
            continue;
        if (!Matches(state, entry->d_name, facts))
            continue;
        findData.dwFileAttributes =
            S_ISDIR(facts.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        std::memcpy(findData.cFileName, entry->d_name, name.size() + 1);
        return true;
    }
    return false;
}

}  // namespace

HANDLE FindFirstFileA(LPCSTR fileName, WIN32_FIND_DATAA* findData) {
    if (fileName == nullptr || findData == nullptr)
        return INVALID_HANDLE_VALUE;
    const std::string pattern = fileName;
    const std::size_t slash = pattern.rfind('/');
    auto state = std::make_unique<FindState>();
    state->folderPath = slash == std::string::npos ? "." : pattern.substr(0, slash);
    if (state->folderPath.empty())
        state->folderPath = "/";
    state->wildcard = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    state->rule = RuleOf(state->wildcard);
    state->folder = opendir(state->folderPath.c_str());
    if (state->folder == nullptr)
        return INVALID_HANDLE_VALUE;
    if (!NextMatch(*state, *findData)) {
        closedir(state->folder);
        return INVALID_HANDLE_VALUE;
    }
    return state.release();
}

BOOL FindNextFileA(HANDLE findFile, WIN32_FIND_DATAA* findData) {
    if (findFile == nullptr || findFile == INVALID_HANDLE_VALUE || findData == nullptr)
        return 0;
    return NextMatch(*static_cast<FindState*>(findFile), *findData) ? 1 : 0;
}

BOOL FindClose(HANDLE findFile) {
    if (findFile == nullptr || findFile == INVALID_HANDLE_VALUE)
        return 0;
    auto* state = static_cast<FindState*>(findFile);
    closedir(state->folder);
    delete state;
    return 1;
}

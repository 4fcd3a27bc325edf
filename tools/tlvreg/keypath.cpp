#include "tools/tlvreg/keypath.h"

#include <algorithm>
#include <array>

#include "platform/registry/regname.h"

namespace {

constexpr std::string_view kRootName = "HKEY_LOCAL_MACHINE";
constexpr std::array<std::string_view, 2> kRootNames = {"HKEY_LOCAL_MACHINE", "HKLM"};
constexpr std::array<std::string_view, 4> kOtherRoots = {"HKCU", "HKCR", "HKU", "HKCC"};

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && FoldRegName(text.substr(0, prefix.size())) == prefix;
}

}  // namespace

bool ParseKeyArgument(std::string_view argument, std::string& path) {
    for (const std::string_view root : kRootNames) {
        if (FoldRegName(argument) == root) {
            path.clear();
            return true;
        }
        if (StartsWithFolded(argument, root) && argument.size() > root.size() &&
            argument[root.size()] == '\\') {
            path = std::string(argument.substr(root.size() + 1));
            return true;
        }
    }
    // Another root's name would otherwise silently become a key below this one.
    const std::string first = FoldRegName(argument.substr(0, argument.find('\\')));
    if (first.rfind("HKEY_", 0) == 0 ||
        std::find(kOtherRoots.begin(), kOtherRoots.end(), first) != kOtherRoots.end()) {
        return false;
    }
    path = std::string(argument);
    return true;
}

std::string FullKeyName(std::string_view path) {
    std::string name(kRootName);
    if (!path.empty()) {
        name += '\\';
        name += path;
    }
    return name;
}

bool SplitLastKey(std::string_view path, std::string& parent, std::string& last) {
    if (path.empty()) {
        return false;
    }
    const std::size_t separator = path.rfind('\\');
    if (separator == std::string_view::npos) {
        parent.clear();
        last = std::string(path);
    } else {
        parent = std::string(path.substr(0, separator));
        last = std::string(path.substr(separator + 1));
    }
    return true;
}

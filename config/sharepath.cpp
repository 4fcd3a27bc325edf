#include "config/sharepath.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace {

// The mount table is bounded: a machine with more mounts than this is not looked through.
constexpr std::size_t kMaxMountTableSize = 4 * 1024 * 1024;

struct Mount {
    std::string source;
    std::string point;
    std::string type;
};

bool IsOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

// Undoes the kernel's octal escapes (\040 blank, \011 tab, \012 line break, \134 backslash).
std::string Unescaped(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
            IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

std::vector<Mount> Mounts(std::string_view table) {
    std::vector<Mount> mounts;
    std::istringstream lines{std::string(table)};
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        Mount mount;
        if (fields >> mount.source >> mount.point >> mount.type)
            mounts.push_back({Unescaped(mount.source), Unescaped(mount.point), mount.type});
    }
    return mounts;
}

bool Holds(const std::string& point, std::string_view folder) {
    if (point == "/")
        return true;
    return folder.starts_with(point) && (folder.size() == point.size() || folder[point.size()] == '/');
}

// "//host/share/sub" (CIFS) or "host:/export/sub" (NFS) as "\\host\share\sub"; empty for a
// source of another kind.
std::optional<std::string> UncOfSource(const Mount& mount) {
    std::string hostAndPath;
    if (mount.type == "cifs" || mount.type == "smb3" || mount.type == "smbfs") {
        if (!mount.source.starts_with("//"))
            return std::nullopt;
        hostAndPath = mount.source.substr(2);
    } else if (mount.type == "nfs" || mount.type == "nfs4") {
        const std::size_t colon = mount.source.find(":/");
        if (colon == std::string::npos || colon == 0)
            return std::nullopt;
        hostAndPath = mount.source.substr(0, colon) + mount.source.substr(colon + 1);
    } else {
        return std::nullopt;
    }
    std::string unc = "\\\\";
    for (const char c : hostAndPath)
        unc += c == '/' ? '\\' : c;
    while (unc.size() > 2 && unc.back() == '\\')
        unc.pop_back();
    return unc;
}

}  // namespace

std::optional<std::string> UncPathOfFolder(std::string_view folder, std::string_view mountTable) {
    const Mount* deepest = nullptr;
    const std::vector<Mount> mounts = Mounts(mountTable);
    for (const Mount& mount : mounts) {
        // A later mount on the same point hides an earlier one.
        if (Holds(mount.point, folder) && (deepest == nullptr || mount.point.size() >= deepest->point.size()))
            deepest = &mount;
    }
    if (deepest == nullptr)
        return std::nullopt;
    std::optional<std::string> unc = UncOfSource(*deepest);
    if (!unc)
        return std::nullopt;
    const std::string_view rest = folder.substr(deepest->point == "/" ? 0 : deepest->point.size());
    for (const char c : rest)
        *unc += c == '/' ? '\\' : c;
    if (unc->back() != '\\')
        *unc += '\\';
    return unc;
}

std::optional<std::string> UncPathOfFolder(std::string_view folder) {
    std::ifstream file("/proc/self/mounts");
    std::string table;
    table.resize(kMaxMountTableSize);
    file.read(table.data(), static_cast<std::streamsize>(table.size()));
    table.resize(static_cast<std::size_t>(file.gcount()));
    return UncPathOfFolder(folder, table);
}

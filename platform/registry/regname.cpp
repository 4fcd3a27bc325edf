#include "platform/registry/regname.h"

std::string FoldRegName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return folded;
}

LONG SplitRegPath(std::string_view path, std::vector<std::string>& names) {
    names.clear();
    if (path.empty()) {
        return ERROR_SUCCESS;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('\\', start);
        const std::string_view name = path.substr(start, end - start);
        if (name.empty()) {
            return ERROR_BAD_PATHNAME;
        }
        if (name.size() > REG_MAX_KEY_NAME || names.size() >= REG_MAX_KEY_DEPTH) {
            return ERROR_INVALID_PARAMETER;
        }
        names.emplace_back(name);
        if (end == std::string_view::npos) {
            return ERROR_SUCCESS;
        }
        start = end + 1;
    }
}

LONG CheckValueName(std::string_view name) {
    return name.size() > REG_MAX_VALUE_NAME ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
}

LONG CheckValueSize(DWORD size) {
    return size > REG_MAX_VALUE_DATA ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
}

#include "platform/process/cmdwords.h"

namespace tlv::platform {

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    static constexpr const char* kBlanks = " \t";
    std::vector<std::string> words;
    std::size_t at = commandLine.find_first_not_of(kBlanks);
    while (at != std::string::npos) {
        const std::size_t end = commandLine.find_first_of(kBlanks, at);
        words.push_back(commandLine.substr(at, end - at));
        at = commandLine.find_first_not_of(kBlanks, end);
    }
    return words;
}

}  // namespace tlv::platform

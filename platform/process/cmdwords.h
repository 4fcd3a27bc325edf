#pragma once
// A command line as the platform's process start reads it: words separated by blanks and tabs.
// Nothing is quoted, so a path or a name holding a blank becomes several words.

#include <string>
#include <vector>

namespace tlv::platform {

std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace tlv::platform

#include "app/startargs.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/version/commandline.h"

namespace {

// The options QGuiApplication and QApplication take, with a value after them or after "=".
constexpr std::array<std::string_view, 12> kQtValueOptions{
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "style",           "stylesheet",         "display",       "geometry"};
constexpr std::array<std::string_view, 4> kQtFlags{"reverse", "widgetcount", "nograb", "dograb"};

bool Contains(const auto& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The option's name without its dashes (Qt takes "-style" and "--style") and any "=value".
std::string_view NameOf(std::string_view option) {
    option.remove_prefix(option.starts_with("--") ? 2 : 1);
    return option.substr(0, option.find('='));
}

}  // namespace

CommandLineCheck CheckCommandLine(int argc, const char* const* argv) {
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h"))
        return {CommandLineAction::Help, {}};
    if (argc == 2 && std::string_view(argv[1]) == "--version")
        return {CommandLineAction::Version, {}};
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word.size() < 2 || word[0] != '-')
            return {CommandLineAction::Refuse, "unexpected argument " + std::string(word)};
        const std::string_view name = NameOf(word);
        if (Contains(kQtFlags, name))
            continue;
        if (!Contains(kQtValueOptions, name))
            return {CommandLineAction::Refuse, UnknownOptionProblem(word)};
        if (word.find('=') == std::string_view::npos && ++i >= argc)
            return {CommandLineAction::Refuse, std::string(word) + " needs a value"};
    }
    return {CommandLineAction::Run, {}};
}

#include "framework/widgets/displaycheck.h"

#include <array>
#include <cstdlib>
#include <string_view>

namespace {

// Platform plugins that draw into memory, a frame buffer or a remote viewer.
constexpr std::array<std::string_view, 7> kPlatformsWithoutDisplay = {
    "offscreen", "minimal", "minimalegl", "vnc", "linuxfb", "eglfs", "vkkhrdisplay"};

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

bool DrawsWithoutDisplay(std::string_view entry) {
    const std::string_view name = entry.substr(0, entry.find(':'));
    for (const std::string_view platform : kPlatformsWithoutDisplay) {
        if (name == platform)
            return true;
    }
    return false;
}

}  // namespace

DisplayEnvironment CurrentDisplayEnvironment() {
    return {Variable("QT_QPA_PLATFORM"), Variable("DISPLAY"), Variable("WAYLAND_DISPLAY")};
}

bool CanOpenWindows(const DisplayEnvironment& environment) {
    if (!environment.x11Display.empty() || !environment.waylandDisplay.empty())
        return true;
    // Qt tries the entries of the list in turn.
    std::string_view rest = environment.platform;
    while (!rest.empty()) {
        const std::size_t end = rest.find(';');
        if (DrawsWithoutDisplay(rest.substr(0, end)))
            return true;
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return false;
}

std::string NoDisplayMessage(const char* program) {
    return std::string(program) +
           ": no display to open a window on (DISPLAY and WAYLAND_DISPLAY are not set)";
}

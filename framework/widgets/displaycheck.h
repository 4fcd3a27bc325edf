#pragma once
// Whether a widget program can open its windows, asked before the QApplication exists: without
// a display Qt aborts (and leaves a core), so the programs stop with a plain line instead.

#include <string>

// The environment the answer depends on; empty for a variable that is not set.
struct DisplayEnvironment {
    std::string platform;        // QT_QPA_PLATFORM: "name[:options]" entries separated by ';'
    std::string x11Display;      // DISPLAY
    std::string waylandDisplay;  // WAYLAND_DISPLAY
};

DisplayEnvironment CurrentDisplayEnvironment();

// True when a chosen platform draws without a display (offscreen and the like) or a display
// is named.
bool CanOpenWindows(const DisplayEnvironment& environment);

// The one line a program prints (with its name in front) when it cannot open windows.
std::string NoDisplayMessage(const char* program);

#pragma once
// What tlvadmin makes of its command line, before Qt needs a display. The client reads no
// arguments of its own beyond --help and --version; Qt's own options (-platform, -style, ...)
// are left to Qt, and anything else is refused rather than silently ignored.

#include <string>

enum class CommandLineAction { Run, Help, Version, Refuse };

struct CommandLineCheck {
    CommandLineAction action = CommandLineAction::Run;
    std::string problem;  // what is wrong, when refused
};

CommandLineCheck CheckCommandLine(int argc, const char* const* argv);

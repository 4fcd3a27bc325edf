#pragma once
// What every program of the product says about a command line it cannot run, in one form: one
// line on standard error that names the program, so a script's log shows who complained, and
// points at --help instead of burying the problem under the whole usage.

#include <string>
#include <string_view>

// "PROGRAM: PROBLEM (try --help)" and a line break.
inline std::string UsageErrorLine(std::string_view program, std::string_view problem) {
    std::string line{program};
    line.append(": ").append(problem).append(" (try --help)\n");
    return line;
}

// The problem of an option the program does not take.
inline std::string UnknownOptionProblem(std::string_view option) {
    return "unknown option " + std::string{option};
}

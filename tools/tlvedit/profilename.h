#pragma once
// What makes a profile name the editor can save: the server keeps names and classes of up to
// 1024 bytes, and the administration client passes a name to its editor as one word of a
// command line split at blanks, so a name with white space could never be edited again.

#include <QString>
#include <cstddef>

inline constexpr std::size_t kMaxProfileTextLength = 1024;

enum class NameProblem {
    None,
    EmptyOrSpace,  // empty, or holds white space
    BadCharacter,  // a control character, or one that has no 8-bit (Latin-1) form
    TooLong,       // above kMaxProfileTextLength
};

NameProblem CheckProfileName(const QString& name);

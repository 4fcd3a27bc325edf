#pragma once
// The version note every program carries: an ELF note (owner "Kestrova", type 1) whose
// descriptor is the program's version information, read back from the file alone by
// GetFileVersionInfoA (platform/version/verapi.h).
//
// The descriptor is a list of NUL-terminated texts taken in pairs, a value's path and the
// value, e.g. "\StringFileInfo\040904b0\ProductVersion" then "0.1.0"; an empty path ends it.

#include <cstddef>
#include <cstdint>

inline constexpr char kVersionNoteOwner[] = "Kestrova";
inline constexpr std::uint32_t kVersionNoteType = 1;

template <std::size_t DescSize>
struct VersionNote {
    // The note header words, then the owner and descriptor, each padded to four bytes.
    std::uint32_t nameSize = sizeof(kVersionNoteOwner);
    std::uint32_t descSize = DescSize;
    std::uint32_t type = kVersionNoteType;
    char name[(sizeof(kVersionNoteOwner) + 3) & ~std::size_t{3}] = {};
    char desc[(DescSize + 3) & ~std::size_t{3}] = {};

    explicit constexpr VersionNote(const char (&text)[DescSize]) {
        for (std::size_t i = 0; i < sizeof(kVersionNoteOwner); ++i)
            name[i] = kVersionNoteOwner[i];
        for (std::size_t i = 0; i < DescSize; ++i)
            desc[i] = text[i];
    }
};

// Places a version note with the descriptor text (a string literal of pairs, see above) into
// the program or library. GCC and Clang give a section named ".note.*" the note type, so the
// linker keeps it in a note segment.
// clang-format off
// NOLINTBEGIN(bugprone-macro-parentheses): variable is the name declared, not an expression
#define TLV_VERSION_NOTE(variable, text) \
    [[gnu::used, gnu::section(".note.kestrova.version"), gnu::aligned(4)]] \
    const VersionNote<sizeof(text)> variable{text}
// NOLINTEND(bugprone-macro-parentheses)
// clang-format on

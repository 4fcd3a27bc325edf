#pragma once
// Profile files (.ief): the profile name, white space, the profile class, a line break, then the
// profile's contents as one KV set in the text notation. Name and class are single words.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "s100/kvs/file_write.h"
#include "s100/kvs/notation.h"

namespace s100 {

struct ProfileFile {
    std::string name;
    std::string profileClass;
    KVSet contents;

    bool operator==(const ProfileFile& other) const = default;
};

// Whether text can be a profile name or class in a file: not empty, no white space, no NUL.
bool isProfileWord(std::string_view text);

std::optional<ProfileFile> parseProfileFile(std::string_view text, ParseError& error);
// CTerr_InvalidArgument when the name or the class is not a single word.
CTerror printProfileFile(const ProfileFile& profile, std::string& text);

// Reads and parses a file of at most kMaxNotationBytes. CTerr_FileOpen when it cannot be read,
// CTerr_BadProfileFile (message with line and column) when it is not a profile file.
std::optional<ProfileFile> readProfileFile(const std::filesystem::path& path, FileError& error);

enum class WriteMode {
    CreateNew,  // fail with CTerr_Exists when the file exists; never replaces it
    Replace,    // replace an existing file
};

// Writes the whole file or nothing (file_write.h): the target is either untouched or complete.
// CTerr_FileCreate when the file cannot be created, CTerr_FileWrite when writing fails,
// CTerr_Exists in CreateNew mode, CTerr_InvalidArgument for a bad name or class.
bool writeProfileFile(const std::filesystem::path& path, const ProfileFile& profile, WriteMode mode,
                      FileError& error);

}  // namespace s100

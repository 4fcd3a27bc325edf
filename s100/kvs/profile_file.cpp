#include "s100/kvs/profile_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files/filedescriptor.h"
#include "s100/kvs/text_cursor.h"

namespace s100 {
namespace {

using tlv::platform::FileDescriptor;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isLineBreak(char c) {
    return c == '\n' || c == '\r';
}
bool isWordChar(char c) {
    return c != '\0' && !isBlank(c) && !isLineBreak(c) && c != '\f' && c != '\v';
}

// Walks the header line, keeping the position for messages.
class HeaderReader final {
public:
    explicit HeaderReader(std::string_view text) : cursor_(text) {}

    // Blank lines before the name are allowed.
    void skipBlanksAndLines() {
        while (isBlank(cursor_.peek()) || isLineBreak(cursor_.peek())) {
            cursor_.advance();
        }
    }
    void skipBlanks() {
        while (isBlank(cursor_.peek())) {
            cursor_.advance();
        }
    }
    std::string word() {
        const size_t begin = cursor_.offset();
        while (isWordChar(cursor_.peek())) {
            cursor_.advance();
        }
        return std::string(cursor_.since(begin));
    }
    // "\n" or "\r\n".
    bool lineBreak() {
        if (cursor_.rest().starts_with("\r\n")) {
            cursor_.advance();
            cursor_.advance();
            return true;
        }
        if (cursor_.peek() == '\n') {
            cursor_.advance();
            return true;
        }
        return false;
    }

    TextPosition position() const { return cursor_.position(); }
    std::string_view rest() const { return cursor_.rest(); }

private:
    TextCursor cursor_;
};

std::nullopt_t failParse(ParseError& error, TextPosition at, std::string message) {
    error.position = at;
    error.message = std::move(message);
    return std::nullopt;
}

bool fail(FileError& error, CTerror code, std::string message) {
    error.code = code;
    error.message = std::move(message);
    return false;
}

std::string systemReason() {
    return std::strerror(errno);
}

// The whole file, at most kMaxNotationBytes.
bool readWhole(const std::filesystem::path& path, std::string& text, FileError& error) {
    const FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        return fail(error, CTerr_FileOpen, path.string() + ": " + systemReason());
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got == 0) {
            return true;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return fail(error, CTerr_FileOpen, path.string() + ": " + systemReason());
        }
        if (text.size() + static_cast<size_t>(got) > kMaxNotationBytes) {
            return fail(error, CTerr_BadProfileFile, path.string() + ": file too large");
        }
        text.append(buffer, static_cast<size_t>(got));
    }
}

}  // namespace

bool isProfileWord(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (!isWordChar(c)) {
            return false;
        }
    }
    return true;
}

std::optional<ProfileFile> parseProfileFile(std::string_view text, ParseError& error) {
    error = ParseError{};
    if (text.size() > kMaxNotationBytes) {
        return failParse(error, {}, "input too large");
    }
    HeaderReader header(text);
    ProfileFile profile;
    header.skipBlanksAndLines();
    profile.name = header.word();
    if (profile.name.empty()) {
        return failParse(error, header.position(), "expected the profile name");
    }
    header.skipBlanks();
    profile.profileClass = header.word();
    if (profile.profileClass.empty()) {
        return failParse(error, header.position(), "expected the profile class after the name");
    }
    header.skipBlanks();
    const TextPosition afterClass = header.position();
    if (!header.lineBreak()) {
        return failParse(error, afterClass, "expected a line break after the profile class");
    }
    std::optional<KVSet> contents = parseKVSet(header.rest(), error, header.position());
    if (!contents) {
        return std::nullopt;
    }
    profile.contents = std::move(*contents);
    return profile;
}

CTerror printProfileFile(const ProfileFile& profile, std::string& text) {
    if (!isProfileWord(profile.name) || !isProfileWord(profile.profileClass)) {
        return CTerr_InvalidArgument;
    }
    text = profile.name + ' ' + profile.profileClass + '\n' + printKVSet(profile.contents) + '\n';
    return CTerr_NoError;
}

std::optional<ProfileFile> readProfileFile(const std::filesystem::path& path, FileError& error) {
    error = FileError{};
    std::string text;
    if (!readWhole(path, text, error)) {
        return std::nullopt;
    }
    ParseError parseError;
    std::optional<ProfileFile> profile = parseProfileFile(text, parseError);
    if (!profile) {
        fail(error, CTerr_BadProfileFile, path.string() + ": " + parseError.text());
    }
    return profile;
}

bool writeProfileFile(const std::filesystem::path& path, const ProfileFile& profile, WriteMode mode,
                      FileError& error) {
    error = FileError{};
    std::string text;
    if (printProfileFile(profile, text) != CTerr_NoError) {
        return fail(error, CTerr_InvalidArgument,
                    "the profile name and class must be single words");
    }
    return mode == WriteMode::CreateNew ? writeNewFile(path, text, error)
                                        : replaceFile(path, text, error);
}

}  // namespace s100

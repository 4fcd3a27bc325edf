#include "s100/kvs/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace s100 {
namespace {

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
    explicit HeaderReader(std::string_view text) : text_(text) {}

    // Blank lines before the name are allowed.
    void skipBlanksAndLines() {
        while (offset_ < text_.size() && (isBlank(text_[offset_]) || isLineBreak(text_[offset_]))) {
            step();
        }
    }
    void skipBlanks() {
        while (offset_ < text_.size() && isBlank(text_[offset_])) {
            step();
        }
    }
    std::string word() {
        const size_t begin = offset_;
        while (offset_ < text_.size() && isWordChar(text_[offset_])) {
            step();
        }
        return std::string(text_.substr(begin, offset_ - begin));
    }
    // "\n" or "\r\n".
    bool lineBreak() {
        if (text_.substr(offset_).starts_with("\r\n")) {
            step();
            step();
            return true;
        }
        if (offset_ < text_.size() && text_[offset_] == '\n') {
            step();
            return true;
        }
        return false;
    }

    TextPosition position() const { return position_; }
    std::string_view rest() const { return text_.substr(offset_); }

private:
    void step() {
        if (text_[offset_] == '\n') {
            ++position_.line;
            position_.column = 1;
        } else {
            ++position_.column;
        }
        ++offset_;
    }

    std::string_view text_;
    size_t offset_ = 0;
    TextPosition position_;
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

// Owns one file descriptor.
class FileDescriptor final {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

// A file beside the target that is removed again unless it was moved into place.
class TemporaryFile final {
public:
    explicit TemporaryFile(const std::filesystem::path& target)
        : path_(target.string() + ".XXXXXX"), fd_(mkstemp(path_.data())), created_(fd_.get() >= 0) {
        if (created_) {
            fchmod(fd_.get(), 0644);  // a profile file, not a secret: mkstemp's 0600 is too tight
        }
    }
    ~TemporaryFile() {
        fd_.close();
        if (created_ && !kept_) {
            unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool created() const { return created_; }
    const std::string& path() const { return path_; }

    // Writes, flushes to disk and closes.
    bool writeAll(std::string_view data) {
        while (!data.empty()) {
            const ssize_t written = ::write(fd_.get(), data.data(), data.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                return false;
            }
            data.remove_prefix(static_cast<size_t>(written));
        }
        return fsync(fd_.get()) == 0 && fd_.close();
    }
    void keep() { kept_ = true; }

private:
    std::string path_;
    FileDescriptor fd_;
    bool created_;
    bool kept_ = false;
};

// The whole file, at most kMaxNotationBytes.
bool readWhole(const std::filesystem::path& path, std::string& text, FileError& error) {
    const FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        return fail(error, CTerr_FileOpen, path.string() + ": " + systemReason());
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
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
    TemporaryFile temporary(path);
    if (!temporary.created()) {
        return fail(error, CTerr_FileCreate, path.string() + ": " + systemReason());
    }
    if (!temporary.writeAll(text)) {
        return fail(error, CTerr_FileWrite, path.string() + ": " + systemReason());
    }
    // link() refuses an existing target atomically, where a check before rename() would race.
    if (mode == WriteMode::CreateNew) {
        if (link(temporary.path().c_str(), path.c_str()) != 0) {
            const CTerror code = errno == EEXIST ? CTerr_Exists : CTerr_FileCreate;
            return fail(error, code, path.string() + ": " + systemReason());
        }
        return true;  // the temporary name is removed on leaving
    }
    if (rename(temporary.path().c_str(), path.c_str()) != 0) {
        return fail(error, CTerr_FileCreate, path.string() + ": " + systemReason());
    }
    temporary.keep();
    return true;
}

}  // namespace s100

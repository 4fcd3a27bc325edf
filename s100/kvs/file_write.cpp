#include "s100/kvs/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files/filedescriptor.h"

namespace s100 {
namespace {

using tlv::platform::FileDescriptor;

constexpr mode_t kFileMode = 0644;  // a profile file, not a secret

bool fail(FileError& error, CTerror code, const std::filesystem::path& path, int reason) {
    error.code = code;
    error.message = path.string() + ": " + std::strerror(reason);
    return false;
}

// Writes everything, flushes it to disk and closes; errno tells why when it fails.
bool writeAndClose(FileDescriptor& fd, std::string_view data, const FileCalls& calls) {
    while (!data.empty()) {
        const ssize_t written = calls.write(fd.Get(), data.data(), data.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return false;
        }
        data.remove_prefix(static_cast<size_t>(written));
    }
    return fsync(fd.Get()) == 0 && fd.Close();
}

// A file beside the target that is removed again unless it was moved into place.
class TemporaryFile final {
public:
    explicit TemporaryFile(const std::filesystem::path& target)
        : path_(target.string() + ".XXXXXX"),
          fd_(mkostemp(path_.data(), O_CLOEXEC)),
          created_(fd_.Get() >= 0) {
        if (created_) {
            fchmod(fd_.Get(), kFileMode);  // mkstemp's 0600 is too tight; refused on FAT
        }
    }
    ~TemporaryFile() {
        fd_.Close();
        if (created_ && !kept_) {
            unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool created() const { return created_; }
    const char* path() const { return path_.c_str(); }
    bool write(std::string_view data, const FileCalls& calls) {
        return writeAndClose(fd_, data, calls);
    }
    void keep() { kept_ = true; }

private:
    std::string path_;
    FileDescriptor fd_;
    bool created_;
    bool kept_ = false;
};

// link() failing with these says that the file system has no hard links, not that this file
// cannot be named. (ENOTSUP is EOPNOTSUPP on Linux.)
bool linksRefused(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EXDEV ||
           error == EMLINK;
}

// renameat2() failing with these says that the file system cannot rename without replacing.
bool noReplaceRefused(int error) {
    return error == EINVAL || error == EOPNOTSUPP || error == ENOSYS;
}

// Creates the target itself, never replacing one, and writes it; removes it on any failure.
bool writeExclusively(const std::filesystem::path& path, std::string_view data, FileError& error,
                      const FileCalls& calls) {
    FileDescriptor fd(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kFileMode));
    if (fd.Get() < 0) {
        const int reason = errno;
        return fail(error, reason == EEXIST ? CTerr_Exists : CTerr_FileCreate, path, reason);
    }
    struct stat made {};
    if (fstat(fd.Get(), &made) != 0) {
        const int reason = errno;
        unlink(path.c_str());  // made by O_EXCL a moment ago, still empty
        return fail(error, CTerr_FileCreate, path, reason);
    }
    if (writeAndClose(fd, data, calls)) {
        return true;
    }
    const int reason = errno;
    // Only the file made here goes: another one may have taken the name in the meantime.
    struct stat now {};
    if (lstat(path.c_str(), &now) == 0 && now.st_dev == made.st_dev && now.st_ino == made.st_ino) {
        unlink(path.c_str());
    }
    return fail(error, CTerr_FileWrite, path, reason);
}

}  // namespace

int FileCalls::link(const char* from, const char* to) const {
    return ::link(from, to);
}

int FileCalls::renameNoReplace(const char* from, const char* to) const {
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

ssize_t FileCalls::write(int fd, const void* data, std::size_t count) const {
    return ::write(fd, data, count);
}

bool writeNewFile(const std::filesystem::path& path, std::string_view data, FileError& error,
                  const FileCalls& calls) {
    error = FileError{};
    TemporaryFile temporary(path);
    if (!temporary.created()) {
        return fail(error, CTerr_FileCreate, path, errno);
    }
    if (!temporary.write(data, calls)) {
        return fail(error, CTerr_FileWrite, path, errno);
    }
    if (calls.link(temporary.path(), path.c_str()) == 0) {
        return true;  // the temporary name goes on leaving
    }
    if (const int reason = errno; reason == EEXIST || !linksRefused(reason)) {
        return fail(error, reason == EEXIST ? CTerr_Exists : CTerr_FileCreate, path, reason);
    }
    if (calls.renameNoReplace(temporary.path(), path.c_str()) == 0) {
        temporary.keep();
        return true;
    }
    if (const int reason = errno; reason == EEXIST || !noReplaceRefused(reason)) {
        return fail(error, reason == EEXIST ? CTerr_Exists : CTerr_FileCreate, path, reason);
    }
    return writeExclusively(path, data, error, calls);
}

bool replaceFile(const std::filesystem::path& path, std::string_view data, FileError& error) {
    error = FileError{};
    const FileCalls calls;
    TemporaryFile temporary(path);
    if (!temporary.created()) {
        return fail(error, CTerr_FileCreate, path, errno);
    }
    if (!temporary.write(data, calls)) {
        return fail(error, CTerr_FileWrite, path, errno);
    }
    if (rename(temporary.path(), path.c_str()) != 0) {
        return fail(error, CTerr_FileCreate, path, errno);
    }
    temporary.keep();
    return true;
}

}  // namespace s100

#include "platform/process/pidfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <utility>

#include "platform/files/filedescriptor.h"
#include "platform/process/alive.h"

namespace tlv::platform {
namespace {

// A pid is at most 7 digits on Linux (pid_max <= 2^22); anything longer is not a pid file.
constexpr std::size_t kMaxPidFileSize = 16;

std::optional<pid_t> ParsePid(const char* text, std::size_t size) {
    std::size_t length = size;
    if (length > 0 && text[length - 1] == '\n')
        --length;
    long value = 0;
    const auto [end, error] = std::from_chars(text, text + length, value);
    if (length == 0 || error != std::errc{} || end != text + length || value <= 1)
        return std::nullopt;
    return static_cast<pid_t>(value);
}

// Whether some process holds a lock on the open file; empty when that cannot be told.
std::optional<bool> IsHeld(int fd) {
    if (flock(fd, LOCK_SH | LOCK_NB) == 0) {
        flock(fd, LOCK_UN);
        return false;
    }
    if (errno == EWOULDBLOCK)
        return true;
    return std::nullopt;
}

bool SameFile(int fd, const std::string& path) {
    struct stat held {};
    struct stat named {};
    return fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

bool IsOwnedBy(uid_t actual, uid_t expected) {
    return actual == expected || actual == 0;
}

PidFileReading Doubt(std::string why) {
    return {PidFileState::Doubtful, 0, std::move(why)};
}

PidFileReading ReadOpenPidFile(int fd, uid_t owner) {
    struct stat info {};
    if (fstat(fd, &info) != 0)
        return Doubt(std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return Doubt("not a plain file");
    if (!IsOwnedBy(info.st_uid, owner))
        return Doubt("owned by another user");
    const std::optional<bool> held = IsHeld(fd);
    if (!held)
        return Doubt("cannot tell whether it is held");
    if (!*held)
        return {PidFileState::Stale, 0, {}};
    std::array<char, kMaxPidFileSize + 1> text{};
    const ssize_t size = ::read(fd, text.data(), text.size());
    if (size <= 0 || static_cast<std::size_t>(size) > kMaxPidFileSize)
        return Doubt("held, but holds no process id");
    const std::optional<pid_t> pid = ParsePid(text.data(), static_cast<std::size_t>(size));
    if (!pid)
        return Doubt("held, but holds no process id");
    const std::optional<uid_t> processOwner = ProcessOwner(*pid);
    if (!processOwner)
        return Doubt("held, but names no running process");
    if (!IsOwnedBy(*processOwner, owner))
        return Doubt("names a process of another user");
    return {PidFileState::Live, *pid, {}};
}

}  // namespace

PidFileReading ReadPidFile(const std::string& path, uid_t owner) {
    // O_NONBLOCK: a FIFO put in the file's place must not hold the reader up.
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.Get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {PidFileState::Absent, 0, {}};
        return Doubt(errno == ELOOP ? "a symbolic link" : std::strerror(errno));
    }
    return ReadOpenPidFile(file.Get(), owner);
}

std::optional<pid_t> ReadLivePid(const std::string& path) {
    const PidFileReading reading = ReadPidFile(path, geteuid());
    if (reading.state != PidFileState::Live)
        return std::nullopt;
    return reading.pid;
}

PidFileWriter::~PidFileWriter() {
    Release();
}

void PidFileWriter::Release() {
    if (m_fd.Get() < 0)
        return;
    if (SameFile(m_fd.Get(), m_path))
        unlink(m_path.c_str());
    m_fd.Close();
}

bool PidFileWriter::Write(const std::string& path, std::string& message) {
    Release();
    const PidFileReading reading = ReadPidFile(path, geteuid());
    if (reading.state == PidFileState::Live) {
        message = path + " belongs to a running program";
        return false;
    }
    if (reading.state == PidFileState::Doubtful) {
        message = path + " is not a pid file that can be replaced: " + reading.why;
        return false;
    }
    // Written beside the target and renamed over it, locked before anyone can read it.
    std::string temporary = path + ".XXXXXX";
    FileDescriptor file(mkostemp(temporary.data(), O_CLOEXEC));
    if (file.Get() < 0) {
        message = path + ": " + std::strerror(errno);
        return false;
    }
    const std::string text = std::to_string(getpid()) + "\n";
    const bool written = fchmod(file.Get(), 0644) == 0 && flock(file.Get(), LOCK_EX) == 0 &&
                         ::write(file.Get(), text.data(), text.size()) ==
                             static_cast<ssize_t>(text.size()) &&
                         rename(temporary.c_str(), path.c_str()) == 0;
    if (!written) {
        message = path + ": " + std::strerror(errno);
        unlink(temporary.c_str());
        return false;
    }
    m_path = path;
    m_fd.Reset(file.Release());
    return true;
}

}  // namespace tlv::platform

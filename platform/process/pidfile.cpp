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

#include "platform/process/alive.h"

namespace tlv::platform {
namespace {

// A pid is at most 7 digits on Linux (pid_max <= 2^22); anything longer is not a pid file.
constexpr std::size_t kMaxPidFileSize = 16;

class FileDescriptor final {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

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

// Whether some process holds a lock on the open file.
bool IsHeld(int fd) {
    if (flock(fd, LOCK_SH | LOCK_NB) == 0) {
        flock(fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

bool SameFile(int fd, const std::string& path) {
    struct stat held {};
    struct stat named {};
    return fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace

PidFileWriter::~PidFileWriter() {
    Release();
}

void PidFileWriter::Release() {
    if (m_fd < 0)
        return;
    if (SameFile(m_fd, m_path))
        unlink(m_path.c_str());
    close(m_fd);
    m_fd = -1;
}

bool PidFileWriter::Write(const std::string& path, std::string& message) {
    Release();
    if (ReadLivePid(path)) {
        message = path + " belongs to a running program";
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
    m_fd = file.Release();
    return true;
}

std::optional<pid_t> ReadLivePid(const std::string& path) {
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (file.Get() < 0 || !IsHeld(file.Get()))
        return std::nullopt;
    std::array<char, kMaxPidFileSize + 1> text{};
    const ssize_t size = ::read(file.Get(), text.data(), text.size());
    if (size <= 0 || static_cast<std::size_t>(size) > kMaxPidFileSize)
        return std::nullopt;
    const std::optional<pid_t> pid = ParsePid(text.data(), static_cast<std::size_t>(size));
    if (!pid || !IsProcessAlive(*pid))
        return std::nullopt;
    return pid;
}

}  // namespace tlv::platform

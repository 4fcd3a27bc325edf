#include "platform/version/filesource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileByteSource::FileByteSource(const std::string& path) {
    // Only a regular file is read: opening a FIFO waits for a writer that may never come, and
    // opening a device can act on it. The check before opening keeps devices shut; O_NONBLOCK
    // and the check after it cover an entry replaced in between. Links are followed, since
    // installed libraries are usually reached through one.
    struct stat facts {};
    if (stat(path.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode))
        return;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return;
    std::unique_ptr<std::FILE, Closer> file(fdopen(fd, "rb"));
    if (file == nullptr) {
        close(fd);
        return;
    }
    if (fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode))
        return;
    m_size = static_cast<std::uint64_t>(facts.st_size);
    m_file = std::move(file);
}

bool FileByteSource::Read(std::uint64_t offset, void* out, std::size_t count) const {
    if (!m_file || offset > m_size || count > m_size - offset)
        return false;
    if (fseeko(m_file.get(), static_cast<off_t>(offset), SEEK_SET) != 0)
        return false;
    return std::fread(out, 1, count, m_file.get()) == count;
}

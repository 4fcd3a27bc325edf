#include "platform/version/filesource.h"

#include <sys/stat.h>

FileByteSource::FileByteSource(const std::string& path) {
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    struct stat facts {};
    // A folder or a device opens too; only a regular file has a size to check reads against.
    if (file == nullptr || fstat(fileno(file.get()), &facts) != 0 || !S_ISREG(facts.st_mode))
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

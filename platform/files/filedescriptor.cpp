#include "platform/files/filedescriptor.h"

#include <unistd.h>

#include <utility>

namespace tlv::platform {

FileDescriptor::~FileDescriptor() {
    Close();
}

void FileDescriptor::Reset(int fd) {
    Close();
    m_fd = fd;
}

int FileDescriptor::Release() {
    return std::exchange(m_fd, -1);
}

bool FileDescriptor::Close() {
    const int fd = Release();
    return fd < 0 || ::close(fd) == 0;
}

}  // namespace tlv::platform

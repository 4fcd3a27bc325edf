#pragma once
// FileDescriptor: owns one open file descriptor and closes it on every way out.

namespace tlv::platform {

class FileDescriptor final {
public:
    // Adopts the descriptor; a negative one (a failed open) holds nothing.
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return m_fd; }
    // Closes what it holds and adopts the descriptor instead.
    void Reset(int fd);
    // Hands the descriptor over without closing it.
    int Release();
    // Closes now; false when closing reported an error (a write that never reached the disk).
    bool Close();

private:
    int m_fd;
};

}  // namespace tlv::platform

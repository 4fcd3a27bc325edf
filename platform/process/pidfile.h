#pragma once
// Pid files: how a running program tells others its process id. The writer holds an exclusive
// lock on the file for as long as it runs, so a file left behind by a killed program reads as
// stale, even when its number has since been given to another process.

#include <sys/types.h>

#include <optional>
#include <string>

namespace tlv::platform {

class PidFileWriter final {
public:
    PidFileWriter() = default;
    // Removes the file, if it is still the one this writer wrote.
    ~PidFileWriter();
    PidFileWriter(const PidFileWriter&) = delete;
    PidFileWriter& operator=(const PidFileWriter&) = delete;

    // Writes this process's id and a line break into the file, replacing it at once (never a
    // half-written file). Refused, with a message, while another running program holds it.
    bool Write(const std::string& path, std::string& message);

private:
    void Release();

    std::string m_path;
    int m_fd = -1;
};

// The process id in the file while the program that wrote it runs and holds it; empty when the
// file is missing, stale, unreadable or not a plain positive number.
std::optional<pid_t> ReadLivePid(const std::string& path);

}  // namespace tlv::platform

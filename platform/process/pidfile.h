#pragma once
// Pid files: how a running program tells others its process id. The writer holds an exclusive
// lock on the file for as long as it runs, so a file left behind by a killed program reads as
// stale, even when its number has since been given to another process.
//
// A pid file is a place anyone may have put something: it is opened without blocking and
// without following a link, and only a plain file of the expected owner counts. Whatever cannot
// be told for sure is "doubtful", never "not running", so a caller never takes a running
// program for stopped nor signals a process someone else named.

#include <sys/types.h>

#include <optional>
#include <string>

#include "platform/files/filedescriptor.h"

namespace tlv::platform {

class PidFileWriter final {
public:
    PidFileWriter() = default;
    // Removes the file, if it is still the one this writer wrote.
    ~PidFileWriter();
    PidFileWriter(const PidFileWriter&) = delete;
    PidFileWriter& operator=(const PidFileWriter&) = delete;

    // Writes this process's id and a line break into the file, replacing it at once (never a
    // half-written file). Refused, with a message, while another running program holds it or
    // when what is there is not a pid file of this user's or root's.
    bool Write(const std::string& path, std::string& message);

private:
    void Release();

    std::string m_path;
    FileDescriptor m_fd{-1};
};

enum class PidFileState {
    Absent,     // no file (or no folder): nothing runs
    Stale,      // a file nobody holds: left behind by a program that ended
    Live,       // held by a running program of the expected owner; pid is its number
    Doubtful,   // anything else: not readable, not a plain file, a link, another owner's,
                // held but not naming a live process of the expected owner
};

struct PidFileReading {
    PidFileState state = PidFileState::Absent;
    pid_t pid = 0;    // for Live only
    std::string why;  // for Doubtful: what was wrong, for a message
};

// Reads the pid file; the file and the process it names must belong to owner or root.
PidFileReading ReadPidFile(const std::string& path, uid_t owner);

// The process id in the file while a program of this user or root that wrote it runs and holds
// it; empty otherwise, doubtful files included.
std::optional<pid_t> ReadLivePid(const std::string& path);

}  // namespace tlv::platform

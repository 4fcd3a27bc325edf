#pragma once
// Writing a whole file so that no reader ever sees a part of it and, for a new file, so that an
// existing one is never replaced.
//
// A new file is written to a temporary file beside the target, flushed to disk, and given the
// target's name by link(), which refuses an existing name atomically. File systems without
// hard links (FAT and exFAT sticks, many network shares) refuse link(); there
// renameat2(RENAME_NOREPLACE) gives the same guarantee where the file system offers it (the
// kernel's FAT and exFAT do). Where that is refused too (FUSE and network file systems, older
// kernels), the target is created under its own name with O_CREAT|O_EXCL, which never
// replaces, then written and flushed, and removed again on any failure: only a crash while it
// is written can leave a part of it there.

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "s100/s100.h"

namespace s100 {

struct FileError {
    CTerror code = CTerr_NoError;  // CTerr_FileOpen, CTerr_BadProfileFile, CTerr_Exists, ...
    std::string message;
};

// The system calls that write a file and give it its name. Tests replace them to play a file
// system that refuses links or a disk that fails; each sets errno as the real call does.
class FileCalls {
public:
    virtual ~FileCalls() = default;
    virtual int link(const char* from, const char* to) const;
    // renameat2 with RENAME_NOREPLACE.
    virtual int renameNoReplace(const char* from, const char* to) const;
    virtual ssize_t write(int fd, const void* data, std::size_t count) const;
};

// Writes a new file; never replaces one. CTerr_Exists when the name is taken, CTerr_FileCreate
// when the file cannot be created or named, CTerr_FileWrite when writing fails; the message
// names the path and the reason. Nothing is left behind on failure.
bool writeNewFile(const std::filesystem::path& path, std::string_view data, FileError& error,
                  const FileCalls& calls = FileCalls());

// Writes the file, replacing one of that name in one step: readers see the old or the new.
bool replaceFile(const std::filesystem::path& path, std::string_view data, FileError& error);

}  // namespace s100

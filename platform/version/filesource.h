#pragma once
// A file opened for reading as a ByteSource; reads only the parts asked for.

#include <cstdio>
#include <memory>
#include <string>

#include "platform/version/elfnote.h"

class FileByteSource final : public ByteSource {
public:
    // IsOpen() tells whether the path names a regular file (through links) that could be
    // opened; nothing else is opened or waited for.
    explicit FileByteSource(const std::string& path);

    bool IsOpen() const { return m_file != nullptr; }
    std::uint64_t Size() const override { return m_size; }
    bool Read(std::uint64_t offset, void* out, std::size_t count) const override;

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> m_file;
    std::uint64_t m_size = 0;
};

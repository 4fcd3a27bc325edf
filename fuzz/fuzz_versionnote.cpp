// Reads arbitrary bytes as a program file's version note. Whatever is found must lie within the
// input and within the descriptor limit; the lookup over it must stay inside the block.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "platform/version/elfnote.h"
#include "platform/version/verapi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const SpanByteSource file(std::span<const unsigned char>(data, size));
    std::string desc;
    const VersionNoteStatus status = FindVersionNote(file, desc);
    if (status != VersionNoteStatus::Found) {
        if (!desc.empty())
            std::abort();
        return 0;
    }
    if (desc.size() > kMaxVersionNoteBytes || desc.size() > size)
        std::abort();
    // The block as GetFileVersionInfoA lays it out: its length, then the descriptor.
    std::vector<unsigned char> block(4 + desc.size());
    const auto total = static_cast<std::uint32_t>(block.size());
    for (int i = 0; i < 4; ++i)
        block[i] = static_cast<unsigned char>(total >> (8 * i));
    std::memcpy(block.data() + 4, desc.data(), desc.size());
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\StringFileInfo\\040904b0\\ProductVersion", &value,
                       &length)) {
        const auto* text = static_cast<const unsigned char*>(value);
        if (text < block.data() || text + length > block.data() + block.size() ||
            text[length - 1] != '\0')
            std::abort();
    }
    return 0;
}

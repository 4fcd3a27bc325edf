#include "platform/version/verapi.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/text/nocase.h"
#include "platform/version/elfnote.h"
#include "platform/version/filesource.h"

namespace {

constexpr DWORD kLengthBytes = 4;

bool ReadVersionNote(LPCSTR fileName, std::string& desc) {
    if (fileName == nullptr)
        return false;
    const FileByteSource file(fileName);
    return file.IsOpen() && FindVersionNote(file, desc) == VersionNoteStatus::Found;
}

// The next NUL-terminated text of the block from at; false when no NUL ends it in the block.
bool NextText(std::string_view block, std::size_t& at, std::string_view& text) {
    const std::size_t end = block.find('\0', at);
    if (end == std::string_view::npos)
        return false;
    text = block.substr(at, end - at);
    at = end + 1;
    return true;
}

}  // namespace

DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle) {
    if (handle != nullptr)
        *handle = 0;
    std::string desc;
    if (!ReadVersionNote(fileName, desc) || desc.empty())
        return 0;
    return kLengthBytes + static_cast<DWORD>(desc.size());
}

BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD /*handle*/, DWORD size, LPVOID data) {
    std::string desc;
    if (data == nullptr || size < kLengthBytes || !ReadVersionNote(fileName, desc) ||
        desc.empty() || desc.size() > size - kLengthBytes)
        return 0;
    const auto total = static_cast<DWORD>(kLengthBytes + desc.size());
    auto* out = static_cast<unsigned char*>(data);
    for (DWORD i = 0; i < kLengthBytes; ++i)
        out[i] = static_cast<unsigned char>(total >> (8 * i));
    std::copy(desc.begin(), desc.end(), out + kLengthBytes);
    return 1;
}

BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, UINT* length) {
    if (block == nullptr || subBlock == nullptr || buffer == nullptr || length == nullptr)
        return 0;
    const auto* bytes = static_cast<const unsigned char*>(block);
    DWORD total = 0;
    for (DWORD i = 0; i < kLengthBytes; ++i)
        total |= static_cast<DWORD>(bytes[i]) << (8 * i);
    if (total < kLengthBytes)
        return 0;
    const std::string_view pairs(reinterpret_cast<const char*>(bytes) + kLengthBytes,
                                 total - kLengthBytes);
    std::size_t at = 0;
    std::string_view path;
    std::string_view value;
    while (NextText(pairs, at, path) && !path.empty() && NextText(pairs, at, value)) {
        if (EqualNoCase(path, subBlock)) {
            *buffer = const_cast<char*>(value.data());
            *length = static_cast<UINT>(value.size() + 1);
            return 1;
        }
    }
    return 0;
}

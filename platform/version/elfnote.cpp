#include "platform/version/elfnote.h"

#include <array>
#include <cstring>

#include "platform/version/versionnote.h"

namespace {

constexpr std::size_t kIdentBytes = 16;
constexpr unsigned char kElfClass32 = 1;
constexpr unsigned char kElfClass64 = 2;
constexpr unsigned char kElfDataLittle = 1;
constexpr unsigned char kElfDataBig = 2;
constexpr std::uint32_t kSectionTypeNote = 7;
constexpr std::uint64_t kNoteHeaderBytes = 12;

// The shape of one ELF class: where the fields this reader needs lie.
struct ElfLayout {
    std::size_t headerBytes;         // e_ehsize at least
    std::size_t sectionOffsetAt;     // e_shoff
    std::size_t wordBytes;           // 4 or 8: addresses, offsets and sizes
    std::size_t sectionEntryAt;      // e_shentsize
    std::size_t sectionCountAt;      // e_shnum
    std::size_t sectionHeaderBytes;  // the least e_shentsize that holds the fields below
    std::size_t typeAt;              // sh_type
    std::size_t fileOffsetAt;        // sh_offset
    std::size_t sizeAt;              // sh_size
    std::size_t alignAt;             // sh_addralign
};

constexpr ElfLayout kElf32{52, 32, 4, 46, 48, 40, 4, 16, 20, 32};
constexpr ElfLayout kElf64{64, 40, 8, 58, 60, 64, 4, 24, 32, 48};

class FieldReader {
public:
    explicit FieldReader(bool bigEndian) : m_bBigEndian(bigEndian) {}

    std::uint64_t Unsigned(const unsigned char* bytes, std::size_t width) const {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i) {
            const std::size_t at = m_bBigEndian ? i : width - 1 - i;
            value = (value << 8) | bytes[at];
        }
        return value;
    }

private:
    bool m_bBigEndian;
};

struct NoteSection {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t align = 4;
};

std::uint64_t RoundUp(std::uint64_t value, std::uint64_t align) {
    return (value + align - 1) / align * align;
}

bool FitsIn(std::uint64_t offset, std::uint64_t count, std::uint64_t size) {
    return offset <= size && count <= size - offset;
}

// Walks the notes of one section; Found fills desc.
VersionNoteStatus SearchNotes(const ByteSource& file, const FieldReader& field,
                              const NoteSection& section, std::string& desc) {
    if (section.size > kMaxNoteSectionBytes || !FitsIn(section.offset, section.size, file.Size()))
        return VersionNoteStatus::Malformed;
    std::string bytes(section.size, '\0');
    if (!file.Read(section.offset, bytes.data(), bytes.size()))
        return VersionNoteStatus::Malformed;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::uint64_t at = 0;
    while (at + kNoteHeaderBytes <= section.size) {
        const std::uint64_t nameSize = field.Unsigned(data + at, 4);
        const std::uint64_t descSize = field.Unsigned(data + at + 4, 4);
        const std::uint64_t type = field.Unsigned(data + at + 8, 4);
        // Name and descriptor start on the section's alignment, counted from its start.
        const std::uint64_t nameAt = at + kNoteHeaderBytes;
        const std::uint64_t descAt = RoundUp(nameAt + nameSize, section.align);
        if (!FitsIn(nameAt, nameSize, section.size) || !FitsIn(descAt, descSize, section.size))
            return VersionNoteStatus::Malformed;
        const bool ours = nameSize == sizeof(kVersionNoteOwner) && type == kVersionNoteType &&
                          std::memcmp(data + nameAt, kVersionNoteOwner, nameSize) == 0;
        if (ours) {
            if (descSize > kMaxVersionNoteBytes)
                return VersionNoteStatus::Malformed;
            desc.assign(bytes, descAt, descSize);
            return VersionNoteStatus::Found;
        }
        at = RoundUp(descAt + descSize, section.align);
    }
    return VersionNoteStatus::NotFound;
}

}  // namespace

bool SpanByteSource::Read(std::uint64_t offset, void* out, std::size_t count) const {
    if (!FitsIn(offset, count, m_bytes.size()))
        return false;
    if (count > 0)
        std::memcpy(out, m_bytes.data() + offset, count);
    return true;
}

VersionNoteStatus FindVersionNote(const ByteSource& file, std::string& desc) {
    desc.clear();
    std::array<unsigned char, 64> header{};
    if (file.Size() < kIdentBytes || !file.Read(0, header.data(), kIdentBytes) ||
        std::memcmp(header.data(),
                    "\x7f"
                    "ELF",
                    4) != 0)
        return VersionNoteStatus::NotFound;
    const unsigned char elfClass = header[4];
    const unsigned char byteOrder = header[5];
    if ((elfClass != kElfClass32 && elfClass != kElfClass64) ||
        (byteOrder != kElfDataLittle && byteOrder != kElfDataBig))
        return VersionNoteStatus::Malformed;
    const ElfLayout& layout = elfClass == kElfClass64 ? kElf64 : kElf32;
    const FieldReader field(byteOrder == kElfDataBig);
    if (!file.Read(0, header.data(), layout.headerBytes))
        return VersionNoteStatus::Malformed;

    const std::uint64_t tableAt = field.Unsigned(&header[layout.sectionOffsetAt], layout.wordBytes);
    const std::uint64_t entryBytes = field.Unsigned(&header[layout.sectionEntryAt], 2);
    const std::uint64_t count = field.Unsigned(&header[layout.sectionCountAt], 2);
    if (count == 0)
        return VersionNoteStatus::NotFound;  // no section headers: nothing names a note
    if (count > kMaxElfSections || entryBytes < layout.sectionHeaderBytes ||
        !FitsIn(tableAt, count * entryBytes, file.Size()))
        return VersionNoteStatus::Malformed;

    // A damaged note section of someone else's does not hide ours in a later one.
    VersionNoteStatus outcome = VersionNoteStatus::NotFound;
    std::array<unsigned char, 64> entry{};
    for (std::uint64_t index = 0; index < count; ++index) {
        if (!file.Read(tableAt + index * entryBytes, entry.data(), layout.sectionHeaderBytes))
            return VersionNoteStatus::Malformed;
        if (field.Unsigned(&entry[layout.typeAt], 4) != kSectionTypeNote)
            continue;
        NoteSection section;
        section.offset = field.Unsigned(&entry[layout.fileOffsetAt], layout.wordBytes);
        section.size = field.Unsigned(&entry[layout.sizeAt], layout.wordBytes);
        // Notes are padded to four bytes, or to eight in sections aligned so (GNU properties).
        section.align = field.Unsigned(&entry[layout.alignAt], layout.wordBytes) == 8 ? 8 : 4;
        const VersionNoteStatus status = SearchNotes(file, field, section, desc);
        if (status == VersionNoteStatus::Found)
            return status;
        if (status == VersionNoteStatus::Malformed)
            outcome = status;
    }
    desc.clear();
    return outcome;
}

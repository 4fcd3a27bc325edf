// The version note found in the real programs, and damaged files that must neither crash the
// reader nor yield a version.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/version/elfnote.h"
#include "platform/version/filesource.h"
#include "platform/version/projectversion.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

VersionNoteStatus Find(const Bytes& bytes, std::string& desc) {
    return FindVersionNote(SpanByteSource(bytes), desc);
}

std::string Expected() {
    return std::string("\\StringFileInfo\\040904b0\\ProductVersion\0", 40) + kProjectVersion;
}

// Little-endian writes into a hand-made file.
void Put(Bytes& bytes, std::size_t at, std::uint64_t value, std::size_t width, bool big) {
    for (std::size_t i = 0; i < width; ++i) {
        const std::size_t shift = 8 * (big ? width - 1 - i : i);
        bytes[at + i] = static_cast<unsigned char>(value >> shift);
    }
}

// A 32-bit big-endian ELF file: header, one note section holding a build-id-like note and ours.
Bytes BigEndianElf32(const std::string& desc) {
    Bytes notes(12 + 4 + 4, 0);  // a foreign note: owner "GNU", 4 bytes
    Put(notes, 0, 4, 4, true);
    Put(notes, 4, 4, 4, true);
    Put(notes, 8, 3, 4, true);
    std::memcpy(&notes[12], "GNU", 4);
    const std::size_t ours = notes.size();
    notes.resize(ours + 12 + 12 + ((desc.size() + 3) & ~std::size_t{3}), 0);
    Put(notes, ours, 9, 4, true);
    Put(notes, ours + 4, desc.size(), 4, true);
    Put(notes, ours + 8, 1, 4, true);
    std::memcpy(&notes[ours + 12], "Kestrova", 9);
    std::memcpy(&notes[ours + 24], desc.data(), desc.size());

    Bytes file(52, 0);
    std::memcpy(file.data(),
                "\x7f"
                "ELF\x01\x02\x01",
                7);
    const std::size_t notesAt = file.size();
    file.insert(file.end(), notes.begin(), notes.end());
    const std::size_t tableAt = file.size();
    file.resize(tableAt + 2 * 40, 0);  // a null section, then the note section
    Put(file, 32, tableAt, 4, true);
    Put(file, 46, 40, 2, true);
    Put(file, 48, 2, 2, true);
    Put(file, tableAt + 40 + 4, 7, 4, true);
    Put(file, tableAt + 40 + 16, notesAt, 4, true);
    Put(file, tableAt + 40 + 20, notes.size(), 4, true);
    Put(file, tableAt + 40 + 32, 4, 4, true);
    return file;
}

TEST(VersionNote, EveryBuiltProgramCarriesTheProjectVersion) {
    for (const char* program : {TLV_TLVREG, TLV_TLVSD, TLV_TLVADMIN}) {
        const FileByteSource file(program);
        ASSERT_TRUE(file.IsOpen()) << program;
        std::string desc;
        ASSERT_EQ(FindVersionNote(file, desc), VersionNoteStatus::Found) << program;
        EXPECT_EQ(desc.substr(0, Expected().size()), Expected()) << program;
    }
}

TEST(VersionNote, FilesWithoutOneAreNotFound) {
    std::string desc = "left over";
    // This test program is built without the stamp; a text file is no ELF file at all.
    EXPECT_EQ(FindVersionNote(FileByteSource("/proc/self/exe"), desc), VersionNoteStatus::NotFound);
    EXPECT_TRUE(desc.empty());
    const Bytes text{'#', '!', '/', 'b', 'i', 'n', '/', 's', 'h', '\n'};
    EXPECT_EQ(Find(text, desc), VersionNoteStatus::NotFound);
    EXPECT_EQ(Find({}, desc), VersionNoteStatus::NotFound);
    EXPECT_FALSE(FileByteSource("/nonexistent/tlvreg").IsOpen());
    EXPECT_FALSE(FileByteSource("/tmp").IsOpen());
}

TEST(VersionNote, OtherWordSizeAndByteOrderAfterAForeignNote) {
    std::string desc;
    const std::string wanted(
        "\\StringFileInfo\\040904b0\\ProductVersion\0"
        "3.4\0",
        44);
    EXPECT_EQ(Find(BigEndianElf32(wanted), desc), VersionNoteStatus::Found);
    EXPECT_EQ(desc, wanted);
}

TEST(VersionNote, DamagedFilesAreRefusedWithoutReadingOutside) {
    const Bytes program = ReadAll(TLV_TLVREG);
    ASSERT_GT(program.size(), 4096u);
    std::string desc;

    // Cut short: the section table at the end is gone.
    const Bytes truncated(program.begin(), program.begin() + static_cast<long>(program.size() / 2));
    EXPECT_EQ(Find(truncated, desc), VersionNoteStatus::Malformed);
    EXPECT_TRUE(desc.empty());

    // A section table announced far beyond the end of the file.
    Bytes farTable = program;
    Put(farTable, 40, ~std::uint64_t{0} - 8, 8, false);
    EXPECT_EQ(Find(farTable, desc), VersionNoteStatus::Malformed);

    // Too many sections to be ours, and section entries too small for their fields.
    Bytes manySections = program;
    Put(manySections, 60, 0xffff, 2, false);
    EXPECT_EQ(Find(manySections, desc), VersionNoteStatus::Malformed);
    Bytes tinyEntries = program;
    Put(tinyEntries, 58, 8, 2, false);
    EXPECT_EQ(Find(tinyEntries, desc), VersionNoteStatus::Malformed);

    // An unknown class or byte order.
    Bytes badClass = program;
    badClass[4] = 9;
    EXPECT_EQ(Find(badClass, desc), VersionNoteStatus::Malformed);

    // Our note's descriptor length running past its section.
    Bytes longDesc =
        BigEndianElf32(std::string("\\StringFileInfo\\040904b0\\ProductVersion\0"
                                   "1\0",
                                   42));
    Put(longDesc, 52 + 20 + 4, 0x7fffffff, 4, true);
    EXPECT_EQ(Find(longDesc, desc), VersionNoteStatus::Malformed);
    EXPECT_TRUE(desc.empty());
}

}  // namespace

namespace {

TEST(VersionNote, FuzzSeedsReadAsTheirNamesSay) {
    const std::string seeds = TLV_SOURCE_DIR "/fuzz/seeds/fuzz_versionnote/";
    const std::pair<const char*, VersionNoteStatus> expected[] = {
        {"elf64_version.bin", VersionNoteStatus::Found},
        {"elf32be_version.bin", VersionNoteStatus::Found},
        {"elf64_foreign_only.bin", VersionNoteStatus::NotFound},
        {"not_elf.bin", VersionNoteStatus::NotFound},
        {"elf64_truncated.bin", VersionNoteStatus::Malformed}};
    for (const auto& [name, status] : expected) {
        const FileByteSource file(seeds + name);
        ASSERT_TRUE(file.IsOpen()) << name;
        std::string desc;
        EXPECT_EQ(FindVersionNote(file, desc), status) << name;
        if (status == VersionNoteStatus::Found) {
            EXPECT_EQ(desc.substr(0, 45), std::string("\\StringFileInfo\\040904b0\\ProductVersion\0"
                                                      "0.1.0",
                                                      45))
                << name;
        }
    }
}

}  // namespace

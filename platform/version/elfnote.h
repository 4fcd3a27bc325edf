#pragma once
// Finds the version note (platform/version/versionnote.h) in an ELF file: 32 or 64 bit, either
// byte order. The file is outside input: every offset, count and length is checked against the
// file's size and the limits below before a byte is read, and the whole file is never loaded.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

// Random access to the bytes of a file (or of a buffer, for tests and the fuzzer).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies count bytes at offset; false when they are not all there or cannot be read.
    virtual bool Read(std::uint64_t offset, void* out, std::size_t count) const = 0;

protected:
    ByteSource() = default;
    ByteSource(const ByteSource&) = default;
    ByteSource& operator=(const ByteSource&) = default;
};

class SpanByteSource final : public ByteSource {
public:
    explicit SpanByteSource(std::span<const unsigned char> bytes) : m_bytes(bytes) {}
    std::uint64_t Size() const override { return m_bytes.size(); }
    bool Read(std::uint64_t offset, void* out, std::size_t count) const override;

private:
    std::span<const unsigned char> m_bytes;
};

// Section headers looked at. Programs have a few dozen; a file announcing more is not ours.
inline constexpr std::size_t kMaxElfSections = 4096;
// Size of one note section walked. Ours is under 200 bytes; build-id and ABI notes are tiny.
inline constexpr std::uint64_t kMaxNoteSectionBytes = 64 * 1024;
// Size of the version descriptor taken out.
inline constexpr std::uint32_t kMaxVersionNoteBytes = 16 * 1024;

enum class VersionNoteStatus {
    Found,     // the descriptor was taken out
    NotFound,  // a well-formed file (ELF or not) without a version note
    Malformed  // an ELF file whose headers or notes break their own bounds
};

// Looks through the note sections for the first note of owner "Kestrova", type 1, and copies
// its descriptor into desc (left empty unless Found). A note section that breaks its bounds is
// passed over; the result is Malformed only when no version was found after it.
VersionNoteStatus FindVersionNote(const ByteSource& file, std::string& desc);

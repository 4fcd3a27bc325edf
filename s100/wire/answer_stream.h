#pragma once
// Answers in parts taken one part at a time (answer_parts.h describes the parts). Where
// AnswerAssembler gathers the parts into one answer, AnswerStream only checks that each part
// continues the answer and bounds the whole, so its receiver can use each part and let it go:
// what it keeps is the first part's envelope and keys without their elements, and the counts.
//
// Pure, like the assembler: it never touches a socket.

#include <cstddef>

#include "s100/proto/admin.pb.h"
#include "s100/wire/answer_parts.h"
#include "s100/wire/frame.h"

namespace tlv::wire {

class AnswerStream final {
public:
    explicit AnswerStream(std::size_t maxBytes = kMaxAnswerBytes) : m_maxBytes(maxBytes) {}

    // Checks the next received Response, whose encoding took frameBytes, as AnswerAssembler::add
    // does: NeedMore or Complete when the part is good (the caller may use it), Invalid when the
    // stream is unusable. The part itself is not kept.
    PartStatus check(const Response& part, std::size_t frameBytes);

private:
    bool continues(const Response& part, std::size_t length) const;

    std::size_t m_maxBytes;
    std::size_t m_bytes = 0;
    std::size_t m_parts = 0;
    std::size_t m_elements = 0;  // elements of each array so far
    Response m_envelope;         // the first part, its arrays emptied
};

}  // namespace tlv::wire

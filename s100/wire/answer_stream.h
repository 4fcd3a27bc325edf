#pragma once
// The receiving side's rules for answers in parts (answer_parts.h describes the parts): each part
// must continue the answer, and the whole stays bounded. AnswerStream checks the parts one at a
// time and keeps only the first part's envelope and keys without their elements, and the counts,
// so a receiver may use each part and let it go; AnswerAssembler builds on it to gather them.
//
// Pure: it never touches a socket.

#include <cstddef>
#include <vector>

#include "s100/proto/admin.pb.h"
#include "s100/wire/frame.h"

namespace tlv::wire {

enum class PartStatus {
    Complete,  // the answer is whole
    NeedMore,  // another part follows
    Invalid    // the part does not continue the answer: the stream is unusable
};

// Whether response is a list answer: successful, its result holding only arrays, each in one
// form (packed or element by element), all of the same non-zero length, which goes to length.
bool isListAnswer(const Response& response, std::size_t& length);

// A part of answer without elements: its id, outcome, generation and level, and its keys with
// their element types; the sender fills it with a run of elements, the receiver keeps it to
// check the parts that follow.
Response emptyPartOf(const Response& answer);

class AnswerStream final {
public:
    explicit AnswerStream(std::size_t maxBytes = kMaxAnswerBytes) : m_maxBytes(maxBytes) {}

    // Checks the next received Response, whose encoding took frameBytes. The first must carry
    // the awaited id; each later part must have the first one's id, outcome, generation, keys
    // with their element types and forms, arrays of one length and at least one element; the
    // parts together stay within maxBytes and CT_MAX_ELEMENTS elements per array. The part
    // itself is not kept.
    PartStatus check(const Response& part, std::size_t frameBytes);

    // The elements of each array in the part check last accepted.
    std::size_t lastLength() const { return m_lastLength; }

private:
    bool continues(const Response& part, std::size_t length) const;

    std::size_t m_maxBytes;
    std::size_t m_bytes = 0;
    std::size_t m_parts = 0;
    std::size_t m_elements = 0;    // elements of each array so far
    std::size_t m_lastLength = 0;
    Response m_envelope;           // the first part, its arrays emptied
    std::vector<bool> m_packed;    // per array of the first part: its strings come packed
};

}  // namespace tlv::wire

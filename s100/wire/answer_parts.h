#pragma once
// Answers in parts. A list answer is a Response whose result holds only arrays of one length,
// element i of each describing the same listed object. One whose encoding exceeds
// kAnswerPartBytes travels as several Responses with the same id, each holding a run of the
// elements under the same keys, in order; every part but the last has more = true. The
// receiver appends each part's arrays to what it holds.
//
// Both sides are pure: the sender takes out one part at a time, the receiver checks each part
// against the first and bounds the whole; neither touches a socket.

#include <cstddef>
#include <memory>
#include <vector>

#include "s100/proto/admin.pb.h"
#include "s100/wire/answer_stream.h"
#include "s100/wire/frame.h"

namespace tlv::wire {

// Where a run of elements begins or ends in the arrays of a list answer: the element index, and
// for each packed string array the byte offset of that element.
struct RunEdge {
    std::size_t element = 0;
    std::vector<std::size_t> packedByte;  // one per pair of the result
};

// Cuts the parts of one answer out of a copy of them each, one at a time, leaving the answer as
// it is: it may be shared between the clients it goes to. Only one part exists besides it.
class AnswerSplitter final {
public:
    explicit AnswerSplitter(std::shared_ptr<const Response> whole,
                            std::size_t partBytes = kAnswerPartBytes);

    // Puts the next part into part; false when every part was taken. An answer that is small
    // or not a list answer is one part: itself.
    bool next(Response& part);

private:
    bool m_splittable = false;
    bool m_done = false;
    std::size_t m_partBytes;
    RunEdge m_taken;  // where the elements not yet sent begin
    std::size_t m_length = 0;  // elements of each array
    std::shared_ptr<const Response> m_whole;
};

// Gathers the parts of one answer, each checked by an AnswerStream.
class AnswerAssembler final {
public:
    explicit AnswerAssembler(std::size_t maxBytes = kMaxAnswerBytes) : m_stream(maxBytes) {}

    // Adds the next received Response, whose encoding took frameBytes (AnswerStream::check says
    // what must hold); once Complete, take the answer with answer().
    PartStatus add(Response part, std::size_t frameBytes);

    Response& answer() { return m_whole; }

private:
    AnswerStream m_stream;
    bool m_bStarted = false;
    Response m_whole;
};

}  // namespace tlv::wire

#include "s100/wire/answer_parts.h"

#include <cstring>
#include <type_traits>

#include "s100/proto/packed_strings.h"
#include "s100/s100.h"

namespace tlv::wire {
namespace {

static_assert(kAnswerPartBytes < kMaxFrameBytes / 2,
              "a part with one element beyond the part size still fits a frame");

// Field tag and length prefix of one element inside its array.
constexpr std::size_t kElementOverheadBytes = 6;

// Moves (from a set the caller gives up) or copies (from a const one) the elements between two
// edges of each array of source behind those of the same array in target.
template <typename Source>
void takeElements(Source& source, const RunEdge& from, const RunEdge& to, KVSet& target) {
    constexpr bool kCopy = std::is_const_v<Source>;
    for (int p = 0; p < source.pairs_size(); ++p) {
        auto& sourceArray = source.pairs(p).value().array_value();
        Array& targetArray = *target.mutable_pairs(p)->mutable_value()->mutable_array_value();
        if (!sourceArray.packed_strings().empty()) {
            const auto index = static_cast<std::size_t>(p);
            targetArray.mutable_packed_strings()->append(
                sourceArray.packed_strings(), from.packedByte[index],
                to.packedByte[index] - from.packedByte[index]);
            continue;
        }
        targetArray.mutable_elements()->Reserve(targetArray.elements_size() +
                                                static_cast<int>(to.element - from.element));
        for (std::size_t i = from.element; i < to.element; ++i) {
            const int index = static_cast<int>(i);
            if constexpr (kCopy) {
                *targetArray.add_elements() = sourceArray.elements(index);
            } else {
                *targetArray.add_elements() = std::move(
                    *source.mutable_pairs(p)->mutable_value()->mutable_array_value()->mutable_elements(
                        index));
            }
        }
    }
}

// The edge before (atEnd false) or after every element of result.
RunEdge edgeOf(const KVSet& result, std::size_t length, bool atEnd) {
    RunEdge edge{atEnd ? length : 0, {}};
    for (const Pair& pair : result.pairs()) {
        edge.packedByte.push_back(atEnd ? pair.value().array_value().packed_strings().size() : 0);
    }
    return edge;
}

// The bytes the element at edge adds to a part, over all arrays; moves edge past it.
std::size_t stepOver(const KVSet& result, RunEdge& edge) {
    std::size_t bytes = 0;
    for (int p = 0; p < result.pairs_size(); ++p) {
        const Array& array = result.pairs(p).value().array_value();
        const std::string& packed = array.packed_strings();
        if (packed.empty()) {
            bytes += array.elements(static_cast<int>(edge.element)).ByteSizeLong() +
                     kElementOverheadBytes;
            continue;
        }
        std::size_t& at = edge.packedByte[static_cast<std::size_t>(p)];
        const std::size_t size = std::strlen(packed.c_str() + at) + 1;
        at += size;
        bytes += size;
    }
    ++edge.element;
    return bytes;
}

}  // namespace

AnswerSplitter::AnswerSplitter(std::shared_ptr<const Response> whole, std::size_t partBytes)
    : m_partBytes(partBytes), m_whole(std::move(whole)) {
    m_splittable = isListAnswer(*m_whole, m_length) && m_whole->ByteSizeLong() > m_partBytes;
    m_taken = edgeOf(m_whole->result(), m_length, false);
}

bool AnswerSplitter::next(Response& part) {
    if (m_done) {
        return false;
    }
    if (!m_splittable) {
        part = *m_whole;
        m_done = true;
        return true;
    }
    RunEdge end = m_taken;
    RunEdge next = end;
    std::size_t bytes = 0;
    while (end.element < m_length) {
        const std::size_t size = stepOver(m_whole->result(), next);
        if (end.element > m_taken.element && bytes + size > m_partBytes) {
            break;
        }
        bytes += size;
        end = next;
    }
    part = emptyPartOf(*m_whole);
    takeElements(m_whole->result(), m_taken, end, *part.mutable_result());
    m_taken = std::move(end);
    m_done = m_taken.element == m_length;
    part.set_more(!m_done);
    return true;
}

PartStatus AnswerAssembler::add(Response part, std::size_t frameBytes) {
    const PartStatus status = m_stream.check(part, frameBytes);
    if (status == PartStatus::Invalid) {
        return status;
    }
    if (!m_bStarted) {
        m_whole = std::move(part);
        m_bStarted = true;
        return status;
    }
    const std::size_t length = m_stream.lastLength();
    takeElements(*part.mutable_result(), edgeOf(part.result(), length, false),
                 edgeOf(part.result(), length, true), *m_whole.mutable_result());
    m_whole.set_more(part.more());
    return status;
}

}  // namespace tlv::wire

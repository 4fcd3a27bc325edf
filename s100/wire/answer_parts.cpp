#include "s100/wire/answer_parts.h"

#include "s100/s100.h"

namespace tlv::wire {
namespace {

static_assert(kAnswerPartBytes < kMaxFrameBytes / 2,
              "a part with one element beyond the part size still fits a frame");

// Field tag and length prefix of one element inside its array.
constexpr std::size_t kElementOverheadBytes = 6;

// A successful answer whose result holds only arrays, all of the same non-zero length.
bool isListAnswer(const Response& response, std::size_t& length) {
    if (response.error() != CTerr_NoError || response.unchanged() ||
        response.statuses_size() != 0 || response.result().pairs_size() == 0) {
        return false;
    }
    length = 0;
    for (const Pair& pair : response.result().pairs()) {
        if (!pair.value().has_array_value()) {
            return false;
        }
        const auto size = static_cast<std::size_t>(pair.value().array_value().elements_size());
        if (&pair != &response.result().pairs(0) && size != length) {
            return false;
        }
        length = size;
    }
    return length > 0;
}

// Moves elements [from, to) of each array of source behind those of the same array in target.
void moveElements(KVSet& source, std::size_t from, std::size_t to, KVSet& target) {
    for (int p = 0; p < source.pairs_size(); ++p) {
        Array& sourceArray = *source.mutable_pairs(p)->mutable_value()->mutable_array_value();
        Array& targetArray = *target.mutable_pairs(p)->mutable_value()->mutable_array_value();
        targetArray.mutable_elements()->Reserve(targetArray.elements_size() +
                                                static_cast<int>(to - from));
        for (std::size_t i = from; i < to; ++i) {
            *targetArray.add_elements() =
                std::move(*sourceArray.mutable_elements(static_cast<int>(i)));
        }
    }
}

// The same keys and element types as source, with empty arrays.
void copyShape(const KVSet& source, KVSet& target) {
    for (const Pair& pair : source.pairs()) {
        Pair& copy = *target.add_pairs();
        copy.set_key(pair.key());
        copy.mutable_value()->mutable_array_value()->set_element_type(
            pair.value().array_value().element_type());
    }
}

}  // namespace

AnswerSplitter::AnswerSplitter(Response whole, std::size_t partBytes)
    : m_partBytes(partBytes), m_whole(std::move(whole)) {
    m_splittable = isListAnswer(m_whole, m_length) && m_whole.ByteSizeLong() > m_partBytes;
}

bool AnswerSplitter::next(Response& part) {
    if (m_done) {
        return false;
    }
    if (!m_splittable) {
        part = std::move(m_whole);
        m_done = true;
        return true;
    }
    std::size_t end = m_taken;
    std::size_t bytes = 0;
    for (; end < m_length; ++end) {
        std::size_t size = 0;
        for (const Pair& pair : m_whole.result().pairs()) {
            size += pair.value().array_value().elements(static_cast<int>(end)).ByteSizeLong() +
                    kElementOverheadBytes;
        }
        if (end > m_taken && bytes + size > m_partBytes) {
            break;
        }
        bytes += size;
    }
    part.Clear();
    part.set_id(m_whole.id());
    part.set_error(m_whole.error());
    part.set_generation(m_whole.generation());
    copyShape(m_whole.result(), *part.mutable_result());
    moveElements(*m_whole.mutable_result(), m_taken, end, *part.mutable_result());
    m_taken = end;
    m_done = m_taken == m_length;
    part.set_more(!m_done);
    return true;
}

PartStatus AnswerAssembler::add(Response part, std::size_t frameBytes) {
    m_bytes += frameBytes;
    if (m_bytes > m_maxBytes) {
        return PartStatus::Invalid;
    }
    if (m_parts++ == 0) {
        m_whole = std::move(part);
        std::size_t length = 0;
        if (!m_whole.more()) {
            return PartStatus::Complete;
        }
        return isListAnswer(m_whole, length) ? PartStatus::NeedMore : PartStatus::Invalid;
    }
    if (!continues(part)) {
        return PartStatus::Invalid;
    }
    moveElements(*part.mutable_result(), 0,
                 static_cast<std::size_t>(part.result().pairs(0).value().array_value().elements_size()),
                 *m_whole.mutable_result());
    m_whole.set_more(part.more());
    return part.more() ? PartStatus::NeedMore : PartStatus::Complete;
}

bool AnswerAssembler::continues(const Response& part) const {
    std::size_t length = 0;
    if (part.id() != m_whole.id() || part.generation() != m_whole.generation() ||
        part.level() != m_whole.level() || !isListAnswer(part, length) ||
        part.result().pairs_size() != m_whole.result().pairs_size()) {
        return false;
    }
    for (int p = 0; p < part.result().pairs_size(); ++p) {
        const Pair& held = m_whole.result().pairs(p);
        const Pair& added = part.result().pairs(p);
        if (held.key() != added.key() ||
            held.value().array_value().element_type() !=
                added.value().array_value().element_type() ||
            static_cast<std::size_t>(held.value().array_value().elements_size()) + length >
                CT_MAX_ELEMENTS) {
            return false;
        }
    }
    return true;
}

}  // namespace tlv::wire

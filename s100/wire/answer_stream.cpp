#include "s100/wire/answer_stream.h"

#include "s100/proto/packed_strings.h"
#include "s100/s100.h"

namespace tlv::wire {

Response emptyPartOf(const Response& answer) {
    Response part;
    part.set_id(answer.id());
    part.set_error(answer.error());
    part.set_generation(answer.generation());
    part.set_level(answer.level());
    for (const Pair& pair : answer.result().pairs()) {
        Pair& copy = *part.mutable_result()->add_pairs();
        copy.set_key(pair.key());
        copy.mutable_value()->mutable_array_value()->set_element_type(
            pair.value().array_value().element_type());
    }
    return part;
}

bool isListAnswer(const Response& response, std::size_t& length) {
    if (response.error() != CTerr_NoError || response.unchanged() ||
        response.statuses_size() != 0 || response.result().pairs_size() == 0) {
        return false;
    }
    length = 0;
    for (const Pair& pair : response.result().pairs()) {
        const Array& array = pair.value().array_value();
        if (!pair.value().has_array_value() ||
            (!array.packed_strings().empty() && array.elements_size() != 0)) {
            return false;
        }
        const std::size_t size = arrayLength(array);
        if (&pair != &response.result().pairs(0) && size != length) {
            return false;
        }
        length = size;
    }
    return length > 0;
}

PartStatus AnswerStream::check(const Response& part, std::size_t frameBytes) {
    m_bytes += frameBytes;
    if (m_bytes > m_maxBytes) {
        return PartStatus::Invalid;
    }
    m_lastLength = 0;
    if (m_parts == 0 && !part.more()) {
        m_parts = 1;
        return PartStatus::Complete;  // the answer is this one part, whatever it holds
    }
    std::size_t length = 0;
    const bool bList = isListAnswer(part, length);
    m_lastLength = bList ? length : 0;
    if (m_parts++ == 0) {
        if (!bList) {
            return PartStatus::Invalid;
        }
        m_envelope = emptyPartOf(part);
        for (const Pair& pair : part.result().pairs()) {
            m_packed.push_back(!pair.value().array_value().packed_strings().empty());
        }
        m_elements = length;
        return PartStatus::NeedMore;
    }
    if (!bList || !continues(part, length)) {
        return PartStatus::Invalid;
    }
    m_elements += length;
    return part.more() ? PartStatus::NeedMore : PartStatus::Complete;
}

bool AnswerStream::continues(const Response& part, std::size_t length) const {
    if (part.id() != m_envelope.id() || part.generation() != m_envelope.generation() ||
        part.level() != m_envelope.level() ||
        part.result().pairs_size() != m_envelope.result().pairs_size() ||
        m_elements + length > CT_MAX_ELEMENTS) {
        return false;
    }
    for (int p = 0; p < part.result().pairs_size(); ++p) {
        const Pair& held = m_envelope.result().pairs(p);
        const Pair& added = part.result().pairs(p);
        const Array& addedArray = added.value().array_value();
        if (held.key() != added.key() ||
            held.value().array_value().element_type() != addedArray.element_type() ||
            m_packed[static_cast<std::size_t>(p)] != !addedArray.packed_strings().empty()) {
            return false;
        }
    }
    return true;
}

}  // namespace tlv::wire

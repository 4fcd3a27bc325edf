#include "s100/wire/answer_stream.h"

#include "s100/s100.h"

namespace tlv::wire {
namespace {

// The length of every array of a successful answer whose result holds only arrays, all of the
// same non-zero length; 0 for any other answer.
std::size_t listLength(const Response& response) {
    if (response.error() != CTerr_NoError || response.unchanged() ||
        response.statuses_size() != 0 || response.result().pairs_size() == 0) {
        return 0;
    }
    const auto length =
        static_cast<std::size_t>(response.result().pairs(0).value().array_value().elements_size());
    for (const Pair& pair : response.result().pairs()) {
        if (!pair.value().has_array_value() ||
            static_cast<std::size_t>(pair.value().array_value().elements_size()) != length) {
            return 0;
        }
    }
    return length;
}

// The part's envelope and keys with their element types, without elements.
Response envelopeOf(const Response& part) {
    Response envelope;
    envelope.set_id(part.id());
    envelope.set_error(part.error());
    envelope.set_generation(part.generation());
    envelope.set_level(part.level());
    for (const Pair& pair : part.result().pairs()) {
        Pair& copy = *envelope.mutable_result()->add_pairs();
        copy.set_key(pair.key());
        copy.mutable_value()->mutable_array_value()->set_element_type(
            pair.value().array_value().element_type());
    }
    return envelope;
}

}  // namespace

PartStatus AnswerStream::check(const Response& part, std::size_t frameBytes) {
    m_bytes += frameBytes;
    if (m_bytes > m_maxBytes) {
        return PartStatus::Invalid;
    }
    const std::size_t length = listLength(part);
    if (m_parts++ == 0) {
        if (!part.more()) {
            return PartStatus::Complete;
        }
        if (length == 0) {
            return PartStatus::Invalid;
        }
        m_envelope = envelopeOf(part);
        m_elements = length;
        return PartStatus::NeedMore;
    }
    if (length == 0 || !continues(part, length)) {
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
        if (held.key() != added.key() || held.value().array_value().element_type() !=
                                             added.value().array_value().element_type()) {
            return false;
        }
    }
    return true;
}

}  // namespace tlv::wire

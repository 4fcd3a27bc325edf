#include "server/list_answers.h"

#include <google/protobuf/unknown_field_set.h>

#include "s100/wire/frame.h"

namespace tlv::server {
namespace {

// Distinct filters clients may send are unbounded; past this many, everything kept is
// forgotten, which costs only full answers.
constexpr std::size_t kMaxQueries = 64;

}  // namespace

ListAnswers::Kept& ListAnswers::keptFor(const std::string& query) {
    const auto found = m_kept.find(query);
    if (found != m_kept.end()) {
        return found->second;
    }
    if (m_kept.size() >= kMaxQueries) {
        m_kept.clear();
    }
    return m_kept[query];
}

CTerror ListAnswers::answer(const std::string& query, std::uint64_t known, std::uint64_t version,
                            tlv::wire::Response& response, const Read& read) {
    Kept& kept = keptFor(query);
    if (version == kAlwaysRead || kept.generation == 0 || kept.version != version) {
        tlv::wire::KVSet fresh;
        if (const CTerror error = read(fresh); error != CTerr_NoError) {
            m_kept.erase(query);
            return error;
        }
        std::string bytes = fresh.SerializeAsString();
        if (kept.generation == 0 || bytes != kept.bytes) {
            kept.generation = m_next++;
            kept.bytes = std::move(bytes);
            kept.result = std::move(fresh);
        }
        kept.version = version;
    }
    response.set_generation(kept.generation);
    if (known == kept.generation) {
        response.set_unchanged(true);
    } else if (kept.bytes.size() <= tlv::wire::kAnswerPartBytes) {
        // The kept encoding goes out as the result field itself: the same bytes on the wire as
        // the message would give, without copying and encoding every row again. A larger answer
        // travels in parts, which are cut from the message.
        response.GetReflection()->MutableUnknownFields(&response)->AddLengthDelimited(
            tlv::wire::Response::kResultFieldNumber, kept.bytes);
    } else {
        *response.mutable_result() = kept.result;
    }
    return CTerr_NoError;
}

}  // namespace tlv::server

#include "server/list_answers.h"

#include <google/protobuf/unknown_field_set.h>

#include "s100/wire/frame.h"

namespace tlv::server {
namespace {

// Distinct filters clients may send are unbounded; past this many, everything kept is
// forgotten, which costs only full answers.
constexpr std::size_t kMaxQueries = 64;

std::shared_ptr<const tlv::wire::Response> fullAnswer(std::uint64_t generation,
                                                     tlv::wire::KVSet result,
                                                     const std::string& bytes) {
    auto full = std::make_shared<tlv::wire::Response>();
    full->set_error(CTerr_NoError);
    full->set_generation(generation);
    if (bytes.size() <= tlv::wire::kAnswerPartBytes) {
        // The kept encoding goes out as the result field itself: the same bytes on the wire as
        // the message would give, without encoding every row again for each client. A larger
        // answer travels in parts, which are cut from the message.
        full->GetReflection()->MutableUnknownFields(full.get())->AddLengthDelimited(
            tlv::wire::Response::kResultFieldNumber, bytes);
    } else {
        *full->mutable_result() = std::move(result);
    }
    return full;
}

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
                            const Read& read, std::shared_ptr<const tlv::wire::Response>& answer) {
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
            kept.full = fullAnswer(kept.generation, std::move(fresh), bytes);
            kept.bytes = std::move(bytes);
        }
        kept.version = version;
    }
    if (known != kept.generation) {
        answer = kept.full;
        return CTerr_NoError;
    }
    auto unchanged = std::make_shared<tlv::wire::Response>();
    unchanged->set_error(CTerr_NoError);
    unchanged->set_generation(kept.generation);
    unchanged->set_unchanged(true);
    answer = std::move(unchanged);
    return CTerr_NoError;
}

}  // namespace tlv::server

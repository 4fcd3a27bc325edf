#include "s100/client/list_cache.h"

namespace tlv::client {

ListAnswerCache::Kept* ListAnswerCache::slotOf(const tlv::wire::Request& request,
                                               std::string& query) {
    switch (request.call_case()) {
        case tlv::wire::Request::kGetProfileInfo: {
            const tlv::wire::GetProfileInfo& call = request.get_profile_info();
            if (call.with_contents()) {
                return nullptr;
            }
            query = std::to_string(call.name().size()) + " " + call.name() + call.profile_class();
            return &m_profiles;
        }
        case tlv::wire::Request::kGetServiceState:
            return &m_services;
        case tlv::wire::Request::kGetSpInfo:
            return &m_providers;
        default:
            return nullptr;
    }
}

void ListAnswerCache::prepare(tlv::wire::Request& request) {
    std::string query;
    const Kept* kept = slotOf(request, query);
    if (kept == nullptr || kept->generation == 0 || kept->query != query) {
        return;
    }
    switch (request.call_case()) {
        case tlv::wire::Request::kGetProfileInfo:
            request.mutable_get_profile_info()->set_known_generation(kept->generation);
            break;
        case tlv::wire::Request::kGetServiceState:
            request.mutable_get_service_state()->set_known_generation(kept->generation);
            break;
        case tlv::wire::Request::kGetSpInfo:
            request.mutable_get_sp_info()->set_known_generation(kept->generation);
            break;
        default:
            break;
    }
}

bool ListAnswerCache::take(const tlv::wire::Request& request, const tlv::wire::Response& response,
                           s100::KVSet& result) {
    std::string query;
    Kept* kept = slotOf(request, query);
    if (response.unchanged()) {
        if (kept == nullptr || kept->generation == 0 || kept->query != query ||
            kept->generation != response.generation()) {
            return false;
        }
        result = kept->result;
        return true;
    }
    if (kept != nullptr && response.error() == CTerr_NoError && response.generation() != 0) {
        *kept = Kept{std::move(query), response.generation(), result};
    }
    return true;
}

}  // namespace tlv::client

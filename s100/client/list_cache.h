#pragma once
// What a session last received for each kind of list query (the profile list without contents,
// the service states, the providers), so that a refresh the server answers "unchanged" is
// answered from it. One answer is kept per kind; the profile list's is kept for one pair of
// filters at a time. Queries with contents are never kept: they can be very large.

#include <cstdint>
#include <optional>
#include <string>

#include "s100/kvs/value.h"
#include "s100/proto/admin.pb.h"

namespace tlv::client {

class ListAnswerCache final {
public:
    // Names in request the generation of the answer kept for its query, if any.
    void prepare(tlv::wire::Request& request);

    // Takes the answer to request. For an "unchanged" answer result becomes the kept one; false
    // when none is kept for that query and generation (the server broke the protocol). A new
    // successful answer with a generation is kept as result.
    bool take(const tlv::wire::Request& request, const tlv::wire::Response& response,
              s100::KVSet& result);

private:
    struct Kept {
        std::string query;
        std::uint64_t generation = 0;
        s100::KVSet result;
    };
    // The slot of request's kind of query with the query's identity, or null when it is not
    // kept.
    Kept* slotOf(const tlv::wire::Request& request, std::string& query);

    Kept m_profiles;
    Kept m_services;
    Kept m_providers;
};

}  // namespace tlv::client

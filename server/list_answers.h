#pragma once
// The answers of the list queries clients refresh. Each distinct query (the call and its
// filters) has a generation: a server-wide number that changes whenever the query's answer
// changes. A client that names the generation of the answer it holds is told "unchanged"
// instead of being sent the list again. Numbers are never reused while the server runs, so the
// answer of one query can never pass for another's.
//
// An answer that can only change with the store (the profile list without contents) is kept
// until the store changes, so refreshing it reads nothing; others are read on every query and
// compared with the last answer. A kept answer is one encoded message shared by every client it
// is being sent to, however many take it at once.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "s100/errors.h"
#include "s100/proto/admin.pb.h"

namespace tlv::server {

class ListAnswers final {
public:
    using Read = std::function<CTerror(tlv::wire::KVSet&)>;

    // Stands for "read on every query" where a store version is asked for.
    static constexpr std::uint64_t kAlwaysRead = ~std::uint64_t{0};

    // Answers query into answer, a response without id: its result (empty and unchanged when
    // known is the current generation) and its generation. read fills a fresh result; it runs
    // unless the answer kept for query was read at this version of its data. Only successful
    // answers get a generation; a failure is returned as read gave it.
    CTerror answer(const std::string& query, std::uint64_t known, std::uint64_t version,
                   const Read& read, std::shared_ptr<const tlv::wire::Response>& answer);

private:
    struct Kept {
        std::uint64_t generation = 0;
        std::uint64_t version = kAlwaysRead;
        std::string bytes;  // the encoded result, to tell a changed answer
        std::shared_ptr<const tlv::wire::Response> full;
    };
    Kept& keptFor(const std::string& query);

    std::map<std::string, Kept> m_kept;
    std::uint64_t m_next = 1;
};

}  // namespace tlv::server

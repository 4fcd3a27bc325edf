#pragma once
// An answer as the session sends it: part by part, each produced only once the client took the
// one before, so a client holds at most one encoded part however large the answer.

#include <functional>
#include <memory>
#include <string>

#include "s100/proto/admin.pb.h"
#include "s100/wire/answer_parts.h"

namespace tlv::server {

class AnswerSource {
public:
    // The next part as an encoded ServerFrame, and whether parts follow it. An empty frame means
    // the answer cannot go on (the store failed under it): the client is to be dropped.
    using Ready = std::function<void(std::string frame, bool more)>;

    virtual ~AnswerSource() = default;
    // Produces the next part and runs ready with it on the server's loop, at once or later.
    // Called again only after ready ran with more.
    virtual void next(Ready ready) = 0;
};

// An answer built whole (or kept, and shared between clients): its parts are cut from it one at
// a time.
class WholeAnswer final : public AnswerSource {
public:
    // whole without its id, which is the request's: a kept answer goes to many requests.
    WholeAnswer(std::shared_ptr<const tlv::wire::Response> whole, std::uint64_t id)
        : m_id(id), m_parts(std::move(whole)) {}
    explicit WholeAnswer(tlv::wire::Response whole);

    void next(Ready ready) override;

private:
    std::uint64_t m_id;
    tlv::wire::AnswerSplitter m_parts;
};

// The encoded frame of one part; a part above the frame limit (only a single element so large
// gets here) is replaced by a CTerr_LimitExceeded answer rather than left unsent.
std::string encodePart(tlv::wire::Response part);

}  // namespace tlv::server

#pragma once
// The answer to a profile query with contents, from a store file: read and encoded part by part
// on the store reader's thread, each part only once the client took the one before, from one
// snapshot of the store (store_snapshot.h), so the parts add up to one consistent answer. The
// names come first and cost little; of the contents only one part's worth is ever held.

#include <asio.hpp>
#include <memory>
#include <string>

#include "s100/proto/admin.pb.h"
#include "s100/wire/frame.h"
#include "server/answer_source.h"

namespace tlv::server {

struct ContentsReading {
    std::string storePath;         // "" for a store in memory: such answers are built whole
    asio::any_io_executor reader;  // the store reader's thread
    asio::any_io_executor loop;    // the server's loop, where parts are handed over
};

class ContentsAnswer final : public AnswerSource {
public:
    ContentsAnswer(const ContentsReading& reading, tlv::wire::GetProfileInfo call, std::uint64_t id,
                   std::size_t partBytes = tlv::wire::kAnswerPartBytes);

    void next(Ready ready) override;

private:
    struct Cursor;
    std::shared_ptr<Cursor> m_cursor;  // shared with the reader while it reads a part
    asio::any_io_executor m_reader;
    asio::any_io_executor m_loop;
};

}  // namespace tlv::server

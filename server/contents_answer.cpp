#include "server/contents_answer.h"

#include "s100/errors.h"
#include "s100/symbols.h"
#include "s100/wire/frame_budget.h"
#include "server/log.h"
#include "server/store_snapshot.h"
#include "server/wire_kvset.h"

namespace tlv::server {
namespace {

// What one profile adds to a part besides its contents: field tags and length prefixes, and the
// NULs of the packed names.
constexpr std::size_t kPerProfileBytes = 16;

struct Produced {
    std::string frame;  // "" when the answer cannot go on
    bool more = false;
    std::string problem;  // for the log, read on the loop
};

std::size_t bytesOf(const ProfileKey& key) {
    return key.name.size() + key.profileClass.size() + key.contentBytes + kPerProfileBytes;
}

Produced failure(std::uint64_t id, CTerror error, std::string problem) {
    tlv::wire::Response response;
    response.set_id(id);
    response.set_error(error);
    return {encodePart(std::move(response)), false, std::move(problem)};
}

}  // namespace

// Lives on the reader's thread while it reads; the snapshot closes with it.
struct ContentsAnswer::Cursor {
    std::string storePath;
    tlv::wire::GetProfileInfo call;
    std::uint64_t id = 0;
    std::size_t partBytes = 0;
    std::unique_ptr<StoreSnapshot> snapshot;
    std::vector<ProfileKey> keys;
    std::size_t taken = 0;  // profiles sent so far

    Produced produce();
    Produced begin();
    std::size_t runEnd() const;
};

Produced ContentsAnswer::Cursor::begin() {
    std::string error;
    snapshot = StoreSnapshot::open(storePath, error);
    if (!snapshot || !snapshot->keys(call.name(), call.profile_class(), keys, error)) {
        return failure(id, CTerr_StoreFailed, "store failure: " + error);
    }
    if (keys.empty()) {
        return failure(id, CTerr_NotFound, {});
    }
    return {};
}

// The end of the next run: profiles up to about partBytes, at least one.
std::size_t ContentsAnswer::Cursor::runEnd() const {
    std::size_t end = taken;
    std::size_t bytes = 0;
    while (end < keys.size() && (end == taken || bytes + bytesOf(keys[end]) <= partBytes)) {
        bytes += bytesOf(keys[end]);
        ++end;
    }
    return end;
}

Produced ContentsAnswer::Cursor::produce() {
    if (!snapshot) {
        if (Produced failed = begin(); !failed.frame.empty()) {
            return failed;
        }
    }
    const std::size_t end = runEnd();
    std::vector<std::string> names;
    std::vector<std::string> classes;
    std::vector<std::string> contents;
    for (std::size_t i = taken; i < end; ++i) {
        const ProfileKey& key = keys[i];
        std::string bytes;
        std::string error;
        // Stored contents go out as stored; a walk over their wire form, which decodes nothing,
        // still keeps damaged ones from reaching a client.
        if (!snapshot->contents(key, bytes, error) ||
            !tlv::wire::fitsDecodeBudget(bytes, *tlv::wire::KVSet::descriptor())) {
            std::string problem = "stored contents of " + printable(key.name) + " " +
                                  printable(key.profileClass) + " do not read";
            if (taken > 0) {
                return {{}, false, std::move(problem)};  // parts went out: the answer cannot turn
            }
            return failure(id, CTerr_StoreFailed, std::move(problem));
        }
        names.push_back(key.name);
        classes.push_back(key.profileClass);
        contents.push_back(std::move(bytes));
    }
    taken = end;
    tlv::wire::Response part;
    part.set_id(id);
    part.set_error(CTerr_NoError);
    putStringArray(*part.mutable_result(), KEY_ProfileNames, names);
    putStringArray(*part.mutable_result(), KEY_ProfileClasses, classes);
    putEncodedKVSetArray(*part.mutable_result(), KEY_ProfileContents, std::move(contents));
    const bool more = taken < keys.size();
    part.set_more(more);
    if (!more) {
        snapshot.reset();  // the read ends with the last part, not with the client
    }
    return {encodePart(std::move(part)), more, {}};
}

ContentsAnswer::ContentsAnswer(const ContentsReading& reading, tlv::wire::GetProfileInfo call,
                               std::uint64_t id, std::size_t partBytes)
    : m_cursor(std::make_shared<Cursor>()), m_reader(reading.reader), m_loop(reading.loop) {
    m_cursor->storePath = reading.storePath;
    m_cursor->call = std::move(call);
    m_cursor->id = id;
    m_cursor->partBytes = partBytes;
}

void ContentsAnswer::next(Ready ready) {
    asio::post(m_reader, [cursor = m_cursor, loop = m_loop, ready = std::move(ready)]() mutable {
        auto produced = std::make_shared<Produced>(cursor->produce());
        asio::post(loop, [produced, ready = std::move(ready)] {
            if (!produced->problem.empty()) {
                logEvent("%s", produced->problem.c_str());
            }
            ready(std::move(produced->frame), produced->more);
        });
    });
}

}  // namespace tlv::server

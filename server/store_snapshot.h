#pragma once
// A read of the store file that sees it as it was when the read began, on a connection of its
// own: the parts of one answer with contents are read one after the other, on a thread other
// than the server's loop, while clients go on changing the store (WAL lets readers and the one
// writer pass each other). Used by one thread at a time.

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "server/store_file.h"

namespace tlv::server {

struct ProfileKey {
    std::string name;
    std::string profileClass;
    std::size_t contentBytes = 0;
};

class StoreSnapshot final {
public:
    // Opens the store file read-only and begins the read; null with a message on failure.
    static std::unique_ptr<StoreSnapshot> open(const std::string& path, std::string& error);

    // The profiles matching the filters ("" matches all) by name, then class, with the size of
    // their contents, which are not read. False with a message when the store cannot be read.
    bool keys(const std::string& name, const std::string& profileClass,
              std::vector<ProfileKey>& out, std::string& error);
    // The stored contents of one profile; false with a message when it cannot be read.
    bool contents(const ProfileKey& key, std::string& out, std::string& error);

private:
    explicit StoreSnapshot(StoreConnection db) : m_db(std::move(db)) {}
    StoreConnection m_db;
};

}  // namespace tlv::server

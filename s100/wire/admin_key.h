#pragma once
// The admin key: 32 random bytes kept in a file only its owner may read (mode 0600). Both sides
// hold a copy; it authenticates their TLS (tls_psk.h) and never travels.
//
// Key files are opened without blocking and without following a link, then checked on the open
// file: a FIFO, a device or a link in the key's place is refused instead of hanging the reader.

#include <cstddef>
#include <string>

namespace tlv::wire {

inline constexpr std::size_t kAdminKeyBytes = 32;

// Fresh random bytes from the system's generator; "" when it cannot supply them.
std::string freshRandomBytes(std::size_t count);

// Who must own a key file: tlvsd takes its own wherever it came from; a client, as ssh does,
// only one of its user's.
enum class KeyOwner { Anyone, ThisUser };

// What kept a key file from being read, so that a client can say what to do about it.
enum class KeyFault {
    None,
    Missing,     // no file of that name
    NotPrivate,  // group or others may access it
    Unusable,    // anything else: a link, not a regular file, another's, wrong size, unreadable
};

// Reads a key file: a regular file (not a link) of exactly kAdminKeyBytes bytes that neither
// group nor others can access, owned as owner says. False with a message naming the file and
// the reason otherwise, and the kind of fault in fault when asked.
bool readAdminKeyFile(const std::string& path, KeyOwner owner, std::string& key,
                      std::string& problem, KeyFault* fault = nullptr);

// Creates a key file of fresh random bytes with mode 0600; fails when the file exists.
bool createAdminKeyFile(const std::string& path, std::string& key, std::string& problem);

}  // namespace tlv::wire

#pragma once
// The admin key a client proves it holds before tlvsd answers any call: 32 random bytes kept in
// a file only its owner may read (mode 0600), and the challenge and response over it.
//
// Each side sends a fresh nonce; the server proves itself with HMAC-SHA256(key, server label,
// both nonces), the client with the same over its own label. The labels differ so that a proof
// can never be played back in the other direction, and the key never travels.

#include <cstddef>
#include <string>

namespace tlv::wire {

inline constexpr std::size_t kAdminKeyBytes = 32;
inline constexpr std::size_t kNonceBytes = 32;

// Fresh random bytes from the system's generator; "" when it cannot supply them.
std::string freshRandomBytes(std::size_t count);

// The proofs of each side; "" when the key is not kAdminKeyBytes long.
std::string serverKeyProof(const std::string& key, const std::string& clientNonce,
                           const std::string& serverNonce);
std::string clientKeyProof(const std::string& key, const std::string& clientNonce,
                           const std::string& serverNonce);

// Compares a received proof with the expected one in time that does not depend on where they
// differ; false for an empty expectation.
bool proofMatches(const std::string& expected, const std::string& received);

// Reads a key file: a regular file of exactly kAdminKeyBytes bytes that neither group nor
// others can read. False with a message naming the file and the reason otherwise.
bool readAdminKeyFile(const std::string& path, std::string& key, std::string& problem);

// Creates a key file of fresh random bytes with mode 0600; fails when the file exists.
bool createAdminKeyFile(const std::string& path, std::string& key, std::string& problem);

}  // namespace tlv::wire

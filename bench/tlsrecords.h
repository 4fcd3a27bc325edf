#pragma once
// What a call's TLS costs by itself: its request sealed by the client and opened by the server,
// its answer sealed by the server and opened by the client, through memory instead of sockets,
// with the keys of a real handshake by the admin key. This is the part of a call over TLS that
// no transport can save, beside the loopback ping-pong of the same bytes.

#include <cstddef>
#include <string>

// The CPU time of one such round, in microseconds, over rounds rounds of frames of requestBytes
// and answerBytes; a negative number when the handshake failed.
double tlsRecordRoundMicros(const std::string& adminKey, std::size_t requestBytes,
                            std::size_t answerBytes, int rounds);

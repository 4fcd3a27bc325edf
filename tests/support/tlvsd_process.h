#pragma once
// Test helpers around a real tlvsd process: start it on 127.0.0.1 with a port it picks, read
// that port from its first line, stop it with SIGTERM or SIGKILL, start it again on the same
// data directory. Also a temporary directory, a bounded wait and the admin key.
//
// Every tlvsd started here holds one admin key of the test process (--key, unless the test
// names its own). Clients find it once installEntryKey wrote it for their server entry: the
// fixtures that write server entries do that.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "s100/wire/client.h"

namespace tlv::test {

// The tlvsd built beside the tests.
std::string tlvsdPath();

// A fresh directory under $TMPDIR (or /tmp), removed with everything in it.
class TempDir final {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// The admin key of the tlvsd processes started here, and its file.
const std::string& testAdminKey();
const std::string& testAdminKeyFile();

// Writes the test key as the key file of entryName, in the keys folder under the
// XDG_CONFIG_HOME of this test process (a temporary folder, set on first use). True on success.
bool installEntryKey(const std::string& entryName);

// A loopback port that nothing listens on: bound once, then released.
std::uint16_t unusedLoopbackPort();

// Polls condition every 10 ms until it holds or timeout passes; true when it held.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));

class TlvsdProcess final {
public:
    TlvsdProcess() = default;
    // Stops a server still running as SIGTERM does, so the services it started end with it;
    // kills it when it does not stop in time.
    ~TlvsdProcess();
    TlvsdProcess(const TlvsdProcess&) = delete;
    TlvsdProcess& operator=(const TlvsdProcess&) = delete;

    // Where the next starts append tlvsd's stderr (its event log); "" leaves it on the tests'.
    void setLogFile(std::string path) { m_logFile = std::move(path); }
    // What the log file holds so far.
    std::string logText() const;

    // Starts tlvsd with args and --listen 127.0.0.1:0 and waits (up to 10 s) for its port.
    bool start(std::vector<std::string> args);
    // Starts it again with the same args, on the same port when it is still free.
    bool restart();

    // SIGTERM and wait; the exit status (0..255), or -1 when it did not end within timeout
    // (it is then killed) or ended by a signal.
    int terminate(std::chrono::milliseconds timeout = std::chrono::seconds(15));
    // SIGKILL and wait.
    void kill();
    bool running() const { return m_pid > 0; }

    std::uint16_t port() const { return m_port; }
    pid_t pid() const { return m_pid; }

    // A connection that completed its handshake with the test key, or null.
    std::unique_ptr<tlv::wire::ClientConnection> connect(
        std::chrono::milliseconds callTimeout = std::chrono::seconds(5)) const;

private:
    bool launch(const std::string& listen);
    int waitForExit(std::chrono::milliseconds timeout);

    std::vector<std::string> m_args;
    std::string m_logFile;
    pid_t m_pid = -1;
    std::uint16_t m_port = 0;
};

}  // namespace tlv::test

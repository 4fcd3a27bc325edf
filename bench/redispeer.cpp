#include "bench/redispeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/support/tlvsd_process.h"

extern char** environ;

namespace {

constexpr const char* kRedisServer = "/usr/bin/redis-server";

int connectTo(std::uint16_t port) {
    const int client = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(client);
        return -1;
    }
    const int on = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return client;
}

}  // namespace

RedisPeer::RedisPeer() {
    if (access(kRedisServer, X_OK) != 0) {
        return;
    }
    const std::string port = std::to_string(tlv::test::unusedLoopbackPort());
    std::vector<std::string> args{kRedisServer, "--port", port, "--bind", "127.0.0.1",
                                  "--save", "", "--appendonly", "no", "--loglevel", "warning"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, kRedisServer, nullptr, nullptr, argv.data(), environ) != 0) {
        m_pid = -1;
        return;
    }
    for (int attempt = 0; attempt < 200 && m_socket < 0; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        m_socket = connectTo(static_cast<std::uint16_t>(std::stoi(port)));
    }
}

RedisPeer::~RedisPeer() {
    if (m_socket >= 0) {
        close(m_socket);
    }
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        int status = 0;
        waitpid(m_pid, &status, 0);
    }
}

bool RedisPeer::command(const std::vector<std::string>& words) {
    std::string out = "*" + std::to_string(words.size()) + "\r\n";
    for (const std::string& word : words) {
        out += "$" + std::to_string(word.size()) + "\r\n" + word + "\r\n";
    }
    for (std::size_t sent = 0; sent < out.size();) {
        const ssize_t n = send(m_socket, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool RedisPeer::receiveMore() {
    if (m_start > 0) {
        m_buffer.erase(0, m_start);
        m_start = 0;
    }
    char chunk[64 * 1024];
    const ssize_t n = recv(m_socket, chunk, sizeof chunk, 0);
    if (n <= 0) {
        return false;
    }
    m_buffer.append(chunk, static_cast<std::size_t>(n));
    return true;
}

bool RedisPeer::readBytes(std::size_t count, std::string& out) {
    while (m_buffer.size() - m_start < count) {
        if (!receiveMore()) {
            return false;
        }
    }
    out.assign(m_buffer, m_start, count);
    m_start += count;
    return true;
}

bool RedisPeer::readLine(std::string& line) {
    std::size_t end = m_buffer.find("\r\n", m_start);
    while (end == std::string::npos) {
        if (!receiveMore()) {
            return false;
        }
        end = m_buffer.find("\r\n", m_start);
    }
    line.assign(m_buffer, m_start, end - m_start);
    m_start = end + 2;
    return true;
}

bool RedisPeer::fill(const std::string& key, const std::vector<std::string>& rows) {
    std::string line;
    if (!command({"DEL", key}) || !readLine(line)) {
        return false;
    }
    std::vector<std::string> words{"RPUSH", key};
    words.insert(words.end(), rows.begin(), rows.end());
    return command(words) && readLine(line) && line == ":" + std::to_string(rows.size());
}

bool RedisPeer::range(const std::string& key, std::vector<std::string>& rows) {
    std::string line;
    if (!command({"LRANGE", key, "0", "-1"}) || !readLine(line) || line.empty() || line[0] != '*') {
        return false;
    }
    const long count = std::strtol(line.c_str() + 1, nullptr, 10);
    rows.resize(static_cast<std::size_t>(count < 0 ? 0 : count));
    for (std::string& row : rows) {
        if (!readLine(line) || line.empty() || line[0] != '$') {
            return false;
        }
        const long size = std::strtol(line.c_str() + 1, nullptr, 10);
        std::string crlf;
        if (size < 0 || !readBytes(static_cast<std::size_t>(size), row) || !readBytes(2, crlf)) {
            return false;
        }
    }
    return true;
}

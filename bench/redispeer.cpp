#include "bench/redispeer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

constexpr const char* kRedisServer = "/usr/bin/redis-server";
constexpr const char* kRedisBenchmark = "/usr/bin/redis-benchmark";
constexpr const char* kOpenssl = "/usr/bin/openssl";

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

std::vector<char*> argvOf(std::vector<std::string>& words) {
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    return argv;
}

// Runs a program to its end (no shell), its stdout into out, its stderr dropped; true when it
// exited 0.
bool run(std::vector<std::string> words, std::string* out = nullptr) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv = argvOf(words);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    std::string text;
    char chunk[4096];
    for (ssize_t n; spawned == 0 && (n = read(pipeEnds[0], chunk, sizeof chunk)) > 0;) {
        text.append(chunk, static_cast<std::size_t>(n));
    }
    close(pipeEnds[0]);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid) {
        return false;
    }
    if (out != nullptr) {
        *out = std::move(text);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The p50 column of redis-benchmark's --csv row: "test","rps","avg_latency_ms",
// "min_latency_ms","p50_latency_ms",...
double p50Micros(const std::string& csv) {
    std::istringstream lines(csv);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("\"LRANGE", 0) != 0) {
            continue;
        }
        std::istringstream cells(line);
        std::string cell;
        for (int column = 0; column < 5 && std::getline(cells, cell, ','); ++column) {
        }
        if (cell.size() > 2) {
            return 1000.0 * std::strtod(cell.c_str() + 1, nullptr);
        }
    }
    return -1;
}

}  // namespace

RedisPeer::RedisPeer() {
    if (access(kRedisServer, X_OK) != 0) {
        return;
    }
    m_port = tlv::test::unusedLoopbackPort();
    std::vector<std::string> words{kRedisServer, "--port", std::to_string(m_port), "--bind",
                                   "127.0.0.1", "--save", "", "--appendonly", "no",
                                   "--loglevel", "warning"};
    if (makeCertificate()) {
        m_tlsPort = tlv::test::unusedLoopbackPort();
        const std::string folder = m_folder.path();
        words.insert(words.end(), {"--tls-port", std::to_string(m_tlsPort), "--tls-cert-file",
                                   folder + "/cert.pem", "--tls-key-file", folder + "/key.pem",
                                   "--tls-ca-cert-file", folder + "/cert.pem",
                                   "--tls-auth-clients", "no"});
    }
    std::vector<char*> argv = argvOf(words);
    if (posix_spawn(&m_pid, kRedisServer, nullptr, nullptr, argv.data(), environ) != 0) {
        m_pid = -1;
        return;
    }
    for (int attempt = 0; attempt < 200 && m_socket < 0; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        m_socket = connectTo(m_port);
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

// For this run only: a self-signed P-256 certificate, valid a day.
bool RedisPeer::makeCertificate() {
    const std::string folder = m_folder.path();
    return access(kOpenssl, X_OK) == 0 &&
           run({kOpenssl, "req", "-x509", "-newkey", "ec", "-pkeyopt",
                "ec_paramgen_curve:prime256v1", "-nodes", "-days", "1", "-subj", "/CN=localhost",
                "-keyout", folder + "/key.pem", "-out", folder + "/cert.pem"});
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

// One reply line (the fill's replies are all one line).
bool RedisPeer::readLine(std::string& line) {
    std::size_t end = m_buffer.find("\r\n");
    while (end == std::string::npos) {
        char chunk[4096];
        const ssize_t n = recv(m_socket, chunk, sizeof chunk, 0);
        if (n <= 0) {
            return false;
        }
        m_buffer.append(chunk, static_cast<std::size_t>(n));
        end = m_buffer.find("\r\n");
    }
    line = m_buffer.substr(0, end);
    m_buffer.erase(0, end + 2);
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

double RedisPeer::lrangeMedianMicros(const std::string& key, bool tls, int requests) const {
    if (!usable() || (tls && !speaksTls()) || access(kRedisBenchmark, X_OK) != 0) {
        return -1;
    }
    std::vector<std::string> words{kRedisBenchmark, "-h", "127.0.0.1", "-p",
                                   std::to_string(tls ? m_tlsPort : m_port), "-c", "1", "-n",
                                   std::to_string(requests), "--csv"};
    if (tls) {
        words.insert(words.end(), {"--tls", "--cacert", m_folder.path() + "/cert.pem"});
    }
    words.insert(words.end(), {"LRANGE", key, "0", "-1"});
    std::string csv;
    return run(words, &csv) ? p50Micros(csv) : -1;
}

#include "tests/support/tlvsd_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "s100/client/entry_key.h"
#include "s100/wire/admin_key.h"

extern char** environ;

namespace tlv::test {

std::uint16_t unusedLoopbackPort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(probe, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    close(probe);
    return ntohs(address.sin_port);
}
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kStartTimeout{10};

// Reads the first line the child writes, up to the deadline.
std::string readFirstLine(int descriptor, Clock::time_point deadline) {
    std::string line;
    while (line.find('\n') == std::string::npos && line.size() < 256) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd waiting{descriptor, POLLIN, 0};
        if (poll(&waiting, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        char chunk[128];
        const ssize_t got = read(descriptor, chunk, sizeof chunk);
        if (got <= 0) {
            break;
        }
        line.append(chunk, static_cast<std::size_t>(got));
    }
    return line;
}

std::uint16_t portOf(const std::string& line) {
    const std::string prefix = "listening on ";
    const std::size_t colon = line.rfind(':');
    if (line.rfind(prefix, 0) != 0 || colon == std::string::npos) {
        return 0;
    }
    const long port = std::strtol(line.c_str() + colon + 1, nullptr, 10);
    return port > 0 && port <= 65535 ? static_cast<std::uint16_t>(port) : 0;
}

// A temporary folder standing in for the user's configuration, with the test key beside it.
class KeyHome final {
public:
    KeyHome() {
        setenv("XDG_CONFIG_HOME", configFolder().c_str(), 1);
        std::string problem;
        if (!tlv::wire::createAdminKeyFile(keyFile(), m_key, problem)) {
            std::fprintf(stderr, "test key: %s\n", problem.c_str());
        }
    }
    std::string configFolder() const { return m_folder.path() + "/config"; }
    std::string keyFile() const { return m_folder.path() + "/admin.key"; }
    const std::string& key() const { return m_key; }

private:
    TempDir m_folder;
    std::string m_key;
};

KeyHome& keyHome() {
    static KeyHome home;
    return home;
}

bool writePrivateFile(const std::string& path, const std::string& bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const bool written = write(fd, bytes.data(), bytes.size()) ==
                         static_cast<ssize_t>(bytes.size());
    return close(fd) == 0 && written && chmod(path.c_str(), 0600) == 0;
}

}  // namespace

const std::string& testAdminKey() {
    return keyHome().key();
}

const std::string& testAdminKeyFile() {
    static const std::string file = keyHome().keyFile();
    return file;
}

bool installEntryKey(const std::string& entryName) {
    // keyHome() first: it points XDG_CONFIG_HOME at the temporary folder the client then reads.
    const std::string& key = keyHome().key();
    const std::string path = tlv::client::entryKeyPath(entryName);
    if (path.empty()) {
        return false;
    }
    std::error_code ec;
    const std::filesystem::path keys = std::filesystem::path(path).parent_path();
    std::filesystem::create_directories(keys, ec);
    // The client refuses a key in a folder others may write to, whatever the umask made.
    for (const auto& folder : {keys, keys.parent_path(), keys.parent_path().parent_path()}) {
        chmod(folder.c_str(), 0700);
    }
    return !ec && writePrivateFile(path, key);
}

std::string tlvsdPath() {
    return TLVSD_PATH;
}

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/tlv-test-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) {
        m_path = pattern;
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (!m_path.empty()) {
        std::filesystem::remove_all(m_path, ignored);
    }
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string TlvsdProcess::logText() const {
    std::ifstream file(m_logFile, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TlvsdProcess::~TlvsdProcess() {
    // A killed server would leave its running services behind, in process groups of their own.
    terminate(std::chrono::seconds(5));
}

bool TlvsdProcess::start(std::vector<std::string> args) {
    kill();
    m_args = std::move(args);
    return launch("127.0.0.1:0");
}

bool TlvsdProcess::restart() {
    const std::uint16_t previous = m_port;
    kill();
    return (previous != 0 && launch("127.0.0.1:" + std::to_string(previous))) ||
           launch("127.0.0.1:0");
}

bool TlvsdProcess::launch(const std::string& listen) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        return false;
    }
    std::vector<std::string> words{tlvsdPath(), "--listen", listen};
    if (std::find(m_args.begin(), m_args.end(), "--key") == m_args.end()) {
        words.insert(words.end(), {"--key", testAdminKeyFile()});
    }
    words.insert(words.end(), m_args.begin(), m_args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    if (!m_logFile.empty()) {
        posix_spawn_file_actions_addopen(&actions, 2, m_logFile.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0644);
    }
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        return false;
    }
    m_pid = pid;
    const std::string line = readFirstLine(pipeEnds[0], Clock::now() + kStartTimeout);
    close(pipeEnds[0]);
    m_port = portOf(line);
    if (m_port == 0) {
        kill();
        return false;
    }
    return true;
}

int TlvsdProcess::waitForExit(std::chrono::milliseconds timeout) {
    int status = 0;
    const bool ended =
        waitUntil([this, &status] { return waitpid(m_pid, &status, WNOHANG) == m_pid; }, timeout);
    if (!ended) {
        return -2;
    }
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int TlvsdProcess::terminate(std::chrono::milliseconds timeout) {
    if (m_pid <= 0) {
        return -1;
    }
    ::kill(m_pid, SIGTERM);
    const int status = waitForExit(timeout);
    if (status == -2) {
        kill();
        return -1;
    }
    return status;
}

void TlvsdProcess::kill() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

std::unique_ptr<tlv::wire::ClientConnection> TlvsdProcess::connect(
    std::chrono::milliseconds callTimeout) const {
    auto connection = std::make_unique<tlv::wire::ClientConnection>(callTimeout);
    if (connection->connect("127.0.0.1", m_port) != CTerr_NoError ||
        connection->handshake("test", testAdminKey()) != CTerr_NoError) {
        return nullptr;
    }
    return connection;
}

}  // namespace tlv::test

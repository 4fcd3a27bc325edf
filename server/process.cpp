#include "server/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <vector>

#include "platform/process/cmdwords.h"

extern char** environ;

namespace tlv::server {
namespace {

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// Owns the attributes and file actions of one posix_spawn call.
class SpawnSetup final {
public:
    SpawnSetup() {
        posix_spawnattr_init(&m_attributes);
        posix_spawn_file_actions_init(&m_actions);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    int prepare(int outputFd) {
        // The server ignores SIGPIPE and handles SIGCHLD and SIGTERM itself; a service starts
        // with every signal at its default and none blocked.
        sigset_t defaults;
        sigfillset(&defaults);
        sigset_t none;
        sigemptyset(&none);
        int result = posix_spawnattr_setflags(
            &m_attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        if (result == 0)
            result = posix_spawnattr_setpgroup(&m_attributes, 0);
        if (result == 0)
            result = posix_spawnattr_setsigdefault(&m_attributes, &defaults);
        if (result == 0)
            result = posix_spawnattr_setsigmask(&m_attributes, &none);
        if (result == 0) {
            result = posix_spawn_file_actions_addopen(&m_actions, 0, "/dev/null", O_RDONLY, 0);
        }
        if (result == 0)
            result = posix_spawn_file_actions_adddup2(&m_actions, outputFd, 1);
        if (result == 0)
            result = posix_spawn_file_actions_adddup2(&m_actions, 1, 2);
        // Sockets and the store's files stay with the server.
        if (result == 0)
            result = posix_spawn_file_actions_addclosefrom_np(&m_actions, 3);
        return result;
    }

    const posix_spawnattr_t* attributes() const { return &m_attributes; }
    const posix_spawn_file_actions_t* actions() const { return &m_actions; }

private:
    posix_spawnattr_t m_attributes{};
    posix_spawn_file_actions_t m_actions{};
};

}  // namespace

bool executableExists(const std::string& commandLine) {
    const std::vector<std::string> words = platform::SplitCommandLine(commandLine);
    if (words.empty()) {
        return false;
    }
    const std::string& program = words.front();
    if (program.find('/') != std::string::npos) {
        return isExecutableFile(program);
    }
    const char* path = std::getenv("PATH");
    const std::string directories = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= directories.size()) {
        const std::size_t end = std::min(directories.find(':', start), directories.size());
        const std::string directory = directories.substr(start, end - start);
        if (!directory.empty() && isExecutableFile(directory + "/" + program)) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

std::string programOf(const std::string& commandLine) {
    const std::vector<std::string> words = platform::SplitCommandLine(commandLine);
    return words.empty() ? std::string{} : words.front();
}

pid_t spawnService(const std::string& commandLine, int outputFd, int& errorNumber) {
    const std::vector<std::string> words = platform::SplitCommandLine(commandLine);
    if (words.empty()) {
        errorNumber = ENOENT;
        return -1;
    }
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (const std::string& word : words) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);

    SpawnSetup setup;
    errorNumber = setup.prepare(outputFd);
    if (errorNumber != 0) {
        return -1;
    }
    pid_t pid = -1;
    errorNumber =
        posix_spawnp(&pid, argv[0], setup.actions(), setup.attributes(), argv.data(), environ);
    return errorNumber == 0 ? pid : -1;
}

}  // namespace tlv::server

#include "platform/process/spawn.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>
#include <vector>

#include "platform/process/cmdwords.h"

extern char** environ;

namespace tlv::platform {
namespace {

// The attributes and file actions of one posix_spawn call.
class SpawnSetup final {
public:
    SpawnSetup() {
        m_bReady = posix_spawnattr_init(&m_attributes) == 0;
        m_bReady = posix_spawn_file_actions_init(&m_actions) == 0 && m_bReady;
        m_bReady = m_bReady && Prepare();
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    bool IsReady() const { return m_bReady; }
    const posix_spawnattr_t* Attributes() const { return &m_attributes; }
    const posix_spawn_file_actions_t* Actions() const { return &m_actions; }

private:
    bool Prepare() {
        // The program starts with every signal at its default and none blocked, whatever the
        // caller's threads have set up.
        sigset_t defaults;
        sigfillset(&defaults);
        sigset_t none;
        sigemptyset(&none);
        return posix_spawnattr_setflags(&m_attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF |
                                                           POSIX_SPAWN_SETSIGMASK) == 0 &&
               posix_spawnattr_setsigdefault(&m_attributes, &defaults) == 0 &&
               posix_spawnattr_setsigmask(&m_attributes, &none) == 0 &&
               posix_spawn_file_actions_addopen(&m_actions, 0, "/dev/null", O_RDONLY, 0) == 0 &&
               posix_spawn_file_actions_addclosefrom_np(&m_actions, 3) == 0;
    }

    posix_spawnattr_t m_attributes{};
    posix_spawn_file_actions_t m_actions{};
    bool m_bReady = false;
};

// The processes started and not yet collected.
std::vector<pid_t>& StartedProcesses() {
    static std::vector<pid_t> started;
    return started;
}

}  // namespace

void CollectFinishedProcesses() {
    std::vector<pid_t>& started = StartedProcesses();
    std::erase_if(started, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}

void AdoptStartedProcess(pid_t pid) {
    StartedProcesses().push_back(pid);
}

bool StartDetachedProcess(const std::string& commandLine, pid_t* pid) {
    return StartDetachedProgram(SplitCommandLine(commandLine), pid);
}

bool StartDetachedProgram(std::vector<std::string> words, pid_t* pid) {
    CollectFinishedProcesses();
    // A NUL would end its word early: the program would be told something else than asked.
    const auto holdsNul = [](const std::string& word) {
        return word.find('\0') != std::string::npos;
    };
    if (words.empty() || std::any_of(words.begin(), words.end(), holdsNul))
        return false;
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const SpawnSetup setup;
    if (!setup.IsReady())
        return false;
    pid_t started = -1;
    if (posix_spawn(&started, argv[0], setup.Actions(), setup.Attributes(), argv.data(),
                    environ) != 0)
        return false;
    StartedProcesses().push_back(started);
    if (pid != nullptr)
        *pid = started;
    return true;
}

}  // namespace tlv::platform

#include "platform/process/spawnas.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/process/spawn.h"

extern char** environ;

namespace tlv::platform {
namespace {

// Supplementary groups beyond this are not looked up; the kernel's own limit is 65536.
constexpr int kMaxGroups = 65536;

// The user's groups as initgroups would set them; the primary group alone when they cannot be
// listed.
std::vector<gid_t> GroupsOf(const UserIdentity& user) {
    std::vector<gid_t> groups(64);
    for (int count = static_cast<int>(groups.size()); count <= kMaxGroups;) {
        if (getgrouplist(user.name.c_str(), user.gid, groups.data(), &count) >= 0) {
            groups.resize(static_cast<std::size_t>(count));
            return groups;
        }
        if (count <= static_cast<int>(groups.size()))
            break;
        groups.resize(static_cast<std::size_t>(count));
    }
    return {user.gid};
}

bool IsIdentityVariable(const char* entry) {
    for (const char* name : {"HOME=", "USER=", "LOGNAME="}) {
        if (std::strncmp(entry, name, std::strlen(name)) == 0)
            return true;
    }
    return false;
}

std::vector<std::string> EnvironmentOf(const UserIdentity& user) {
    std::vector<std::string> environment;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        if (!IsIdentityVariable(*entry))
            environment.emplace_back(*entry);
    }
    environment.push_back("HOME=" + user.home);
    environment.push_back("USER=" + user.name);
    environment.push_back("LOGNAME=" + user.name);
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    pointers.reserve(words.size() + 1);
    for (std::string& word : words)
        pointers.push_back(word.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The child's part: system calls only. On failure it reports errno through the pipe.
[[noreturn]] void BecomeAndExec(const UserIdentity& user, const std::vector<gid_t>& groups,
                                char* const* argv, char* const* environment, int report) {
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        sigaction(signal, &defaults, nullptr);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const int input = open("/dev/null", O_RDONLY);
    const bool ready = setsid() >= 0 && input >= 0 && dup2(input, 0) == 0 &&
                       setgroups(groups.size(), groups.data()) == 0 && setgid(user.gid) == 0 &&
                       setuid(user.uid) == 0;
    if (ready) {
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        execve(argv[0], argv, environment);
    }
    const int error = errno;
    [[maybe_unused]] const ssize_t written = write(report, &error, sizeof error);
    _exit(127);
}

}  // namespace

bool LookUpUser(const std::string& name, UserIdentity& user) {
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (name.empty() ||
        getpwnam_r(name.c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr)
        return false;
    user = {found->pw_name, found->pw_uid, found->pw_gid, found->pw_dir};
    return true;
}

bool StartDetachedProgramAs(const std::vector<std::string>& argv, const UserIdentity& user,
                            pid_t& pid, std::string& message) {
    if (argv.empty()) {
        message = "no program to start";
        return false;
    }
    if (geteuid() != 0 && geteuid() != user.uid) {
        message = "only root can start a program as " + user.name;
        return false;
    }
    std::vector<std::string> words = argv;
    std::vector<std::string> environment = EnvironmentOf(user);
    const std::vector<char*> wordPointers = Pointers(words);
    const std::vector<char*> environmentPointers = Pointers(environment);
    const std::vector<gid_t> groups = GroupsOf(user);
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        message = std::string("cannot start: ") + std::strerror(errno);
        return false;
    }
    CollectFinishedProcesses();
    const pid_t child = fork();
    if (child == 0)
        BecomeAndExec(user, groups, wordPointers.data(), environmentPointers.data(), report[1]);
    close(report[1]);
    int error = 0;
    ssize_t got = 0;
    if (child > 0) {
        do
            got = read(report[0], &error, sizeof error);
        while (got < 0 && errno == EINTR);
    } else {
        error = errno;
        got = sizeof error;
    }
    close(report[0]);
    if (got != 0) {
        if (child > 0)
            waitpid(child, nullptr, 0);
        message = "cannot start " + argv[0] + " as " + user.name + ": " + std::strerror(error);
        return false;
    }
    AdoptStartedProcess(child);
    pid = child;
    return true;
}

}  // namespace tlv::platform

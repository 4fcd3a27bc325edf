#include "server/process.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/process/cmdwords.h"

namespace tlv::server {
namespace {

// Closes the descriptors first..last in a child about to exec; where the kernel has no
// close_range (before 5.9) one by one, up to the descriptor limit.
void closeDescriptors(unsigned first, unsigned last) {
    if (syscall(SYS_close_range, first, last, 0u) == 0) {
        return;
    }
    constexpr unsigned kHighestWithoutLimit = 65535;
    rlimit limit{};
    unsigned highest = kHighestWithoutLimit;
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        limit.rlim_cur > 0 && limit.rlim_cur - 1 < highest) {
        highest = static_cast<unsigned>(limit.rlim_cur - 1);
    }
    for (unsigned fd = first; fd <= last && fd <= highest; ++fd) {
        close(static_cast<int>(fd));
    }
}

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// Joins the cgroup whose cgroup.procs is open as procs: the child writes its own pid, so that
// it is inside before it runs anything. A refusal leaves the grip to the mark and the group.
void joinCgroup(int procs) {
    if (procs < 0) {
        return;
    }
    char digits[24];
    char* at = digits + sizeof digits;
    for (auto pid = static_cast<unsigned long>(getpid()); pid > 0 || at == digits + sizeof digits;
         pid /= 10) {
        *--at = static_cast<char>('0' + pid % 10);
    }
    (void)!write(procs, at, static_cast<std::size_t>(digits + sizeof digits - at));
    close(procs);
}

// What the child does between fork and exec; only async-signal-safe calls. Returns the errno
// of the step that failed (exec itself does not return on success).
int becomeService(char* const* argv, char* const* envp, int output, pid_t server, int report,
                  int procs) {
    // Its own process group and cgroup, so that a stop reaches everything it started; and
    // killed with the server, so that it never runs unsupervised (the records and marks catch
    // its descendants).
    if (setpgid(0, 0) != 0 || prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) {
        return errno;
    }
    joinCgroup(procs);
    if (getppid() != server) {
        return ESRCH;  // the server died before the death signal was armed
    }
    // The server ignores SIGPIPE and handles SIGCHLD and SIGTERM itself; a service starts with
    // every signal at its default and none blocked.
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) {
        sigaction(signal, &defaults, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const int input = open("/dev/null", O_RDONLY);
    if (input < 0 || dup2(input, 0) < 0 || dup2(output, 1) < 0 || dup2(output, 2) < 0) {
        return errno;
    }
    // Sockets and the store's files stay with the server; the report pipe closes on exec.
    const auto keep = static_cast<unsigned>(report);
    if (keep > 3) {
        closeDescriptors(3u, keep - 1);
    }
    closeDescriptors(keep + 1, ~0u);
    execvpe(argv[0], argv, envp);
    return errno;
}

// tlvsd's environment with the mark in place of any mark it carries itself.
std::vector<std::string> environmentWith(const std::string& mark) {
    const std::string name = mark.substr(0, mark.find('=') + 1);
    std::vector<std::string> entries;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        if (std::string_view(*entry).rfind(name, 0) != 0) {
            entries.emplace_back(*entry);
        }
    }
    entries.push_back(mark);
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    pointers.reserve(words.size() + 1);
    for (std::string& word : words) {
        pointers.push_back(word.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

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

pid_t spawnService(const std::string& commandLine, int outputFd, const Placement& placement,
                   int& errorNumber) {
    std::vector<std::string> words = platform::SplitCommandLine(commandLine);
    if (words.empty()) {
        errorNumber = ENOENT;
        return -1;
    }
    std::vector<char*> argv = pointersTo(words);
    std::vector<std::string> environment = environmentWith(placement.mark);
    std::vector<char*> envp = pointersTo(environment);
    const int procs = placement.cgroup.empty()
                          ? -1
                          : open((placement.cgroup + "/cgroup.procs").c_str(), O_WRONLY | O_CLOEXEC);

    // The child reports a failed exec through this pipe; it closes unread when exec succeeds.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        errorNumber = errno;
        return -1;
    }
    const pid_t server = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        close(report[0]);
        const int failure =
            becomeService(argv.data(), envp.data(), outputFd, server, report[1], procs);
        (void)!write(report[1], &failure, sizeof failure);
        _exit(127);
    }
    close(report[1]);
    if (procs >= 0) {
        close(procs);
    }
    if (pid < 0) {
        errorNumber = errno;
        close(report[0]);
        return -1;
    }
    setpgid(pid, pid);  // also from here, so that a stop right after the start reaches it
    int failure = 0;
    ssize_t got = -1;
    do {
        got = read(report[0], &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    if (got == static_cast<ssize_t>(sizeof failure)) {
        waitpid(pid, nullptr, 0);
        errorNumber = failure;
        return -1;
    }
    errorNumber = 0;
    return pid;
}

}  // namespace tlv::server

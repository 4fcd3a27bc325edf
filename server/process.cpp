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

// What the child does between fork and exec; only async-signal-safe calls. Returns the errno
// of the step that failed (exec itself does not return on success).
int becomeService(char* const* argv, int output, pid_t server, int report) {
    // Its own process group, so that a stop reaches everything it started; and killed with the
    // server, so that it never runs unsupervised (the pid records catch its descendants).
    if (setpgid(0, 0) != 0 || prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) {
        return errno;
    }
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
    execvp(argv[0], argv);
    return errno;
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
        const int failure = becomeService(argv.data(), outputFd, server, report[1]);
        (void)!write(report[1], &failure, sizeof failure);
        _exit(127);
    }
    close(report[1]);
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

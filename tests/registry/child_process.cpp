#include "tests/registry/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

extern char** environ;

namespace {

pid_t Spawn(const std::vector<std::string>& argv, int outFd, int errFd, int inFd = -1) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (inFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, inFd, STDIN_FILENO);
    }
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    if (errFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
    }
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int ExitCode(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The child's standard input: /dev/null, or the far end of a pseudo-terminal whose near end
// stays open (and silent) while the child runs.
class ChildInput final {
public:
    explicit ChildInput(bool bTerminal) {
        if (!bTerminal) {
            m_nChildEnd = open("/dev/null", O_RDONLY | O_CLOEXEC);
            return;
        }
        m_nNearEnd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_nNearEnd < 0 || grantpt(m_nNearEnd) != 0 || unlockpt(m_nNearEnd) != 0) {
            return;
        }
        const char* name = ptsname(m_nNearEnd);
        if (name != nullptr) {
            m_nChildEnd = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        }
    }
    ~ChildInput() {
        for (const int fd : {m_nChildEnd, m_nNearEnd}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }
    ChildInput(const ChildInput&) = delete;
    ChildInput& operator=(const ChildInput&) = delete;
    int ChildEnd() const { return m_nChildEnd; }

private:
    int m_nNearEnd = -1;
    int m_nChildEnd = -1;
};

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& scratchFolder,
                         bool bTerminalInput) {
    const std::string outPath = scratchFolder + "/child.out";
    const std::string errPath = scratchFolder + "/child.err";
    const int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const ChildInput input(bTerminalInput);
    ProcessResult result;
    if (outFd >= 0 && errFd >= 0 && input.ChildEnd() >= 0) {
        const pid_t pid = Spawn(argv, outFd, errFd, input.ChildEnd());
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid) {
            result.exitCode = ExitCode(status);
        }
    }
    if (outFd >= 0) {
        close(outFd);
    }
    if (errFd >= 0) {
        close(errFd);
    }
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    return result;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return;
    }
    m_nPid = Spawn(argv, fds[1], -1);
    close(fds[1]);
    m_nOutput = fds[0];
}

ChildProcess::~ChildProcess() {
    if (m_nPid > 0) {
        KillAndWait(SIGKILL);
    }
    if (m_nOutput >= 0) {
        close(m_nOutput);
    }
}

std::string ChildProcess::ReadLine() {
    std::string line;
    char c = 0;
    while (m_nOutput >= 0 && read(m_nOutput, &c, 1) == 1 && c != '\n') {
        line += c;
    }
    return line;
}

int ChildProcess::KillAndWait(int signal) {
    int status = 0;
    if (m_nPid > 0) {
        kill(m_nPid, signal);
        waitpid(m_nPid, &status, 0);
        m_nPid = -1;
    }
    return status;
}

int ChildProcess::Wait() {
    int status = 0;
    if (m_nPid <= 0 || waitpid(m_nPid, &status, 0) != m_nPid) {
        return -1;
    }
    m_nPid = -1;
    return ExitCode(status);
}

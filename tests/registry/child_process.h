#pragma once
// Child processes for tests, started with posix_spawn (no shell).

#include <sys/types.h>

#include <string>
#include <vector>

struct ProcessResult {
    int exitCode = -1;  // -1 when the process could not run or did not exit normally
    std::string out;
    std::string err;
};

// Runs the program to its end, capturing its output in files of the scratch folder. Its
// standard input is /dev/null, or a terminal (a pseudo-terminal nobody types on) when asked.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& scratchFolder,
                         bool bTerminalInput = false);

// A running child whose standard output is a pipe; killed and reaped when it goes.
class ChildProcess final {
public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool IsRunning() const { return m_nPid > 0; }
    // Reads one line of the child's output (without the newline); empty at its end.
    std::string ReadLine();
    // Sends the signal and waits; returns the wait status.
    int KillAndWait(int signal);
    // Waits for the exit; the exit code, or -1.
    int Wait();

private:
    pid_t m_nPid = -1;
    int m_nOutput = -1;
};

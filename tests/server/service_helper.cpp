// A service program for the tests: writes its pid to a file, may ignore SIGTERM, may start a
// child of its own in its process group (which writes its pid too), may start a daemon the
// usual way (fork, setsid, fork again, the middle one exits; the daemon ignores SIGTERM and adds
// its pid as a line to its file), writes lines to stdout or stderr, then exits with a code or
// sleeps (at most a minute, so nothing is left behind for long).
//   service_helper [--pid-file FILE] [--ignore-term] [--child-pid-file FILE]
//                  [--daemon-pid-file FILE] [--say TEXT]... [--complain TEXT]... [--count N]
//                  [--exit CODE]
//   --count N writes the lines "line 1" to "line N" to stdout.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void writePid(const char* path) {
    const std::string temporary = std::string(path) + ".tmp";
    if (FILE* file = std::fopen(temporary.c_str(), "w")) {
        std::fprintf(file, "%d\n", static_cast<int>(getpid()));
        std::fclose(file);
        std::rename(temporary.c_str(), path);
    }
}

void appendPid(const char* path) {
    if (FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%d\n", static_cast<int>(getpid()));
        std::fclose(file);
    }
}

// Returns in the daemon only; the caller goes on as before.
bool startDaemon(const char* path) {
    const pid_t middle = fork();
    if (middle != 0) {
        waitpid(middle, nullptr, 0);
        return false;
    }
    setsid();
    // The middle one waits for the daemon's pid to be written, so the service goes on (and may
    // end) only once its daemon is on record.
    int written[2];
    if (pipe(written) != 0) {
        _exit(1);
    }
    if (fork() != 0) {
        char done = 0;
        (void)!read(written[0], &done, 1);
        _exit(0);
    }
    signal(SIGTERM, SIG_IGN);
    appendPid(path);
    (void)!write(written[1], "x", 1);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        // Flushed at once, so stdout and stderr lines arrive in the order written.
        if (std::strcmp(argv[i], "--say") == 0 && i + 1 < argc) {
            std::printf("%s\n", argv[++i]);
            std::fflush(stdout);
        } else if (std::strcmp(argv[i], "--complain") == 0 && i + 1 < argc) {
            std::fprintf(stderr, "%s\n", argv[++i]);
        } else if (std::strcmp(argv[i], "--count") == 0 && i + 1 < argc) {
            const int count = std::atoi(argv[++i]);
            for (int line = 1; line <= count; ++line) {
                std::printf("line %d\n", line);
            }
            std::fflush(stdout);
        } else if (std::strcmp(argv[i], "--exit") == 0 && i + 1 < argc) {
            return std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--ignore-term") == 0) {
            signal(SIGTERM, SIG_IGN);
        } else if (std::strcmp(argv[i], "--pid-file") == 0 && i + 1 < argc) {
            writePid(argv[++i]);
        } else if (std::strcmp(argv[i], "--daemon-pid-file") == 0 && i + 1 < argc) {
            if (startDaemon(argv[++i])) {
                break;
            }
        } else if (std::strcmp(argv[i], "--child-pid-file") == 0 && i + 1 < argc) {
            const char* path = argv[++i];
            if (fork() == 0) {
                writePid(path);
                break;
            }
        }
    }
    for (int second = 0; second < 60; ++second) {
        sleep(1);
    }
    return 0;
}

// A service program for the tests: writes its pid to a file, may ignore SIGTERM, may start a
// child of its own in its process group (which writes its pid too), then sleeps (at most a
// minute, so nothing is left behind for long).
//   service_helper [--pid-file FILE] [--ignore-term] [--child-pid-file FILE]
#include <signal.h>
#include <unistd.h>

#include <cstdio>
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

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ignore-term") == 0) {
            signal(SIGTERM, SIG_IGN);
        } else if (std::strcmp(argv[i], "--pid-file") == 0 && i + 1 < argc) {
            writePid(argv[++i]);
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

// Helper process for the registry tests:
//   registry_test_writer write FILE KEY PREFIX COUNT   writes PREFIX0..PREFIX<COUNT-1>, one
//                                                       call each, then exits 0
//   registry_test_writer hold FILE KEY COUNT           writes COUNT values in one transaction,
//                                                       prints "ready", then waits to be killed
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/registry/regapi.h"

namespace {

bool WriteValues(HKEY key, const std::string& prefix, int count) {
    for (int i = 0; i < count; ++i) {
        const std::string name = prefix + std::to_string(i);
        if (RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(name.c_str()),
                           static_cast<DWORD>(name.size() + 1)) != ERROR_SUCCESS) {
            std::fprintf(stderr, "cannot write %s\n", name.c_str());
            return false;
        }
    }
    return true;
}

HKEY CreateKey(const char* path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot create %s\n", path);
        return nullptr;
    }
    return key;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const bool write = mode == "write" && argc == 6;
    const bool hold = mode == "hold" && argc == 5;
    if (!write && !hold) {
        std::fprintf(stderr, "usage: write FILE KEY PREFIX COUNT | hold FILE KEY COUNT\n");
        return 2;
    }
    std::string message;
    if (RegUseRegistryFile(argv[2], &message) != ERROR_SUCCESS) {
        std::fprintf(stderr, "%s\n", message.c_str());
        return 2;
    }
    HKEY key = CreateKey(argv[3]);
    if (key == nullptr) {
        return 1;
    }
    if (write) {
        return WriteValues(key, argv[4], std::atoi(argv[5])) ? 0 : 1;
    }
    RegTransaction transaction;
    if (transaction.Status() != ERROR_SUCCESS || !WriteValues(key, "held", std::atoi(argv[4]))) {
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    pause();
    return 0;
}

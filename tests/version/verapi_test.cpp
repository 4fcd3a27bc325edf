// The version-resource calls over a real program and the German test library.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/version/projectversion.h"
#include "platform/version/verapi.h"

namespace {

std::vector<char> VersionBlock(const char* file) {
    DWORD handle = 7;
    const DWORD size = GetFileVersionInfoSizeA(file, &handle);
    EXPECT_EQ(handle, 0u);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(file, handle, size, block.data()))
        block.clear();
    return block;
}

std::string Query(const std::vector<char>& block, const char* path) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path, &value, &length))
        return "(none)";
    const std::string text = static_cast<const char*>(value);
    EXPECT_EQ(length, text.size() + 1);
    return text;
}

TEST(VersionInfo, ValuesAreFoundByPathInAnyLetterCase) {
    const std::vector<char> program = VersionBlock(TLV_TLVREG);
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(Query(program, "\\StringFileInfo\\040904b0\\ProductVersion"), kProjectVersion);
    EXPECT_EQ(Query(program, "\\stringfileinfo\\040904B0\\productversion"), kProjectVersion);
    EXPECT_EQ(Query(program, "\\StringFileInfo\\040704e4\\ProductVersion"), "(none)");
    EXPECT_EQ(Query(program, "\\StringFileInfo\\040904b0\\ProductVersio"), "(none)");

    const std::vector<char> german = VersionBlock(TLV_GERMAN_LIB);
    ASSERT_FALSE(german.empty());
    EXPECT_EQ(Query(german, "\\StringFileInfo\\040704e4\\ProductVersion"), "7.0-de");
    EXPECT_EQ(Query(german, "\\StringFileInfo\\040904b0\\ProductVersion"), "7.0-us");
}

TEST(VersionInfo, NoVersionAndShortBuffersFail) {
    DWORD handle = 0;
    EXPECT_EQ(GetFileVersionInfoSizeA("/proc/self/exe", &handle), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA("/nonexistent", &handle), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA(nullptr, &handle), 0u);

    const DWORD size = GetFileVersionInfoSizeA(TLV_TLVREG, &handle);
    ASSERT_GT(size, 4u);
    std::vector<char> block(size, '\x55');
    EXPECT_EQ(GetFileVersionInfoA(TLV_TLVREG, 0, size - 1, block.data()), 0);
    EXPECT_EQ(GetFileVersionInfoA(TLV_TLVREG, 0, 3, block.data()), 0);
    EXPECT_EQ(block.front(), '\x55');  // nothing written on failure
    EXPECT_EQ(GetFileVersionInfoA(TLV_TLVREG, 0, size, nullptr), 0);
}

// A FIFO named like a library, reached directly or through a link: reading it would wait for a
// writer that never comes. Should the call wait all the same, a writer appears after 5 s so
// that the test ends and fails instead of hanging.
TEST(VersionInfo, AFifoIsNeverWaitedOn) {
    std::string folder = (std::filesystem::temp_directory_path() / "tlvfifo-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    const std::string fifo = folder + "/pipe.so";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0755), 0);
    std::filesystem::create_symlink(fifo, folder + "/libpipe.so");

    std::atomic<bool> bDone = false;
    std::atomic<bool> bReleased = false;
    std::thread watchdog([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!bDone && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        while (!bDone) {
            // Opens only while a reader waits; the reader then reads the end of the file.
            if (const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); fd >= 0) {
                bReleased = true;
                close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    DWORD handle = 0;
    EXPECT_EQ(GetFileVersionInfoSizeA(fifo.c_str(), &handle), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA((folder + "/libpipe.so").c_str(), &handle), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA("/dev/null", &handle), 0u);
    bDone = true;
    watchdog.join();
    EXPECT_FALSE(bReleased) << "the FIFO was opened and waited on";
    std::filesystem::remove_all(folder);
}

}  // namespace

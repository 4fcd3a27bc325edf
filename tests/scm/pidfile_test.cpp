// Pid files: written whole and locked, stale ones recognised, removed only by their writer.
#include "platform/process/pidfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "tests/scm/service_fixture.h"

namespace tlv::test {
namespace {

TEST(PidFile, HeldWhileTheWriterLivesAndRemovedByItOnly) {
    TempDir dir;
    const std::string path = dir.path() + "/run.pid";
    std::string message;
    {
        tlv::platform::PidFileWriter writer;
        ASSERT_TRUE(writer.Write(path, message)) << message;
        EXPECT_EQ(FileBytes(path), std::to_string(getpid()) + "\n");
        EXPECT_EQ(tlv::platform::ReadLivePid(path), getpid());
        tlv::platform::PidFileWriter second;
        EXPECT_FALSE(second.Write(path, message));
        EXPECT_EQ(message, path + " belongs to a running program");
    }
    EXPECT_NE(access(path.c_str(), F_OK), 0);

    // A file replaced behind the writer's back is left to whoever replaced it.
    {
        tlv::platform::PidFileWriter writer;
        ASSERT_TRUE(writer.Write(path, message)) << message;
        ASSERT_EQ(unlink(path.c_str()), 0);
        std::ofstream(path) << "12345\n";
    }
    EXPECT_EQ(FileBytes(path), "12345\n");
}

TEST(PidFile, UnheldMissingOrMalformedFilesNameNoProcess) {
    TempDir dir;
    const std::string path = dir.path() + "/run.pid";
    EXPECT_EQ(tlv::platform::ReadLivePid(path), std::nullopt);
    for (const char* text : {"", "\n", "abc\n", "1\n", "-5\n", "12 34\n", "99999999999999999999\n"}) {
        std::ofstream(path, std::ios::trunc) << text;
        EXPECT_EQ(tlv::platform::ReadLivePid(path), std::nullopt) << text;
    }
    // The number of a live process, but nobody holds the file: left over, not running.
    std::ofstream(path, std::ios::trunc) << getpid() << "\n";
    EXPECT_EQ(tlv::platform::ReadLivePid(path), std::nullopt);
    // A stale file is taken over.
    tlv::platform::PidFileWriter writer;
    std::string message;
    EXPECT_TRUE(writer.Write(path, message)) << message;
    EXPECT_EQ(tlv::platform::ReadLivePid(path), getpid());
}

TEST(PidFile, TlvsdWritesItOnceListeningAndRemovesItOnSigterm) {
    TempDir dir;
    const std::string path = dir.path() + "/tlvsd.pid";
    TlvsdProcess server;
    ASSERT_TRUE(server.start({"--pid-file", path}));
    EXPECT_EQ(FileBytes(path), std::to_string(server.pid()) + "\n");
    EXPECT_EQ(tlv::platform::ReadLivePid(path), server.pid());
    EXPECT_EQ(server.terminate(), 0);
    EXPECT_NE(access(path.c_str(), F_OK), 0);

    TlvsdProcess bad;
    EXPECT_FALSE(bad.start({"--pid-file", ""}));
}

}  // namespace
}  // namespace tlv::test

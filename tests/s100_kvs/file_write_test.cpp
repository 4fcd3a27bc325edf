// Writing a new file where the file system refuses hard links, renames that keep a name, or
// the disk: never a replaced file, never a part of one, never a temporary left behind.

#include "s100/kvs/file_write.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>

namespace s100 {
namespace {

namespace fs = std::filesystem;

// A file system as the test plays it: link() and the no-replace rename fail with the errno
// given (0: the real call); writes to the file named failingFile fail after a first short one,
// or every write fails on a full disk.
class PlayedCalls final : public FileCalls {
public:
    int linkError = 0;
    int renameError = 0;
    std::string failingFile;
    bool bDiskFull = false;
    mutable int links = 0;
    mutable int renames = 0;

    int link(const char* from, const char* to) const override {
        ++links;
        return linkError == 0 ? FileCalls::link(from, to) : refuse(linkError);
    }
    int renameNoReplace(const char* from, const char* to) const override {
        ++renames;
        return renameError == 0 ? FileCalls::renameNoReplace(from, to) : refuse(renameError);
    }
    ssize_t write(int fd, const void* data, std::size_t count) const override {
        const bool bFailingFile = !failingFile.empty() && PathOf(fd) == failingFile;
        if (bDiskFull || (bFailingFile && m_bWroteToFailingFile)) {
            errno = ENOSPC;
            return -1;
        }
        m_bWroteToFailingFile = m_bWroteToFailingFile || bFailingFile;
        // Short writes, so that a file is partial when a later write fails.
        return FileCalls::write(fd, data, count > 4 ? count / 2 : count);
    }

private:
    static int refuse(int error) {
        errno = error;
        return -1;
    }
    static std::string PathOf(int fd) {
        return fs::read_symlink("/proc/self/fd/" + std::to_string(fd)).string();
    }

    mutable bool m_bWroteToFailingFile = false;
};

class FileWriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/file_write_test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        target_ = folder_ / "sales.ief";
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string readText(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    size_t filesInFolder() {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder_), {}));
    }

    const std::string text_ = "Sales Application\n{ KEY_AsiName: \"A1\" }\n";
    fs::path folder_;
    fs::path target_;
};

TEST_F(FileWriteTest, WhereLinksAreRefusedANoReplaceRenameNamesTheFile) {
    for (const int refusal : {EPERM, EXDEV, ENOTSUP, ENOSYS, EMLINK}) {
        PlayedCalls calls;
        calls.linkError = refusal;
        FileError error;
        ASSERT_TRUE(writeNewFile(target_, text_, error, calls)) << refusal << error.message;
        EXPECT_EQ(calls.renames, 1);
        EXPECT_EQ(readText(target_), text_);
        EXPECT_EQ(filesInFolder(), 1u) << "no temporary file is left behind";

        EXPECT_FALSE(writeNewFile(target_, "other", error, calls));
        EXPECT_EQ(error.code, CTerr_Exists) << refusal;
        EXPECT_EQ(readText(target_), text_);
        EXPECT_EQ(filesInFolder(), 1u);
        fs::remove(target_);
    }
}

TEST_F(FileWriteTest, WhereRenamesReplaceTooTheFileIsCreatedExclusively) {
    PlayedCalls calls;
    calls.linkError = EPERM;
    calls.renameError = EINVAL;
    FileError error;
    ASSERT_TRUE(writeNewFile(target_, text_, error, calls)) << error.message;
    EXPECT_EQ(readText(target_), text_);
    EXPECT_EQ(filesInFolder(), 1u);

    // An existing file stays as it is, whichever way it would have been named.
    EXPECT_FALSE(writeNewFile(target_, "other", error, calls));
    EXPECT_EQ(error.code, CTerr_Exists);
    EXPECT_EQ(error.message, target_.string() + ": File exists");
    EXPECT_EQ(readText(target_), text_);
    EXPECT_EQ(filesInFolder(), 1u);
    fs::remove(target_);

    // A disk that fails while the file is written under its own name leaves no part of it.
    calls.failingFile = target_.string();
    EXPECT_FALSE(writeNewFile(target_, text_, error, calls));
    EXPECT_EQ(error.code, CTerr_FileWrite);
    EXPECT_EQ(error.message, target_.string() + ": No space left on device");
    EXPECT_EQ(filesInFolder(), 0u);
}

TEST_F(FileWriteTest, OtherFailuresAreReportedAndLeaveNothing) {
    FileError error;
    PlayedCalls failingDisk;
    failingDisk.bDiskFull = true;
    EXPECT_FALSE(writeNewFile(target_, text_, error, failingDisk));
    EXPECT_EQ(error.code, CTerr_FileWrite);
    EXPECT_EQ(failingDisk.links, 0);

    // A link that fails for another reason than missing links is not worked around.
    PlayedCalls brokenLink;
    brokenLink.linkError = EIO;
    EXPECT_FALSE(writeNewFile(target_, text_, error, brokenLink));
    EXPECT_EQ(error.code, CTerr_FileCreate);
    EXPECT_EQ(brokenLink.renames, 0);

    // A name taken between the checks of another writer and this one.
    PlayedCalls raced;
    raced.linkError = EPERM;
    raced.renameError = EEXIST;
    EXPECT_FALSE(writeNewFile(target_, text_, error, raced));
    EXPECT_EQ(error.code, CTerr_Exists);

    EXPECT_FALSE(writeNewFile(folder_ / "missing" / "x.ief", text_, error));
    EXPECT_EQ(error.code, CTerr_FileCreate);
    EXPECT_EQ(filesInFolder(), 0u);
}

}  // namespace
}  // namespace s100

#include "s100/kvs/profile_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace s100 {
namespace {

namespace fs = std::filesystem;

class ProfileFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/s100_kvs_test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    static ProfileFile sample() {
        ProfileFile profile{"Sales", "Application", {}};
        profile.contents.put(KEY_AsiName, Value::string("A1"));
        return profile;
    }
    void writeText(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string readText(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    size_t filesInFolder() {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder_), {}));
    }

    fs::path folder_;
};

TEST_F(ProfileFileTest, WritesAndReadsBack) {
    const fs::path path = folder_ / "sales.ief";
    FileError error;
    ASSERT_TRUE(writeProfileFile(path, sample(), WriteMode::CreateNew, error)) << error.message;
    EXPECT_EQ(readText(path), "Sales Application\n{\n  KEY_AsiName: \"A1\"\n}\n");
    const std::optional<ProfileFile> back = readProfileFile(path, error);
    ASSERT_TRUE(back) << error.message;
    EXPECT_EQ(*back, sample());
    EXPECT_EQ(filesInFolder(), 1u) << "no temporary file is left behind";
}

TEST_F(ProfileFileTest, CreateNewNeverReplacesAFile) {
    const fs::path path = folder_ / "sales.ief";
    writeText(path, "keep me");
    FileError error;
    EXPECT_FALSE(writeProfileFile(path, sample(), WriteMode::CreateNew, error));
    EXPECT_EQ(error.code, CTerr_Exists);
    EXPECT_EQ(readText(path), "keep me");
    EXPECT_EQ(filesInFolder(), 1u);

    ASSERT_TRUE(writeProfileFile(path, sample(), WriteMode::Replace, error)) << error.message;
    EXPECT_EQ(readText(path).substr(0, 18), "Sales Application\n");
    EXPECT_EQ(filesInFolder(), 1u);
}

TEST_F(ProfileFileTest, FailedWritesLeaveNothingBehind) {
    FileError error;
    EXPECT_FALSE(
        writeProfileFile(folder_ / "missing" / "x.ief", sample(), WriteMode::CreateNew, error));
    EXPECT_EQ(error.code, CTerr_FileCreate);
    ProfileFile spaced = sample();
    spaced.name = "two words";
    EXPECT_FALSE(writeProfileFile(folder_ / "x.ief", spaced, WriteMode::CreateNew, error));
    EXPECT_EQ(error.code, CTerr_InvalidArgument);
    spaced.name.clear();
    std::string text;
    EXPECT_EQ(printProfileFile(spaced, text), CTerr_InvalidArgument);
    EXPECT_EQ(filesInFolder(), 0u);
}

TEST_F(ProfileFileTest, ReadErrorsSayWhereAndWhy) {
    FileError error;
    EXPECT_FALSE(readProfileFile(folder_ / "absent.ief", error));
    EXPECT_EQ(error.code, CTerr_FileOpen);

    const fs::path path = folder_ / "bad.ief";
    writeText(path, "Sales Application\n{\n  KEY_Foo: 1\n}\n");
    EXPECT_FALSE(readProfileFile(path, error));
    EXPECT_EQ(error.code, CTerr_BadProfileFile);
    EXPECT_EQ(error.message, path.string() + ": line 3, column 3: unknown symbol name 'KEY_Foo'");

    ParseError parseError;
    EXPECT_FALSE(parseProfileFile("Sales\n{ }", parseError));
    EXPECT_EQ(parseError.message, "expected the profile class after the name");
    EXPECT_EQ(parseError.position.column, 6);
    EXPECT_FALSE(parseProfileFile("Sales Application { }", parseError));
    EXPECT_EQ(parseError.message, "expected a line break after the profile class");
    EXPECT_EQ(parseError.position.column, 19);
    EXPECT_FALSE(parseProfileFile("", parseError));
    EXPECT_EQ(parseError.message, "expected the profile name");
    EXPECT_FALSE(parseProfileFile("Sales Application\n", parseError));
    EXPECT_EQ(parseError.message, "empty input: expected '{'");
    EXPECT_EQ(parseError.position.line, 2);
    EXPECT_FALSE(parseProfileFile("Sales Application\n{ } extra", parseError));
    EXPECT_EQ(parseError.message, "unexpected text after the KV set");

    const std::optional<ProfileFile> crlf =
        parseProfileFile("\n  Sales\tApplication  \r\n{ KEY_AsiName: \"A1\" }\r\n", parseError);
    ASSERT_TRUE(crlf) << parseError.text();
    EXPECT_EQ(crlf->name, "Sales");
    EXPECT_EQ(crlf->profileClass, "Application");
}

}  // namespace
}  // namespace s100

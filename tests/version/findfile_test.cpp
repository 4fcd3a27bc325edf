// Wildcard enumeration: shared libraries for "*.dll", executables for "*.exe", folders with
// their attribute.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "platform/files/findfile.h"

namespace {

namespace fs = std::filesystem;

class FindFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tlvfind-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
    }
    void TearDown() override { fs::remove_all(m_folder); }

    void MakeFile(const std::string& name, bool executable) {
        std::ofstream(m_folder / name) << "x";
        if (executable)
            chmod((m_folder / name).c_str(), 0755);
    }

    // Name -> attribute of every entry found.
    std::map<std::string, DWORD> Find(const char* wildcard) {
        std::map<std::string, DWORD> found;
        WIN32_FIND_DATAA data;
        const std::string pattern = (m_folder / wildcard).string();
        HANDLE search = FindFirstFileA(pattern.c_str(), &data);
        if (search == INVALID_HANDLE_VALUE)
            return found;
        do {
            found[data.cFileName] = data.dwFileAttributes;
        } while (FindNextFileA(search, &data));
        EXPECT_EQ(FindClose(search), 1);
        return found;
    }

    fs::path m_folder;
};

TEST_F(FindFileTest, ProgramFileKindsAndFolders) {
    MakeFile("libb.so", true);
    MakeFile("libc.so.1", false);
    MakeFile("tool", true);
    MakeFile("notes.txt", false);
    MakeFile("not-a-lib.sox", false);
    fs::create_directory(m_folder / "plugins.so");
    fs::create_directory(m_folder / "bin");
    fs::create_symlink(m_folder / "missing", m_folder / "dangling");
    // Named like program files, but no files to read.
    ASSERT_EQ(mkfifo((m_folder / "pipe.so").c_str(), 0644), 0);
    ASSERT_EQ(mkfifo((m_folder / "runner").c_str(), 0755), 0);

    EXPECT_EQ(Find("*.dll"),
              (std::map<std::string, DWORD>{{"libb.so", FILE_ATTRIBUTE_NORMAL},
                                            {"libc.so.1", FILE_ATTRIBUTE_NORMAL},
                                            {"plugins.so", FILE_ATTRIBUTE_DIRECTORY}}));
    EXPECT_EQ(Find("*.EXE"), (std::map<std::string, DWORD>{{"tool", FILE_ATTRIBUTE_NORMAL},
                                                           {"bin", FILE_ATTRIBUTE_DIRECTORY}}));
    EXPECT_EQ(Find("*.txt"), (std::map<std::string, DWORD>{{"notes.txt", FILE_ATTRIBUTE_NORMAL}}));
}

TEST_F(FindFileTest, NothingToFind) {
    MakeFile("readme", false);
    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA((m_folder / "*.dll").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileA((m_folder / "absent" / "*.exe").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindNextFileA(INVALID_HANDLE_VALUE, &data), 0);
    EXPECT_EQ(FindClose(INVALID_HANDLE_VALUE), 0);
}

}  // namespace

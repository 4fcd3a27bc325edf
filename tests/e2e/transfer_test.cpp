// Profile import and export through real files in a temporary folder.
#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/e2e/e2e_support.h"

namespace tlv::e2e {
namespace {

std::string readAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeAll(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}

// Caps the size of files this process writes while it lives; a write past the cap fails (with
// EFBIG, the signal being ignored) instead of ending the process.
class FileSizeCap final {
public:
    explicit FileSizeCap(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = signal(SIGXFSZ, SIG_IGN);
        const rlimit capped{bytes, m_saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &capped);
    }
    ~FileSizeCap() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        signal(SIGXFSZ, m_savedHandler);
    }
    FileSizeCap(const FileSizeCap&) = delete;
    FileSizeCap& operator=(const FileSizeCap&) = delete;

private:
    rlimit m_saved{};
    sighandler_t m_savedHandler = nullptr;
};

class TransferTest : public ServerTest {
protected:
    CTerror importFile(const std::string& file, const char* name, const char* profileClass) {
        Record record;
        return outcome(
            CTadm_ImportProfile(m_session, file.c_str(), name, profileClass, record.get(), nullptr),
            record);
    }
    CTerror exportFile(const std::string& file, const char* name, const char* profileClass) {
        Record record;
        return outcome(
            CTadm_ExportProfile(m_session, file.c_str(), name, profileClass, record.get(), nullptr),
            record);
    }
    // The AsiName string of the stored profile, or "" when it cannot be read.
    std::string storedText(const char* name, const char* profileClass) {
        Record record;
        KvSet ignored;
        if (outcome(CTadm_GetProfileInfo(m_session, name, profileClass, 1, ignored.get(),
                                         record.get(), nullptr),
                    record) != CTerr_NoError) {
            return "";
        }
        const CTkvs* contents = nullptr;
        std::uint32_t count = 0;
        const char* text = nullptr;
        if (CTkvs_GetKVSetArray(record.results(), KEY_ProfileContents, &contents, &count,
                                nullptr) != CT_SUCCESS ||
            count != 1 || CTkvs_GetString(contents[0], KEY_AsiName, &text, nullptr) != CT_SUCCESS) {
            return "";
        }
        return text;
    }
    std::string path(const std::string& name) const { return m_files.path() + "/" + name; }

    tlv::test::TempDir m_files;
};

TEST_F(TransferTest, ExportThenImportUnderTheGivenNameAndClassRoundTrips) {
    writeAll(
        path("proposal.ief"),
        "  Proposed   Offer\n{ KEY_AsiName: \"caf\\xe9 \\\"quoted\\\"\" SVC_MaxRestarts: +3 }\n");
    ASSERT_EQ(importFile(path("proposal.ief"), "Main", "Application"), CTerr_NoError);
    EXPECT_EQ(storedText("Main", "Application"), "caf\xe9 \"quoted\"");
    EXPECT_EQ(storedText("Proposed", "Offer"), "") << "the file's own name is only a proposal";

    ASSERT_EQ(exportFile(path("main.ief"), "Main", "Application"), CTerr_NoError);
    std::istringstream exported(readAll(path("main.ief")));
    std::string name;
    std::string profileClass;
    exported >> name >> profileClass;
    EXPECT_EQ(name, "Main");
    EXPECT_EQ(profileClass, "Application");

    ASSERT_EQ(importFile(path("main.ief"), "Copy", "Application"), CTerr_NoError);
    EXPECT_EQ(storedText("Copy", "Application"), "caf\xe9 \"quoted\"");
}

TEST_F(TransferTest, ImportRefusesMissingInvalidAndExistingProfiles) {
    EXPECT_EQ(importFile(path("absent.ief"), "Main", "Application"), CTerr_FileOpen);
    EXPECT_EQ(importFile(m_files.path(), "Main", "Application"), CTerr_FileOpen) << "a folder";

    writeAll(path("broken.ief"), "Main Application\n{ KEY_AsiName: \"unterminated }\n");
    EXPECT_EQ(importFile(path("broken.ief"), "Main", "Application"), CTerr_BadProfileFile);
    writeAll(path("empty.ief"), "");
    EXPECT_EQ(importFile(path("empty.ief"), "Main", "Application"), CTerr_BadProfileFile);
    writeAll(path("unknown.ief"), "Main Application\n{ KEY_NoSuchKey: 1 }\n");
    EXPECT_EQ(importFile(path("unknown.ief"), "Main", "Application"), CTerr_BadProfileFile);

    writeAll(path("good.ief"), "Main Application\n{ KEY_AsiName: \"one\" }\n");
    ASSERT_EQ(importFile(path("good.ief"), "Main", "Application"), CTerr_NoError);
    EXPECT_EQ(importFile(path("good.ief"), "Main", "Application"), CTerr_Exists);
    EXPECT_EQ(importFile(path("good.ief"), nullptr, "Application"), CTerr_InvalidArgument);
}

TEST_F(TransferTest, ExportNeverOverwritesAndLeavesNoFileOnFailure) {
    writeAll(path("good.ief"), "Main Application\n{ KEY_AsiName: \"one\" }\n");
    ASSERT_EQ(importFile(path("good.ief"), "Main", "Application"), CTerr_NoError);

    writeAll(path("taken.ief"), "precious");
    EXPECT_EQ(exportFile(path("taken.ief"), "Main", "Application"), CTerr_Exists);
    EXPECT_EQ(readAll(path("taken.ief")), "precious");

    EXPECT_EQ(exportFile(path("no/such/folder/main.ief"), "Main", "Application"), CTerr_FileCreate);
    EXPECT_EQ(exportFile(path("ghost.ief"), "Ghost", "Application"), CTerr_NotFound);
    EXPECT_EQ(exportFile(path("ghost.ief"), "Main", "RoutingRules"), CTerr_NotFound);
    EXPECT_EQ(exportFile(path("ghost.ief"), "", ""), CTerr_NotFound) << "not one profile";
    EXPECT_FALSE(std::filesystem::exists(path("ghost.ief")));

    const std::vector<std::string> left{"good.ief", "taken.ief"};
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(m_files.path())) {
        found.push_back(entry.path().filename().string());
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, left) << "no partial or temporary file stays behind";
}

TEST_F(TransferTest, AFailedWriteReportsItAndLeavesNoFile) {
    KvSet contents;
    const std::string large(64 * 1024, 'x');
    ASSERT_EQ(CTkvs_PutString(contents.get(), KEY_AsiName, large.c_str(), nullptr), CT_SUCCESS);
    Record record;
    ASSERT_EQ(outcome(CTadm_AddProfile(m_session, "Large", "Application", contents.get(),
                                       record.get(), nullptr),
                      record),
              CTerr_NoError);
    {
        const FileSizeCap cap(4096);
        EXPECT_EQ(exportFile(path("large.ief"), "Large", "Application"), CTerr_FileWrite);
    }
    EXPECT_TRUE(std::filesystem::is_empty(m_files.path())) << "no partial file";
    EXPECT_EQ(exportFile(path("large.ief"), "Large", "Application"), CTerr_NoError);
}

}  // namespace
}  // namespace tlv::e2e

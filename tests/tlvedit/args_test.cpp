// The command line: the two forms, their usage errors, and the program's exit codes for them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/registry/child_process.h"
#include "tests/support/tlvsd_process.h"
#include "tools/tlvedit/editorargs.h"

namespace {

struct Parsed {
    bool ok = false;
    EditorRequest request;
    std::string error;
};

Parsed Parse(std::vector<std::string> words) {
    words.insert(words.begin(), "tlvedit");
    std::vector<const char*> argv;
    for (const std::string& word : words)
        argv.push_back(word.c_str());
    Parsed parsed;
    parsed.ok =
        ParseEditorArgs(static_cast<int>(argv.size()), argv.data(), parsed.request, parsed.error);
    return parsed;
}

TEST(EditorArgs, ReadsTheNewAndEditForms) {
    const Parsed created = Parse({"Default_Server", "new", "Application"});
    ASSERT_TRUE(created.ok) << created.error;
    EXPECT_EQ(created.request.entry, "Default_Server");
    EXPECT_EQ(created.request.mode, EditMode::New);
    EXPECT_EQ(created.request.name, "");
    EXPECT_EQ(created.request.profileClass, "Application");

    const Parsed edited = Parse({"S", "edit", "Sales", "SCR_AppProfile"});
    ASSERT_TRUE(edited.ok) << edited.error;
    EXPECT_EQ(edited.request.entry, "S");
    EXPECT_EQ(edited.request.mode, EditMode::Edit);
    EXPECT_EQ(edited.request.name, "Sales");
    EXPECT_EQ(edited.request.profileClass, "SCR_AppProfile");

    EXPECT_TRUE(Parse({"--help"}).request.bHelp);
}

TEST(EditorArgs, RefusesMalformedCommandLines) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "missing arguments"},
        {{"S", "new"}, "wrong number of arguments for new"},
        {{"S", "new", "A", "B"}, "wrong number of arguments for new"},
        {{"S", "edit", "Sales"}, "wrong number of arguments for edit"},
        // A name with a blank arrives split into two words.
        {{"S", "edit", "My", "Profile", "Application"}, "wrong number of arguments for edit"},
        {{"S", "New", "Application"}, "unknown mode 'New' (expected new or edit)"},
        {{"", "new", "Application"}, "the server entry name is empty"},
        {{"S", "edit", "", "Application"}, "the profile name is empty"},
        {{"S", "new", ""}, "the profile class is empty"},
        {{"S", "new", std::string(1025, 'c')}, "the profile class is longer than 1024 bytes"},
    };
    for (const auto& [words, error] : cases) {
        const Parsed parsed = Parse(words);
        EXPECT_FALSE(parsed.ok) << error;
        EXPECT_EQ(parsed.error, error);
    }
    EXPECT_TRUE(Parse({"S", "new", std::string(1024, 'c')}).ok);
}

TEST(EditorProgram, UsageErrorsExitWithTwoAndHelpWithZero) {
    tlv::test::TempDir scratch;
    const ProcessResult noArgs = RunProcess({TLVEDIT_PATH}, scratch.path());
    EXPECT_EQ(noArgs.exitCode, 2);
    EXPECT_EQ(noArgs.err, "tlvedit: missing arguments (try --help)\n");
    EXPECT_EQ(noArgs.out, "");

    const ProcessResult split =
        RunProcess({TLVEDIT_PATH, "S", "edit", "My", "Profile", "Application"}, scratch.path());
    EXPECT_EQ(split.exitCode, 2);
    EXPECT_EQ(split.err, "tlvedit: wrong number of arguments for edit (try --help)\n");

    const ProcessResult option = RunProcess({TLVEDIT_PATH, "--bogus"}, scratch.path());
    EXPECT_EQ(option.exitCode, 2);
    EXPECT_EQ(option.err, "tlvedit: unknown option --bogus (try --help)\n");
    // With a mode behind it, a leading dash is part of an entry name.
    EXPECT_TRUE(Parse({"-Lab", "new", "Application"}).ok);

    const ProcessResult mode =
        RunProcess({TLVEDIT_PATH, "S", "show", "Application"}, scratch.path());
    EXPECT_EQ(mode.exitCode, 2);

    const ProcessResult help = RunProcess({TLVEDIT_PATH, "--help"}, scratch.path());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out, EditorUsage());
    EXPECT_EQ(help.err, "");
}

}  // namespace

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry/regapi.h"
#include "tests/registry/child_process.h"
#include "tests/registry/temp_registry.h"

namespace {

constexpr const char* kAdministration =
    "SOFTWARE\\Kestrova\\TLVS Client\\Servers\\KSTV_Administration";
constexpr const char* kStandard = "SOFTWARE\\Kestrova\\TLVS Client\\Servers\\KSTV_Standard";
constexpr const char* kClasses = "SOFTWARE\\Kestrova\\TLVS Client\\Admin\\Profile Classes";

class TlvregTest : public testing::Test {
protected:
    // tlvreg on the given registry file (default: this test's one).
    ProcessResult Tlvreg(const std::vector<std::string>& args, const std::string& file = "") {
        std::vector<std::string> argv{TLVREG_BINARY, "--registry",
                                      file.empty() ? m_registry.File() : file};
        argv.insert(argv.end(), args.begin(), args.end());
        return RunProcess(argv, m_registry.Folder());
    }

    void Add(const std::vector<std::string>& args) {
        std::vector<std::string> call{"add"};
        call.insert(call.end(), args.begin(), args.end());
        const ProcessResult result = Tlvreg(call);
        ASSERT_EQ(result.exitCode, 0) << result.err;
    }

    std::string Path(const std::string& name) const { return m_registry.Folder() + "/" + name; }

    std::string Exported(const std::string& file) {
        const std::string target = Path("snapshot.reg");
        const ProcessResult result = Tlvreg({"export", target, "SOFTWARE"}, file);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return ReadFile(target);
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static void WriteFile(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }

    TempRegistry m_registry;
};

void SetRaw(const char* path, const char* name, DWORD type, const std::string& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

}  // namespace

TEST_F(TlvregTest, ExportThenImportIntoAFreshFileGivesTheSameTables) {
    Add({kAdministration, "Default_Server", "REG_SZ", "tcp:localhost:2020"});
    Add({kAdministration, "Remote_1", "REG_SZ", "tcp:remote:2020"});
    Add({kStandard, "Default_Server", "REG_SZ", "tcp:localhost:2019"});
    Add({kClasses, "DefaultEditor", "REG_SZ", "/usr/bin/tlvedit"});
    Add({std::string(kClasses) + "\\Application", "Editor", "REG_SZ", "/opt/app editor/edit"});
    Add({std::string(kClasses) + "\\ASI Map", "Editor", "REG_SZ", "C:\\Tools\\\"asi\".exe"});
    Add({"SOFTWARE\\Kestrova\\TLVS Client\\Admin", "Limit", "REG_DWORD", "0x2a"});
    // Values only the API can write: every byte must survive the text file.
    const char* raw = "SOFTWARE\\Kestrova\\Raw";
    SetRaw(raw, "", REG_SZ, std::string("unnamed\0", 8));
    SetRaw(raw, "unterminated", REG_SZ, "no NUL");
    SetRaw(raw, "two lines", REG_SZ, std::string("a\nb\0", 4));
    SetRaw(raw, "blob", REG_BINARY, std::string("\0\xff", 2));
    SetRaw(raw, "odd type", 11, "12345678");
    SetRaw(raw, "short dword", REG_DWORD, "\x01");
    SetRaw(raw, "Caf\xE9", REG_SZ, std::string("h\xF4te\0", 5));  // Latin-1, not UTF-8

    const ProcessResult administration = Tlvreg({"query", kAdministration});
    EXPECT_EQ(administration.out,
              "Default_Server\tREG_SZ\ttcp:localhost:2020\nRemote_1\tREG_SZ\ttcp:remote:2020\n");
    const ProcessResult classes = Tlvreg({"query", kClasses});
    EXPECT_EQ(classes.out, "Application\\\nASI Map\\\nDefaultEditor\tREG_SZ\t/usr/bin/tlvedit\n");

    const std::string file = Path("tables.reg");
    ASSERT_EQ(Tlvreg({"export", file, "HKLM\\SOFTWARE"}).exitCode, 0);
    // "-" is standard output, not a file of that name.
    const ProcessResult piped = Tlvreg({"export", "-", "HKLM\\SOFTWARE"});
    EXPECT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_EQ(piped.out, ReadFile(file));
    EXPECT_FALSE(std::filesystem::exists(Path("-")));
    const std::string fresh = Path("fresh.db");
    const ProcessResult imported = Tlvreg({"import", file}, fresh);
    ASSERT_EQ(imported.exitCode, 0) << imported.err;

    const std::vector<std::string> keys = {kAdministration,
                                           kStandard,
                                           kClasses,
                                           std::string(kClasses) + "\\ASI Map",
                                           "SOFTWARE\\Kestrova\\TLVS Client\\Admin",
                                           raw};
    for (const std::string& key : keys) {
        EXPECT_EQ(Tlvreg({"query", key}).out, Tlvreg({"query", key}, fresh).out) << key;
    }
    EXPECT_EQ(Tlvreg({"query", std::string(kClasses) + "\\asi map", "editor"}, fresh).out,
              "Editor\tREG_SZ\tC:\\Tools\\\"asi\".exe\n");
    EXPECT_EQ(Exported(fresh), Exported(m_registry.File()));
    const std::string text = Exported(fresh);
    EXPECT_NE(text.find("\"Editor\"=\"C:\\\\Tools\\\\\\\"asi\\\".exe\"\n"), std::string::npos);
    EXPECT_NE(text.find("@=\"unnamed\"\n"), std::string::npos);
    EXPECT_NE(text.find("\"Caf\xE9\"=\"h\xF4te\"\n"), std::string::npos);
    EXPECT_NE(text.find("\"Limit\"=dword:0000002a\n"), std::string::npos);
    EXPECT_NE(text.find("\"odd type\"=hex(b):31,32,33,34,35,36,37,38\n"), std::string::npos);
}

TEST_F(TlvregTest, ReadingARegistryThatDoesNotExistNamesItAndCreatesNothing) {
    const std::string folder = Path("absent");
    const std::string file = folder + "/registry.db";
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"query", kAdministration},
          std::vector<std::string>{"export", Path("out.reg")}}) {
        const ProcessResult result = Tlvreg(command, file);
        EXPECT_EQ(result.exitCode, 2) << command[0];
        EXPECT_EQ(result.err, "tlvreg: the registry " + file + " does not exist\n");
    }
    EXPECT_FALSE(std::filesystem::exists(folder));
    EXPECT_FALSE(std::filesystem::exists(Path("out.reg")));
    // A command that writes still makes it.
    EXPECT_EQ(Tlvreg({"add", kAdministration}, file).exitCode, 0);
    EXPECT_EQ(Tlvreg({"query", kAdministration}, file).exitCode, 0);
}

TEST_F(TlvregTest, MalformedImportChangesNothingAndNamesTheLine) {
    Add({kAdministration, "Default_Server", "REG_SZ", "tcp:localhost:2020"});
    const std::string before = Exported(m_registry.File());
    const std::string file = Path("bad.reg");
    WriteFile(file, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\" + std::string(kAdministration) +
                        "]\n\"Other\"=\"tcp:other:2020\"\n\"Count\"=dword:xyz\n");
    const ProcessResult result = Tlvreg({"import", file});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "tlvreg: " + file + ":5: dword: needs 1 to 8 hex digits\n");
    EXPECT_EQ(Exported(m_registry.File()), before);

    WriteFile(file, "Windows Registry Editor Version 5.00\n");
    EXPECT_EQ(Tlvreg({"import", file}).err,
              "tlvreg: " + file + ":1: the first line must be REGEDIT4\n");
    EXPECT_EQ(Exported(m_registry.File()), before);
}

TEST_F(TlvregTest, ExitStatusTellsRefusalFromMisuse) {
    Add({std::string(kClasses) + "\\Application", "Editor", "REG_SZ", "/bin/edit"});

    ProcessResult result = Tlvreg({"delete", kClasses});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("has sub-keys"), std::string::npos) << result.err;
    EXPECT_EQ(Tlvreg({"query", kClasses}).out, "Application\\\n");
    result = Tlvreg({"query", "SOFTWARE\\Missing"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "tlvreg: cannot open HKEY_LOCAL_MACHINE\\SOFTWARE\\Missing: not found\n");
    EXPECT_EQ(Tlvreg({"delete", std::string(kClasses) + "\\Application", "Editor"}).exitCode, 0);
    EXPECT_EQ(Tlvreg({"query", std::string(kClasses) + "\\Application", "Editor"}).exitCode, 1);
    EXPECT_EQ(Tlvreg({"delete", std::string(kClasses) + "\\Application"}).exitCode, 0);
    EXPECT_EQ(Tlvreg({"delete", std::string(kClasses) + "\\Application"}).exitCode, 1);

    const std::vector<std::vector<std::string>> misuses = {
        {},
        {"frobnicate", "SOFTWARE"},
        {"--bogus", "query", "SOFTWARE"},
        {"query"},
        {"add", "SOFTWARE\\X", "n", "REG_BINARY", "00"},
        {"add", "SOFTWARE\\X", "n", "REG_DWORD", "12x"},
        {"add", "SOFTWARE\\X", "n", "REG_DWORD", "4294967296"},
        {"query", "HKEY_CURRENT_USER\\Software"},
        {"query", "hkcu\\Software"},
        {"delete", "HKLM"},
        {"import", Path("missing.reg")},
        {"export", Path("no/such/folder/out.reg"), "SOFTWARE"},
    };
    for (const std::vector<std::string>& args : misuses) {
        result = Tlvreg(args);
        EXPECT_EQ(result.exitCode, 2) << (args.empty() ? "" : args[0]);
        EXPECT_EQ(result.err.rfind("tlvreg: ", 0), 0u) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
    EXPECT_EQ(Tlvreg({"query", "SOFTWARE\\X"}).exitCode, 1);  // no misuse wrote anything
    EXPECT_EQ(Tlvreg({"query", "SOFTWARE"}, "/proc/no-registry-here/r.db").exitCode, 2);
    result = RunProcess({TLVREG_BINARY, "--help"}, m_registry.Folder());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("NAME<TAB>TYPE<TAB>DATA"), std::string::npos);
}

TEST_F(TlvregTest, ExportReplacesAFileWholeOrLeavesItAlone) {
    Add({kStandard, "Default_Server", "REG_SZ", "tcp:localhost:2019"});
    const std::string file = Path("out.reg");
    WriteFile(file, "old contents");
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    ASSERT_EQ(Tlvreg({"export", file, "SOFTWARE"}).exitCode, 0);
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("\"Default_Server\"=\"tcp:localhost:2019\""), std::string::npos);
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "the file keeps its mode";

    // A folder that refuses new files: the old file stays as it was and no temporary is left.
    const std::string locked = Path("locked");
    ASSERT_EQ(mkdir(locked.c_str(), 0700), 0);
    WriteFile(locked + "/out.reg", "kept");
    ASSERT_EQ(chmod(locked.c_str(), 0500), 0);
    const ProcessResult refused = Tlvreg({"export", locked + "/out.reg", "SOFTWARE"});
    chmod(locked.c_str(), 0700);
    if (geteuid() != 0) {  // root writes anyway
        EXPECT_EQ(refused.exitCode, 2);
        std::ifstream kept(locked + "/out.reg");
        std::string contents;
        std::getline(kept, contents);
        EXPECT_EQ(contents, "kept");
    }
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(locked))
        ++files;
    EXPECT_EQ(files, 1u);
}

TEST_F(TlvregTest, KeyPrefixesNumbersAndTheUnnamedValue) {
    Add({kStandard, "", "REG_SZ", "default entry"});
    Add({kStandard, "Hex", "REG_DWORD", "0x10"});
    Add({kStandard, "Decimal", "REG_DWORD", "4294967295"});
    const std::string expected =
        "(Default)\tREG_SZ\tdefault entry\nHex\tREG_DWORD\t16\nDecimal\tREG_DWORD\t4294967295\n";
    for (const std::string& prefix :
         std::vector<std::string>{"", "HKLM\\", "hkey_local_machine\\"}) {
        EXPECT_EQ(
            Tlvreg({"query", prefix + "software\\kestrova\\tlvs client\\servers\\kstv_standard"})
                .out,
            expected)
            << prefix;
    }
    // Without --registry the tool uses TLV_REGISTRY, which this test set.
    const ProcessResult result =
        RunProcess({TLVREG_BINARY, "query", kStandard, "hex"}, m_registry.Folder());
    EXPECT_EQ(result.out, "Hex\tREG_DWORD\t16\n");
}

// tlvadm as a real process against a real tlvsd.

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "framework/bytetext.h"
#include "platform/version/projectversion.h"
#include "session/admindoc.h"
#include "session/servicestatus.h"
#include "tests/registry/child_process.h"
#include "tests/session/server_fixture.h"

namespace tlv::test {
namespace {

class TlvadmTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_fixture.IsReady());
        m_doc = m_fixture.OpenDocument();
        ASSERT_TRUE(m_doc);
    }

    // Runs tlvadm on the fixture's registry and server entry.
    ProcessResult Tlvadm(std::vector<std::string> command, bool bJson = false) {
        std::vector<std::string> argv{TLVADM_BINARY, "--registry", m_fixture.RegistryFile()};
        if (bJson)
            argv.push_back("--json");
        argv.push_back(kServerEntry);
        argv.insert(argv.end(), command.begin(), command.end());
        return RunProcess(argv, m_fixture.Files());
    }

    // The demo's Sales application, ASI map and routing rules.
    void ImportDemoProfiles() {
        for (const auto& [name, profileClass] : std::vector<std::pair<std::string, std::string>>{
                 {"Sales", "Application"}, {"Main", "SCR_ASIMap"}, {"Main", "SCR_RoutingRules"}}) {
            const std::string file = std::string(TLV_SOURCE_DIR) + "/server/seed/demo/" + name +
                                     "." + profileClass + ".ief";
            ASSERT_EQ(m_doc->ImportProfile(QString::fromStdString(file),
                                           QString::fromStdString(name),
                                           QString::fromStdString(profileClass)),
                      1)
                << name;
        }
    }

    std::string WriteFile(const std::string& name, const std::string& text) {
        const std::string path = m_fixture.Files() + "/" + name;
        std::ofstream(path) << text;
        return path;
    }

    ServerFixture m_fixture{{"--provider", "Board1=available", "--provider", "Board2=unavailable"}};
    std::unique_ptr<CAdminDoc> m_doc;
};

TEST_F(TlvadmTest, ListsPrintTheGuiTextsAsTabSeparatedRowsOrJson) {
    ASSERT_TRUE(ServerFixture::AddProfile(*m_doc, "Sales", "Application"));
    ASSERT_TRUE(ServerFixture::AddDllService(*m_doc, "Alpha", SVC_Mandatory, 1));
    ASSERT_TRUE(ServerFixture::AddDllService(*m_doc, "Beta", SVC_Optional));

    ProcessResult result = Tlvadm({"profiles"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "Sales\tApplication\n");
    result = Tlvadm({"services"});
    EXPECT_EQ(result.out, "Alpha\tIdle\tMandatory [Disabled]\nBeta\tIdle\tOptional\n");
    result = Tlvadm({"providers"});
    EXPECT_EQ(result.out, "Board1\tAvailable\nBoard2\tNot Available\n");
    result = Tlvadm({"level"});
    EXPECT_EQ(result.out, "1\n");

    result = Tlvadm({"profiles"}, true);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "[\n  {\"name\": \"Sales\", \"class\": \"Application\"}\n]\n");
    // Beside the texts, what the server said: symbols and flags a script need not parse.
    result = Tlvadm({"services"}, true);
    EXPECT_EQ(result.out,
              "[\n  {\"name\": \"Alpha\", \"state\": \"Idle\", \"type\": \"Mandatory "
              "[Disabled]\", \"state_symbol\": \"SVC_StateIdle\", \"failed\": false, "
              "\"disabled\": true, \"start_type\": \"SVC_Mandatory\"},\n  {\"name\": \"Beta\", "
              "\"state\": \"Idle\", \"type\": \"Optional\", \"state_symbol\": \"SVC_StateIdle\", "
              "\"failed\": false, \"disabled\": false, \"start_type\": \"SVC_Optional\"}\n]\n");
    result = Tlvadm({"providers"}, true);
    EXPECT_EQ(result.out,
              "[\n  {\"name\": \"Board1\", \"availability\": \"Available\", \"available\": "
              "true},\n  {\"name\": \"Board2\", \"availability\": \"Not Available\", "
              "\"available\": false}\n]\n");
    result = Tlvadm({"level"}, true);
    EXPECT_EQ(result.out, "[\n  {\"level\": 1}\n]\n");

    ASSERT_EQ(m_doc->DeleteProfile("Sales", "Application"), 1);
    result = Tlvadm({"profiles"}, true);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "[]\n");
}

TEST_F(TlvadmTest, LevelAndServiceCommandsReportTheServersRefusals) {
    ProcessResult result = Tlvadm({"set-level", "3", "--emergency"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Tlvadm({"level"}).out, "3\n");
    EXPECT_EQ(Tlvadm({"set-level", "6"}).exitCode, 2);
    EXPECT_EQ(Tlvadm({"set-level", "2x"}).exitCode, 2);
    EXPECT_EQ(Tlvadm({"set-level", "1"}).exitCode, 0);

    // Added at level 1, so the level does not start it.
    ASSERT_TRUE(ServerFixture::AddDllService(*m_doc, "Alpha"));

    result = Tlvadm({"start", "Alpha", "Gone"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(
        result.err,
        "tlvadm: Gone: Unable to start the service selected. The service details may not have "
        "entered correctly. Otherwise the server may have been shutdown or is not "
        "responding.\ntlvadm: no such service \"Gone\"\n");
    ASSERT_TRUE(
        waitUntil([&] { return Tlvadm({"services"}).out == "Alpha\tRunning\tOptional\n"; }));

    result = Tlvadm({"remove-service", "Alpha"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "tlvadm: The selected Telvane Service has been marked for removal after it has been "
              "stopped. Further remove and edit operations on the Service will have no "
              "effect.\ntlvadm: \"Alpha\" is running: it goes once it has stopped\n");
    result = Tlvadm({"stop", "--emergency", "Alpha"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(waitUntil([&] { return Tlvadm({"services"}).out.empty(); }));

    result = Tlvadm({"remove-profile", "Nobody", "Application"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(
        result.err,
        "tlvadm: Unable to delete the profile specified. The server may have been shutdown "
        "or is not responding.\ntlvadm: no such profile \"Nobody\" of class \"Application\"\n");
}

TEST_F(TlvadmTest, AddServiceReadsEitherFileFormAndShowProfilePrintsTheNotation) {
    const std::string ief =
        WriteFile("exe.ief",
                  "Ignored TLVS_Service\n"
                  "{ SVC_Kind: SVC_KindExecutable SVC_CommandLine: \"/bin/sleep 30\"\n"
                  "  SVC_StartType: SVC_Root SVC_Disabled: BOOL(2) }\n");
    ProcessResult result = Tlvadm({"add-service", "Sleeper", ief});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string plain =
        WriteFile("dll.kvs",
                  "# a DLL service\n{ SVC_Kind: SVC_KindDLL "
                  "SVC_DLLPath: \"/opt/x.so\" SVC_StartType: SVC_Mandatory }");
    EXPECT_EQ(Tlvadm({"add-service", "Plugin", plain}).exitCode, 0);
    // Root is written as Optional and the stored word 2 as not disabled.
    EXPECT_EQ(Tlvadm({"services"}).out, "Plugin\tIdle\tMandatory\nSleeper\tIdle\tOptional\n");

    result = Tlvadm({"add-service", "Plugin", plain});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "tlvadm: The Service could not be added because a Service already exists by that "
              "name.\n"
              "tlvadm: a service named \"Plugin\" already exists\n");

    const std::string noKind = WriteFile("nokind.kvs", "{ SVC_DLLPath: \"/opt/x.so\" }");
    result = Tlvadm({"add-service", "Other", noKind});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("SVC_Kind"), std::string::npos);
    const std::string broken = WriteFile("broken.kvs", "{ SVC_Kind: NoSuchName }");
    result = Tlvadm({"add-service", "Other", broken});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("line 1"), std::string::npos) << result.err;
    EXPECT_EQ(Tlvadm({"add-service", "Other", m_fixture.Files() + "/missing"}).exitCode, 2);

    result = Tlvadm({"show-profile", "Plugin", "TLVS_Service"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("SVC_DLLPath: \"/opt/x.so\""), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("SVC_Kind: SVC_KindDLL"), std::string::npos) << result.out;
    result = Tlvadm({"show-profile", "Plugin", "TLVS_Service"}, true);
    EXPECT_EQ(result.out.rfind("[\n  {\"name\": \"Plugin\", \"class\": \"TLVS_Service\", "
                               "\"contents\": \"{",
                               0),
              0u)
        << result.out;
    result = Tlvadm({"show-profile", "Nobody", "Application"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.rfind("tlvadm: Unable to retrieve profile information", 0), 0u);
}

TEST_F(TlvadmTest, ImportAndExportGoThroughFiles) {
    ASSERT_TRUE(ServerFixture::AddProfile(*m_doc, "Sales", "Application"));
    const std::string file = m_fixture.Files() + "/sales.ief";
    EXPECT_EQ(Tlvadm({"export", "Sales", "Application", file}).exitCode, 0);
    ProcessResult result = Tlvadm({"export", "Sales", "Application", file});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "tlvadm: Unable to export profile. The filename specified already exists.\ntlvadm: "
              "the "
              "file \"" +
                  file + "\" already exists\n");

    EXPECT_EQ(Tlvadm({"import", file, "Copy", "Application"}).exitCode, 0);
    EXPECT_EQ(Tlvadm({"profiles"}).out, "Copy\tApplication\nSales\tApplication\n");
    EXPECT_EQ(Tlvadm({"show-profile", "Copy", "Application"}).out,
              Tlvadm({"show-profile", "Sales", "Application"}).out);
    result = Tlvadm({"import", file, "Copy", "Application"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(
        result.err.rfind("tlvadm: Unable to import the profile selected. The file was loaded", 0),
        0u);
}

TEST_F(TlvadmTest, CheckPrintsTheFindingsInRunOrderAndFailsWithoutMapAndRules) {
    ProcessResult result = Tlvadm({"check"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out,
              "ERROR\t:The ASI Map profile could not be found\n"
              "ERROR\t:The Routing Rules profile could not be found\n"
              "FATAL\t:An error occurred while extracting profile data from the Server\n");

    ASSERT_NO_FATAL_FAILURE(ImportDemoProfiles());
    // Only Sales exists: the map's other profiles are missing, one routing ASI is unmapped.
    const std::string missingSource =
        "ERROR\t:SCR_ASIMap: The Application Profile "
        "SCR_AppProfile is mentioned in the ASI Map but does not "
        "exist\n";
    std::string expected =
        "ERROR\t:SCR_AppProfile: The Routing Rules ASI Inbound_Night is not mapped in the ASI "
        "Map\n" +
        missingSource + missingSource + missingSource + missingSource;
    for (const char* endpoint : {"Default_Voice:Voice1", "Fax_Inbound:Fax1", "Support:S1",
                                 "Broken_IVR:Menu1", "Broken_IVR:Menu2"})
        expected += std::string("ERROR\t:SCR_ASIMap: The Profile:ASI combination ") + endpoint +
                    " mentioned in the ASI Map does not exist\n";
    // Errors fail the check by default; --fail-on fatal lets them pass.
    result = Tlvadm({"check"});
    EXPECT_EQ(result.exitCode, 3) << result.err;
    EXPECT_EQ(result.out, expected);
    EXPECT_EQ(Tlvadm({"check", "--fail-on", "fatal"}).exitCode, 0);
    EXPECT_EQ(Tlvadm({"check", "--fail-on", "warning"}).exitCode, 3);
    EXPECT_EQ(Tlvadm({"check", "--fail-on", "severe"}).exitCode, 2);
    const std::string text = result.out;

    // Options stand anywhere: after the entry and the command too.
    result = Tlvadm({"check", "--json"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.out.rfind("[\n  {\"type\": \"error\", \"profile\": \"SCR_AppProfile\", "
                               "\"text\": \"SCR_AppProfile: The Routing Rules ASI Inbound_Night "
                               "is not mapped in the ASI Map\"},\n  {",
                               0),
              0u)
        << result.out;
    // One object per text line, in the same order.
    std::size_t lines = 0;
    for (const char c : text)
        lines += c == '\n' ? 1 : 0;
    std::size_t objects = 0;
    for (std::size_t at = result.out.find("{\"type\""); at != std::string::npos;
         at = result.out.find("{\"type\"", at + 1))
        ++objects;
    EXPECT_EQ(objects, lines);
    EXPECT_EQ(Tlvadm({"check", "extra"}).exitCode, 2);
}

// The name as a server from before names were checked may have stored it.
void StoreUncheckedName(const std::string& dataDir, const std::string& name) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dataDir + "/tlvsd.db").c_str(), &db), SQLITE_OK);
    sqlite3_stmt* insert = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db,
                                 "INSERT INTO profiles (name, class, contents) VALUES (?1, ?2, x'')",
                                 -1, &insert, nullptr),
              SQLITE_OK);
    const std::string profileClass = "Application";
    sqlite3_bind_blob(insert, 1, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(insert, 2, profileClass.data(), static_cast<int>(profileClass.size()),
                      SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
    sqlite3_finalize(insert);
    sqlite3_close(db);
}

TEST_F(TlvadmTest, StoredNamesCannotReachTheTerminalOrForgeRows) {
    const std::string evil = "Evil\x1b[2J\nForged\tRow\\";
    EXPECT_FALSE(ServerFixture::AddProfile(*m_doc, evil.c_str(), "Application"));
    ASSERT_NO_FATAL_FAILURE(StoreUncheckedName(m_fixture.DataDir(), evil));
    // Added after it, so the server's kept list is read again.
    ASSERT_TRUE(ServerFixture::AddProfile(*m_doc, "Caf\xc3\xa9 \xff\xc2\x9b", "Application"));
    ProcessResult result = Tlvadm({"profiles"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    // UTF-8 text stays as it is; a C1 control and a byte that is not UTF-8 are escaped, and
    // then a backslash is doubled, as the client shows them.
    EXPECT_EQ(result.out,
              "Caf\xc3\xa9 \\xFF\\xC2\\x9B\tApplication\n"
              "Evil\\x1B[2J\\x0AForged\\x09Row\\\\\tApplication\n");
    // JSON: text for people and scripts alike; the exact bytes beside a name that is no UTF-8.
    result = Tlvadm({"profiles"}, true);
    EXPECT_EQ(
        result.out,
        "[\n  {\"name\": \"Caf\xc3\xa9 \xEF\xBF\xBD\\u009b\", \"name_bytes\": \"Q2Fmw6kg/8Kb\", "
        "\"class\": \"Application\"},\n"
        "  {\"name\": \"Evil\\u001b[2J\\nForged\\tRow\\\\\", \"class\": \"Application\"}\n]\n");
}

// 70 application profiles of 1 MiB each make an answer larger than one frame: it travels in
// parts and the check finds exactly what it finds when the same profiles are small.
TEST_F(TlvadmTest, CheckOverProfilesLargerThanAFrameFindsWhatItFindsOverSmallOnes) {
    ASSERT_NO_FATAL_FAILURE(ImportDemoProfiles());
    ECTF_AdminSession session(kServerEntry);
    ASSERT_EQ(session.IsOK(), 1);
    CTkvs contents = 0;
    ASSERT_EQ(CTkvs_Create(&contents, nullptr), CT_SUCCESS);
    ASSERT_EQ(session.GetProfile("Sales", "Application", contents), 1);
    constexpr int kProfiles = 70;
    const auto name = [](int i) { return "Big" + std::to_string(10 + i); };
    for (int i = 0; i < kProfiles; ++i)
        ASSERT_EQ(session.AddProfile(name(i).c_str(), "Application", contents), 1);
    // The demo profiles hold errors: only a failed run or a fatal finding would fail here.
    const ProcessResult small = Tlvadm({"check", "--fail-on", "fatal"});
    ASSERT_EQ(small.exitCode, 0) << small.err;

    // 16 strings of 64 KiB under a key the checker does not read.
    const std::string filler(64 * 1024, 'f');
    const std::vector<const char*> fillers(16, filler.c_str());
    ASSERT_EQ(CTkvs_PutStringArray(contents, 0x10600999, fillers.data(), 16, nullptr), CT_SUCCESS);
    for (int i = 0; i < kProfiles; ++i)
        ASSERT_EQ(session.UpdateProfile(name(i).c_str(), "Application", contents), 1);
    CTkvs_Destroy(contents, nullptr);

    const ProcessResult large = Tlvadm({"check", "--fail-on", "fatal"});
    EXPECT_EQ(large.exitCode, 0) << large.err;
    EXPECT_EQ(large.out, small.out);
    EXPECT_NE(large.out.find("Big79"), std::string::npos);
}

TEST_F(TlvadmTest, UsageAndConnectionErrorsExitWithTwo) {
    ProcessResult result = RunProcess({TLVADM_BINARY}, m_fixture.Files());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "tlvadm: an entry and a command are needed (try --help)\n");
    EXPECT_EQ(Tlvadm({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(Tlvadm({"start"}).exitCode, 2);
    EXPECT_EQ(Tlvadm({"profiles", "extra"}).exitCode, 2);
    result = RunProcess({TLVADM_BINARY, "--help"}, m_fixture.Files());
    EXPECT_EQ(result.exitCode, 0);

    result = RunProcess(
        {TLVADM_BINARY, "--registry", m_fixture.RegistryFile(), "NoSuchEntry", "profiles"},
        m_fixture.Files());
    EXPECT_EQ(result.exitCode, 2);
    // No connection was tried, so none is said to have failed.
    EXPECT_EQ(result.err.find("onnect"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.rfind("tlvadm: Server entry: NoSuchEntry\ntlvadm: The administration "
                               "server table has no such entry (in " +
                                   m_fixture.RegistryFile() + ": key ",
                               0),
              0u)
        << result.err;

    // A server that has gone away is a connection error as well.
    m_fixture.Server().kill();
    result = Tlvadm({"level"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(
        result.err.find("tlvadm: Could not connect to 127.0.0.1:" +
                        std::to_string(m_fixture.Server().port()) + ": the connection was refused"),
        std::string::npos)
        << result.err;
}

TEST_F(TlvadmTest, OptionsStandAnywhereAndAreCheckedForTheirCommand) {
    ProcessResult result =
        RunProcess({TLVADM_BINARY, kServerEntry, "level", "--json", "--registry",
                    m_fixture.RegistryFile()},
                   m_fixture.Files());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "[\n  {\"level\": 1}\n]\n");
    result = RunProcess({TLVADM_BINARY, "--version"}, m_fixture.Files());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, VersionLine("tlvadm"));
    result = RunProcess({TLVADM_BINARY, "profiles", "--help"}, m_fixture.Files());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("--fail-on"), std::string::npos);

    // One line naming the program and pointing at --help, not the whole usage.
    const std::vector<std::pair<std::vector<std::string>, std::string>> misuses{
        {{"level", "--bogus"}, "tlvadm: unknown option --bogus (try --help)\n"},
        {{"profiles", "--wait"}, "tlvadm: --wait cannot be used with profiles (try --help)\n"},
        {{"start", "A", "--emergency"},
         "tlvadm: --emergency cannot be used with start (try --help)\n"},
        {{"level", "--fail-on", "error"},
         "tlvadm: --fail-on cannot be used with level (try --help)\n"},
        {{"watch", "--timeout", "5"}, "tlvadm: --timeout cannot be used with watch (try --help)\n"},
        {{"level", "--jobs", "0"},
         "tlvadm: --jobs expects a number from 1 to 256, not \"0\" (try --help)\n"},
        {{"start", "A", "--wait", "--timeout", "0"},
         "tlvadm: --timeout expects seconds from 1 to 86400, not \"0\" (try --help)\n"},
    };
    for (const auto& [command, message] : misuses) {
        result = Tlvadm(command);
        EXPECT_EQ(result.exitCode, 2) << message;
        EXPECT_EQ(result.err, message);
    }
}

TEST_F(TlvadmTest, ARegistryThatDoesNotExistIsReportedAndNotCreated) {
    const std::string folder = m_fixture.Files() + "/none";
    const std::string missing = folder + "/registry.db";
    const ProcessResult result =
        RunProcess({TLVADM_BINARY, "--registry", missing, kServerEntry, "profiles"},
                   m_fixture.Files());
    EXPECT_EQ(result.exitCode, 2);
    // Neither the user's registry nor the machine's: where it looked and how to make one.
    const std::string machine = getenv("TLV_MACHINE_REGISTRY");
    EXPECT_EQ(result.err,
              "tlvadm: The registry holds no settings of the Kestrova software: looked in " +
                  missing + " and " + machine +
                  ".\ntlvadm: To make them, run scripts/demo (a demo server with its client "
                  "settings), or install the kestrova-telvane package, which writes " +
                  machine + ".\n");
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(TlvadmTest, WatchWithoutATerminalPrintsTheChangesAsLines) {
    ASSERT_TRUE(ServerFixture::AddDllService(*m_doc, "Alpha"));
    ChildProcess watch({TLVADM_BINARY, "--registry", m_fixture.RegistryFile(), kServerEntry,
                        "watch", "services"});
    EXPECT_EQ(watch.ReadLine(), "Alpha\tIdle\tOptional");
    ASSERT_TRUE(ServerFixture::AddDllService(*m_doc, "Beta"));
    EXPECT_EQ(watch.ReadLine(), "Beta\tIdle\tOptional");
    ASSERT_EQ(m_doc->DeleteService("Alpha"), 1);
    EXPECT_EQ(watch.ReadLine(), "Alpha\t(gone)");
    watch.KillAndWait(SIGINT);
    EXPECT_EQ(Tlvadm({"watch", "queues"}).exitCode, 2);
}

// Executable services run the test helper: it writes lines, then exits with a code or sleeps.
class TlvadmServiceTest : public TlvadmTest {
protected:
    void AddHelper(const std::string& name, const std::string& arguments,
                   const std::string& more = "") {
        const std::string file = WriteFile(
            name + ".kvs", "{ SVC_Kind: SVC_KindExecutable SVC_CommandLine: \"" +
                               std::string(SERVICE_HELPER) + " " + arguments + "\" " + more + " }");
        const ProcessResult added = Tlvadm({"add-service", name, file});
        ASSERT_EQ(added.exitCode, 0) << added.err;
    }
};

TEST_F(TlvadmServiceTest, StatusSaysWhyAServiceFailedInTextAndJson) {
    AddHelper("Crash", "--say boom --complain oops --exit 3");
    ProcessResult result = Tlvadm({"start", "Crash", "--wait"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "tlvadm: Crash failed: exited with code 3\ntlvadm:   boom\ntlvadm:   oops\n");

    // A failed service exits 3 and a name that is no service 4, as systemctl's status does.
    result = Tlvadm({"status", "Crash"});
    EXPECT_EQ(result.exitCode, 3) << result.err;
    const std::string head = "Crash\n  State: Idle [Failed]\n  Type: Executable\n  Program: " +
                             std::string(SERVICE_HELPER) +
                             "\n  Restarts: 0\n  Last exit: exited with code 3 at ";
    EXPECT_EQ(result.out.rfind(head, 0), 0u) << result.out;
    const std::string tail = "\n  Output:\n    boom\n    oops\n";
    ASSERT_GE(result.out.size(), tail.size());
    EXPECT_EQ(result.out.substr(result.out.size() - tail.size()), tail) << result.out;

    result = Tlvadm({"services"}, true);
    EXPECT_NE(result.out.find("{\"name\": \"Crash\", \"state\": \"Idle [Failed]\", \"type\": "
                              "\"Optional\", \"state_symbol\": \"SVC_StateFailed\", \"failed\": "
                              "true, \"disabled\": false"),
              std::string::npos)
        << result.out;

    result = Tlvadm({"status", "Crash"}, true);
    EXPECT_EQ(result.exitCode, 3);
    const std::string json = result.out;
    EXPECT_EQ(json.rfind("[\n  {\"name\": \"Crash\", \"state\": \"Idle [Failed]\", \"failed\": "
                         "true, \"disabled\": false, \"type\": \"Executable\", ",
                         0),
              0u)
        << json;
    for (const char* field : {"\"pid\": null, \"restarts\": 0, \"last_exit_code\": 3, "
                              "\"last_signal\": null, \"last_exit_time\": \"20",
                              "Z\", \"last_output\": [\"boom\", \"oops\"]}\n]\n"})
        EXPECT_NE(json.find(field), std::string::npos) << field << "\n" << json;

    result = Tlvadm({"status", "Crash", "Nobody"});
    EXPECT_EQ(result.exitCode, 4);
    EXPECT_EQ(result.err, "tlvadm: Nobody: no such service\n");
}

TEST_F(TlvadmServiceTest, ServiceNamesAndOutputReadTheSameHereAsInTheClient) {
    // UTF-8 stays; a C1 control (a terminal's CSI), an escape character and a byte that is not
    // UTF-8 are escaped. A name holds no control byte (the server refuses one), but it need not
    // be UTF-8.
    const std::string name = "Caf\xC3\xA9[1m\xFF";
    const std::string shownName = "Caf\xC3\xA9[1m\\xFF";
    ASSERT_EQ(ShownText(name).toStdString(), shownName);
    AddHelper(name, "--say caf\\xC3\\xA9\\x9B[2J\\xFF --exit 3");
    ProcessResult result = Tlvadm({"services"});
    EXPECT_EQ(result.out, shownName + "\tIdle\tOptional\n");

    result = Tlvadm({"start", name, "--wait"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "tlvadm: " + shownName +
                              " failed: exited with code 3\ntlvadm:   caf\xC3\xA9\\x9B[2J\\xFF\n");
    result = Tlvadm({"status", name});
    EXPECT_EQ(result.exitCode, 3) << result.err;
    EXPECT_NE(result.out.find("\n  Output:\n    caf\xC3\xA9\\x9B[2J\\xFF\n"), std::string::npos)
        << result.out;
    // The client's tooltip holds the same lines.
    // (tlvadm's test runs without an event loop, so it reads the status the tooltip shows here.)
    std::vector<TLVserviceStatus> statuses;
    m_doc->RunOnSession(
        [&](ECTF_AdminSession& session) { session.GetServiceStatus({name}, statuses); });
    ASSERT_EQ(statuses.size(), 1u);
    const QString tooltip = ServiceStatusLines(DisplayTexts::Load(), statuses.front()).join('\n');
    std::string indented = shownName + "\n";
    for (const QString& line : tooltip.split(QLatin1Char('\n')))
        indented += "  " + line.toStdString() + "\n";
    EXPECT_EQ(result.out, indented);

    result = Tlvadm({"status", name}, true);
    for (const char* member : {"{\"name\": \"Caf\xC3\xA9[1m\xEF\xBF\xBD\", \"name_bytes\": "
                               "\"Q2Fmw6lbMW3/\", ",
                               "\"last_output\": [\"caf\xC3\xA9\xEF\xBF\xBD[2J\xEF\xBF\xBD\"], "
                               "\"last_output_bytes\": [\"Y2Fmw6mbWzJK/w==\"]}"})
        EXPECT_NE(result.out.find(member), std::string::npos) << member << "\n" << result.out;
}

TEST_F(TlvadmServiceTest, WaitReturnsAtTheTargetStateAndRepeatsAreNotes) {
    AddHelper("Sleeper", "");
    AddHelper("Off", "", "SVC_Disabled: TRUE");
    const std::string missing = WriteFile(
        "missing.kvs", "{ SVC_Kind: SVC_KindExecutable SVC_CommandLine: \"/no/such/program\" }");
    ProcessResult result = Tlvadm({"add-service", "Missing", missing});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err.substr(result.err.find('\n') + 1),
              "tlvadm: program not found: /no/such/program\n");

    result = Tlvadm({"start", "--wait", "Sleeper", "--timeout", "10"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(Tlvadm({"services"}).out.find("Sleeper\tRunning\t"), std::string::npos);
    result = Tlvadm({"start", "Sleeper"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "tlvadm: \"Sleeper\" is already running\n");

    result = Tlvadm({"start", "Off", "Missing"});
    EXPECT_EQ(result.exitCode, 1);
    const std::string sentence =
        "Unable to start the service selected. The service details may not have entered "
        "correctly. Otherwise the server may have been shutdown or is not responding.";
    EXPECT_EQ(result.err, "tlvadm: Off: " + sentence +
                              "\ntlvadm: \"Off\" is disabled\ntlvadm: Missing: " + sentence +
                              "\ntlvadm: program not found: /no/such/program\n");

    result = Tlvadm({"stop", "Sleeper", "--wait"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(Tlvadm({"services"}).out.find("Sleeper\tIdle\t"), std::string::npos);
    result = Tlvadm({"stop", "Sleeper"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "tlvadm: \"Sleeper\" is not running\n");
}

TEST_F(TlvadmServiceTest, SetLevelWaitsForTheServicesOfTheLevel) {
    AddHelper("Core", "", "SVC_StartType: SVC_Mandatory");
    ProcessResult result = Tlvadm({"set-level", "2", "--wait"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Tlvadm({"services"}).out, "Core\tRunning\tMandatory\n");
    result = Tlvadm({"set-level", "1", "--wait", "--emergency"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(Tlvadm({"services"}).out, "Core\tIdle\tMandatory\n");

    AddHelper("Broken", "--exit 4", "SVC_StartType: SVC_Mandatory");
    result = Tlvadm({"set-level", "2", "--wait"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "tlvadm: Broken failed: exited with code 4\n");
}

}  // namespace
}  // namespace tlv::test

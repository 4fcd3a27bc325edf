// Every way connecting to a server entry can fail, each brought about for real (a closed port,
// an unknown host, a listener that never answers, a server of another version, a wrong, missing
// or open key file, a malformed or missing entry), and told in the same words by all three
// programs: under the administration client's sentence, in tlvedit's box, on tlvadm's error
// stream.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <memory>

#include "framework/testing/scriptedmodalseam.h"
#include "platform/registry/regapi.h"
#include "s100/client/entry_key.h"
#include "s100/wire/frame.h"
#include "session/admindoc.h"
#include "tests/registry/child_process.h"
#include "tests/support/fake_server.h"
#include "tests/support/loopback_listener.h"
#include "tests/tlvedit/editor_server.h"
#include "tools/tlvedit/tlvedit_app.h"

namespace tlv::test {
namespace {

const std::string kConnectFailed =
    "Could not connect to the server specified. Ensure the specified server exists and is "
    "running.";
const std::string kTable = "SOFTWARE\\Kestrova\\TLVS Client\\Servers\\KSTV_Administration";

// What listens for one attempt to connect.
struct Peer {
    std::uint16_t port = 0;
    std::shared_ptr<void> keep;
};

enum class KeyFile { Right, Missing, Open, Wrong };

struct Failure {
    std::string entry;
    std::string connectString;  // "$PORT": the peer's port; empty with no entry written
    KeyFile key = KeyFile::Right;
    std::function<Peer()> peer;
    // "$PORT", "$KEY" (the entry's key file) and "$REG" (the registry file) are filled in.
    std::vector<std::string> lines;
    bool bWritten = true;  // the entry is in the table
    bool bNumber = false;  // as a number, not a string
};

void WriteNumberEntry(const std::string& name) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTable.c_str(), 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    const DWORD number = 2020;
    EXPECT_EQ(RegSetValueExA(key, name.c_str(), 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&number), sizeof number),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    while (at != std::string::npos) {
        text.replace(at, from.size(), to);
        at = text.find(from, at + to.size());
    }
}

std::string Join(const std::vector<std::string>& lines, std::size_t skip = std::string::npos) {
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i != skip)
            joined += (joined.empty() ? "" : "\n") + lines[i];
    }
    return joined;
}

class ConnectFailures : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.IsReady()); }
    void TearDown() override { unsetenv("TLV_CALL_TIMEOUT_MS"); }

    std::vector<Failure> Failures();

    // Sets the failure up afresh (its own peer for each program: a fake server takes one
    // client) and gives the lines the programs must say.
    std::vector<std::string> Prepare(const Failure& failure, Peer& peer) {
        unsetenv("TLV_CALL_TIMEOUT_MS");  // only the silent listener's case waits briefly
        peer = failure.peer ? failure.peer() : Peer{};
        const std::string port = std::to_string(peer.port);
        std::string connectString = failure.connectString;
        Replace(connectString, "$PORT", port);
        if (failure.bWritten) {
            EXPECT_TRUE(WriteServerEntry(failure.entry, connectString));
        }
        if (failure.bNumber)
            WriteNumberEntry(failure.entry);
        const std::string keyFile = tlv::client::entryKeyPath(failure.entry);
        if (failure.key == KeyFile::Missing)
            std::remove(keyFile.c_str());
        if (failure.key == KeyFile::Open)
            chmod(keyFile.c_str(), 0644);
        if (failure.key == KeyFile::Wrong)
            std::ofstream(keyFile, std::ios::binary | std::ios::trunc) << std::string(32, 'w');
        std::vector<std::string> lines = failure.lines;
        for (std::string& line : lines) {
            Replace(line, "$PORT", port);
            Replace(line, "$KEY", keyFile);
            Replace(line, "$REG", getenv("TLV_REGISTRY"));
        }
        return lines;
    }

    EditorServer m_server;
    ScriptedModalSeam m_seam;
};

Peer ClosedPort() {
    return {unusedLoopbackPort(), nullptr};
}

Peer NeverAnswers() {
    auto listener = std::make_shared<LoopbackListener>();
    setenv("TLV_CALL_TIMEOUT_MS", "300", 1);
    return {listener->port, listener};
}

Peer OtherVersion() {
    auto server = std::make_shared<FakeServer>([](const tlv::wire::ClientFrame&) {
        return FakeServer::helloReply(false, tlv::wire::kProtocolVersion + 7);
    });
    return {server->port(), server};
}

std::vector<Failure> ConnectFailures::Failures() {
    const std::string serverPort = std::to_string(m_server.Server().port());
    const std::string fixString =
        "The connection string must be tcp:HOST:PORT, PORT 1 to 65535 (2020 for "
        "administration): correct it in Client > Edit Server Entries.";
    const auto malformed = [&](const std::string& entry, const std::string& connectString,
                               const std::string& what) {
        Failure failure{entry, connectString, KeyFile::Right, nullptr, {}};
        failure.lines = {"Server entry: " + entry};
        if (!connectString.empty())
            failure.lines.push_back("Connection string: " + connectString);
        failure.lines.push_back("The connection string is malformed: " + what + ".");
        failure.lines.push_back(fixString);
        return failure;
    };
    std::vector<Failure> failures = {
        {"Closed",
         "tcp:127.0.0.1:$PORT",
         KeyFile::Right,
         &ClosedPort,
         {"Server entry: Closed", "Connection string: tcp:127.0.0.1:$PORT",
          "Could not connect to 127.0.0.1:$PORT: the connection was refused, so no server is "
          "listening there.",
          "Start the server, or check the entry's connection string in Client > Edit Server "
          "Entries."}},
        {"Nowhere",
         "tcp:nowhere.invalid:2020",
         KeyFile::Right,
         nullptr,
         {"Server entry: Nowhere", "Connection string: tcp:nowhere.invalid:2020",
          "Could not connect: the computer name nowhere.invalid was not found.",
          "Check the computer name in the entry's connection string in Client > Edit Server "
          "Entries, and that the name service (DNS or /etc/hosts) knows it."}},
        {"Silent",
         "tcp:127.0.0.1:$PORT",
         KeyFile::Right,
         &NeverAnswers,
         {"Server entry: Silent", "Connection string: tcp:127.0.0.1:$PORT",
          "Could not connect to 127.0.0.1:$PORT: no answer within 0.3 s.",
          "Check that the server's computer is running and that no firewall drops the port; on "
          "a slow network set TLV_CALL_TIMEOUT_MS to a longer wait (milliseconds)."}},
        {"Older",
         "tcp:127.0.0.1:$PORT",
         KeyFile::Right,
         &OtherVersion,
         {"Server entry: Older", "Connection string: tcp:127.0.0.1:$PORT",
          "The server at 127.0.0.1:$PORT speaks protocol version " +
              std::to_string(tlv::wire::kProtocolVersion + 7) + "; this program speaks version " +
              std::to_string(tlv::wire::kProtocolVersion) + ".",
          "Install the same release of the server and of the administration programs."}},
        {"WrongKey",
         "tcp:127.0.0.1:" + serverPort,
         KeyFile::Wrong,
         nullptr,
         {"Server entry: WrongKey", "Connection string: tcp:127.0.0.1:" + serverPort,
          "The server at 127.0.0.1:" + serverPort +
              " refused the admin key $KEY: it holds another key.",
          "Ask the server's administrator for its current admin key and save it as $KEY (mode "
          "600)."}},
        {"NoKey",
         "tcp:127.0.0.1:" + serverPort,
         KeyFile::Missing,
         nullptr,
         {"Server entry: NoKey", "Connection string: tcp:127.0.0.1:" + serverPort,
          "There is no admin key file at $KEY.",
          "Ask the server's administrator for its admin key and save it as $KEY (mode 600), for "
          "example: install -D -m 600 admin.key $KEY"}},
        {"OpenKey",
         "tcp:127.0.0.1:" + serverPort,
         KeyFile::Open,
         nullptr,
         {"Server entry: OpenKey", "Connection string: tcp:127.0.0.1:" + serverPort,
          "The admin key file $KEY may be read by other users, so it is not used.",
          "Make the key private: chmod 600 $KEY"}},
        malformed("NoPrefix", "localhost:2020", "it does not begin with \"tcp:\""),
        malformed("NoPort", "tcp:localhost", "no port follows the computer name"),
        malformed("BigPort", "tcp:host:99999", "the port 99999 is not between 1 and 65535"),
        malformed("Blank", "", "it is empty"),
    };
    Failure unknown{"NoSuchEntry", "", KeyFile::Right, nullptr, {}};
    unknown.bWritten = false;
    unknown.lines = {"Server entry: NoSuchEntry",
                     "The administration server table has no such entry (in $REG: key " + kTable +
                         ", value NoSuchEntry not found).",
                     "Add the entry in Client > Edit Server Entries, or with: tlvreg add \"" +
                         kTable + "\" NoSuchEntry REG_SZ tcp:HOST:2020"};
    failures.push_back(unknown);
    Failure number{"Numeric", "", KeyFile::Right, nullptr, {}};
    number.bWritten = false;
    number.bNumber = true;
    number.lines = {"Server entry: Numeric",
                    "The entry is not a connection string (in $REG: key " + kTable +
                        ", value Numeric is not a string).",
                    "Remove it with: tlvreg delete \"" + kTable +
                        "\" Numeric, then add it again in Client > Edit Server Entries."};
    failures.push_back(number);
    return failures;
}

TEST_F(ConnectFailures, TheClientKeepsItsSentenceAndSaysUnderItWhatWentWrong) {
    for (const Failure& failure : Failures()) {
        SCOPED_TRACE(failure.entry);
        Peer peer;
        const std::vector<std::string> lines = Prepare(failure, peer);
        m_seam.Clear();
        CAdminDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument(QString::fromStdString(failure.entry)));
        ASSERT_EQ(m_seam.MessageTexts(), std::vector<std::string>{kConnectFailed});
        EXPECT_EQ(m_seam.MessageDetails(), std::vector<std::string>{Join(lines)});
    }
}

TEST_F(ConnectFailures, TlveditSaysWhatWentWrongWithTheEntryAndWhatToDoUnderIt) {
    for (const Failure& failure : Failures()) {
        SCOPED_TRACE(failure.entry);
        Peer peer;
        const std::vector<std::string> lines = Prepare(failure, peer);
        m_seam.Clear();
        EditorRequest request;
        request.entry = failure.entry;
        request.mode = EditMode::New;
        request.profileClass = "Application";
        const EditorStart start = StartEditor(request);
        EXPECT_FALSE(start.window);
        EXPECT_EQ(start.exitCode, kExitUsage);
        // The reason is the box's text; the entry and the advice stand under it.
        const std::size_t reason = lines.size() - 2;
        ASSERT_EQ(m_seam.MessageTexts(), std::vector<std::string>{lines[reason]});
        EXPECT_EQ(m_seam.MessageDetails(), std::vector<std::string>{Join(lines, reason)});
    }
}

TEST_F(ConnectFailures, TlvadmWritesTheSameLinesAndExitsTwo) {
    TempDir scratch;
    for (const Failure& failure : Failures()) {
        SCOPED_TRACE(failure.entry);
        Peer peer;
        const std::vector<std::string> lines = Prepare(failure, peer);
        const ProcessResult result =
            RunProcess({TLVADM_BINARY, failure.entry, "level"}, scratch.path());
        std::string expected;
        for (const std::string& line : lines)
            expected += "tlvadm: " + line + "\n";
        EXPECT_EQ(result.err, expected);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.out, "");
    }
}

}  // namespace
}  // namespace tlv::test

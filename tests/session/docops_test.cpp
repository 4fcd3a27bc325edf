#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "services/svcdef.h"
#include "session/admindoc.h"
#include "tests/session/server_fixture.h"
#include "tests/support/kvset.h"

namespace tlv::test {
namespace {

using Strings = std::vector<std::string>;

// The state text of a service in a fresh read of the list.
std::string StateOf(CAdminDoc& doc, const std::string& name) {
    doc.RefreshServiceInfo(0);
    for (const std::string& row : Rows(doc.GetServices().get())) {
        if (row.rfind(name + "|", 0) == 0)
            return row.substr(name.size() + 1, row.find('|', name.size() + 1) - name.size() - 1);
    }
    return "";
}

class DocOpsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_fixture.IsReady());
        m_doc = m_fixture.OpenDocument();
        ASSERT_TRUE(m_doc);
    }

    // A DLL definition as the dialog writes it.
    void DllDefinition(CTkvs set) { ASSERT_TRUE(WriteDllService(set, DllServiceFields{})); }

    ServerFixture m_fixture;
    std::unique_ptr<CAdminDoc> m_doc;
};

TEST_F(DocOpsTest, AddingServicesMapsTheServersAnswers) {
    KvSet dll;
    DllDefinition(dll.Handle());
    EXPECT_EQ(m_doc->NewService("Dll1", dll.Handle()), 1);
    EXPECT_EQ(m_doc->LastError(), 16406u);

    EXPECT_EQ(m_doc->NewService("Dll1", dll.Handle()), 0);
    EXPECT_EQ(m_doc->LastError(), 4135u);  // exists
    EXPECT_EQ(m_doc->NewService("two words", dll.Handle()), 0);
    EXPECT_EQ(m_doc->LastError(), 16413u);  // invalid name

    KvSet noKind;
    EXPECT_EQ(m_doc->NewService("NoKind", noKind.Handle()), 0);
    EXPECT_EQ(m_doc->LastError(), 16446u);  // invalid argument

    // An executable the server cannot find: added all the same, but reported.
    KvSet exe;
    ExeServiceFields fields;
    fields.commandLine = "/nonexistent/tlvs-service --flag";
    ASSERT_TRUE(WriteExeService(exe.Handle(), fields));
    EXPECT_EQ(m_doc->NewService("Missing", exe.Handle()), 0);
    EXPECT_EQ(m_doc->LastError(), 4097u);
    ASSERT_EQ(m_doc->RefreshServiceInfo(0), 1);
    EXPECT_EQ(Rows(m_doc->GetServices().get()),
              (Strings{"Dll1|Idle|Optional", "Missing|Idle|Optional"}));

    // The definition comes back as it was written.
    KvSet fetched;
    ASSERT_EQ(m_doc->GetServiceProfile("Missing", fetched.Handle()), 1);
    EXPECT_EQ(ServiceKindOf(fetched.Handle()), ServiceKind::Executable);
    ExeServiceFields read;
    ReadExeService(fetched.Handle(), read);
    EXPECT_EQ(read.commandLine, fields.commandLine);
    KvSet none;
    EXPECT_EQ(m_doc->GetServiceProfile("Nobody", none.Handle()), 0);
    EXPECT_EQ(m_doc->LastError(), 4138u);
    // An answer holding two definitions (the empty name matches both) is no definition either,
    // and the caller's set is left alone.
    EXPECT_EQ(m_doc->GetServiceProfile("", none.Handle()), 0);
    EXPECT_EQ(m_doc->LastError(), 4138u);
    std::uint32_t keys = 99;
    ASSERT_EQ(CTkvs_GetCount(none.Handle(), &keys, nullptr), CT_SUCCESS);
    EXPECT_EQ(keys, 0u);
}

TEST_F(DocOpsTest, RunningServicesRefuseRemovalAndDeferChanges) {
    KvSet dll;
    DllDefinition(dll.Handle());
    ASSERT_EQ(m_doc->NewService("Svc", dll.Handle()), 1);
    ASSERT_EQ(m_doc->StartService("Svc"), 1);

    EXPECT_EQ(m_doc->DeleteService("Svc"), 0);  // still starting
    EXPECT_EQ(m_doc->LastError(), 4159u);
    EXPECT_EQ(m_doc->UpdateService("Svc", dll.Handle()), 0);
    EXPECT_EQ(m_doc->LastError(), 4176u);  // the change waits for the next start

    ASSERT_TRUE(waitUntil([&] { return StateOf(*m_doc, "Svc") == "Running"; }));
    EXPECT_EQ(m_doc->DeleteService("Svc"), 0);
    EXPECT_EQ(m_doc->LastError(), 4175u);  // marked for removal once stopped

    EXPECT_EQ(m_doc->StopService("Svc", 1), 1);
    EXPECT_EQ(m_doc->DeleteService("Gone"), 0);
    EXPECT_EQ(m_doc->LastError(), 4157u);
    EXPECT_EQ(m_doc->StartService("Gone"), 0);
    EXPECT_EQ(m_doc->LastError(), 4150u);
    EXPECT_EQ(m_doc->StopService("Gone", 0), 0);
    EXPECT_EQ(m_doc->LastError(), 4151u);
    EXPECT_EQ(m_doc->UpdateService("bad name", dll.Handle()), 0);
    EXPECT_EQ(m_doc->LastError(), 16413u);
}

TEST_F(DocOpsTest, ProfileAndLevelOperationsMapTheirFailures) {
    EXPECT_EQ(m_doc->DeleteProfile("Nobody", "Application"), 0);
    EXPECT_EQ(m_doc->LastError(), 4147u);
    EXPECT_EQ(m_doc->ChangeServerLevel(6, LEVEL_CHANGE_NORMAL), 0);
    EXPECT_EQ(m_doc->LastError(), 4167u);
    EXPECT_EQ(m_doc->ChangeServerLevel(3, LEVEL_CHANGE_EMERGENCY), 1);
    ASSERT_EQ(m_doc->RefreshLevelInfo(0), 1);
    EXPECT_EQ(m_doc->GetServerLevel(), 3);
}

TEST_F(DocOpsTest, ImportAndExportMapTheirFailures) {
    ASSERT_TRUE(ServerFixture::AddProfile(*m_doc, "Sales", "Application"));
    const std::string file = m_fixture.Files() + "/sales.ief";
    ASSERT_EQ(m_doc->ExportProfile(QString::fromStdString(file), "Sales", "Application"), 1);
    EXPECT_EQ(m_doc->LastError(), 16406u);

    EXPECT_EQ(m_doc->ExportProfile(QString::fromStdString(file), "Sales", "Application"), 0);
    EXPECT_EQ(m_doc->LastError(), 4180u);  // the file exists
    const std::string other = m_fixture.Files() + "/other.ief";
    EXPECT_EQ(m_doc->ExportProfile(QString::fromStdString(other), "Nobody", "Application"), 0);
    EXPECT_EQ(m_doc->LastError(), 4157u);
    EXPECT_EQ(m_doc->ExportProfile(QString::fromStdString(m_fixture.Files() + "/no/dir.ief"),
                                   "Sales", "Application"),
              0);
    EXPECT_EQ(m_doc->LastError(), 4153u);

    EXPECT_EQ(m_doc->ImportProfile(QString::fromStdString(file), "Sales", "Application"), 0);
    EXPECT_EQ(m_doc->LastError(), 4155u);  // the profile exists
    EXPECT_EQ(m_doc->ImportProfile(QString::fromStdString(file), "Sales2", "Application"), 1);
    EXPECT_EQ(m_doc->LastError(), 16406u);
    EXPECT_EQ(m_doc->ImportProfile(QString::fromStdString(other), "X", "Application"), 0);
    EXPECT_EQ(m_doc->LastError(), 4152u);  // cannot be opened

    const std::string garbage = m_fixture.Files() + "/garbage.ief";
    std::ofstream(garbage) << "Name Class\n{ this is not a set";
    EXPECT_EQ(m_doc->ImportProfile(QString::fromStdString(garbage), "Y", "Application"), 0);
    EXPECT_EQ(m_doc->LastError(), 4156u);

    ASSERT_EQ(m_doc->RefreshProfileInfo(0), 1);
    EXPECT_EQ(Rows(m_doc->GetProfiles().get()),
              (Strings{"Sales|Application", "Sales2|Application"}));
}

// Names are bytes: one that is not UTF-8 (Latin-1 "é" as the byte E9) goes through import,
// the list, export and removal, and the session stays up.
TEST_F(DocOpsTest, ANameThatIsNotUtf8GoesThroughEveryProfileOperation) {
    const QString name = QString::fromLatin1("Caf\xE9");
    const QString profileClass = QString::fromLatin1("Men\xFC");
    ASSERT_TRUE(ServerFixture::AddProfile(*m_doc, "Sales", "Application"));
    const std::string file = m_fixture.Files() + "/sales.ief";
    ASSERT_EQ(m_doc->ExportProfile(QString::fromStdString(file), "Sales", "Application"), 1);

    ASSERT_EQ(m_doc->ImportProfile(QString::fromStdString(file), name, profileClass), 1)
        << m_doc->LastError();
    ASSERT_EQ(m_doc->RefreshProfileInfo(0), 1);
    EXPECT_EQ(Rows(m_doc->GetProfiles().get()), (Strings{"Caf\xE9|Men\xFC", "Sales|Application"}));

    const std::string copy = m_fixture.Files() + "/cafe.ief";
    ASSERT_EQ(m_doc->ExportProfile(QString::fromStdString(copy), name, profileClass), 1)
        << m_doc->LastError();
    std::string firstLine;
    std::getline(std::ifstream(copy), firstLine);
    EXPECT_EQ(firstLine.rfind("Caf\xE9 Men\xFC", 0), 0u) << firstLine;

    ASSERT_EQ(m_doc->DeleteProfile(name, profileClass), 1) << m_doc->LastError();
    ASSERT_EQ(m_doc->RefreshProfileInfo(0), 1);
    EXPECT_EQ(Rows(m_doc->GetProfiles().get()), (Strings{"Sales|Application"}));
    EXPECT_EQ(m_doc->IsDisconnected(), 0);
    EXPECT_TRUE(m_fixture.Seam().MessageTexts().empty());
}

}  // namespace
}  // namespace tlv::test

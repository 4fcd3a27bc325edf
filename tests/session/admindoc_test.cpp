#include "session/admindoc.h"

#include <gtest/gtest.h>

#include "framework/waitcursor.h"
#include "tests/session/server_fixture.h"

namespace tlv::test {
namespace {

using Strings = std::vector<std::string>;

TEST(AdminDocTest, NothingFoundIsAnEmptyListForProfilesButAFailureForProviders) {
    ServerFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    auto doc = fixture.OpenDocument();
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->GetTitle(), kServerEntry);
    // An entry name is bytes: its title is their UTF-8 text, or escapes where there is none.
    doc->SetPathName(QString::fromLatin1("Caf\xC3\xA9"));
    EXPECT_EQ(doc->GetTitle(), QString::fromUtf8("Caf\u00E9"));
    doc->SetPathName(QString::fromLatin1("Caf\xE9"));
    EXPECT_EQ(doc->GetTitle(), "Caf\\xE9");
    doc->SetPathName(kServerEntry);

    EXPECT_EQ(doc->RefreshProfileInfo(1), 1);
    EXPECT_EQ(doc->LastError(), 16406u);
    EXPECT_EQ(doc->GetProfiles(), nullptr);
    EXPECT_EQ(doc->RefreshServiceInfo(1), 1);
    EXPECT_EQ(doc->GetServices(), nullptr);

    EXPECT_EQ(doc->RefreshSPInfo(1), 0);
    EXPECT_EQ(doc->LastError(), 4140u);
    EXPECT_EQ(doc->GetSPs(), nullptr);

    EXPECT_EQ(doc->RefreshLevelInfo(1), 1);
    EXPECT_EQ(doc->GetServerLevel(), 1);
    EXPECT_EQ(CWaitCursor::Depth(), 0);
    EXPECT_TRUE(fixture.Seam().Events().empty());
}

TEST(AdminDocTest, ListsShowTheTextsTheOperatorSees) {
    ServerFixture fixture({"--provider", "Board1=available", "--provider", "Board2=unavailable"});
    ASSERT_TRUE(fixture.IsReady());
    auto doc = fixture.OpenDocument();
    ASSERT_TRUE(doc);
    ASSERT_TRUE(ServerFixture::AddProfile(*doc, "Sales", "Application"));
    ASSERT_TRUE(ServerFixture::AddDllService(*doc, "Alpha", SVC_Mandatory, 1));
    ASSERT_TRUE(ServerFixture::AddDllService(*doc, "Beta", SVC_Root));
    ASSERT_TRUE(ServerFixture::AddDllService(*doc, "Gamma", 0x0110FFFF, 1));

    ASSERT_EQ(doc->RefreshProfileInfo(0), 1);
    // The services' definitions are profiles of class TLVS_Service: never listed as profiles.
    EXPECT_EQ(Rows(doc->GetProfiles().get()), (Strings{"Sales|Application"}));

    ASSERT_EQ(doc->RefreshServiceInfo(0), 1);
    EXPECT_EQ(Rows(doc->GetServices().get()),
              (Strings{"Alpha|Idle|Mandatory [Disabled]", "Beta|Idle|Root",
                       "Gamma|Idle|Unknown [Disabled]"}));

    ASSERT_EQ(doc->RefreshSPInfo(0), 1);
    EXPECT_EQ(Rows(doc->GetSPs().get()), (Strings{"Board1|Available", "Board2|Not Available"}));

    // The getters hand out copies: changing one leaves the document's list alone.
    auto copy = doc->GetSPs();
    copy->SetItem(1, "changed");
    EXPECT_EQ(Rows(doc->GetSPs().get()), (Strings{"Board1|Available", "Board2|Not Available"}));
}

// A document whose server holds P1 and P2 of class Application, a view recording the hints it
// is sent, and the document's periodic ticks from the first on.
class TickingDocTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_fixture.IsReady());
        m_doc = m_fixture.OpenDocument();
        ASSERT_TRUE(m_doc);
        m_doc->AddView(&m_view);
        ASSERT_TRUE(ServerFixture::AddProfile(*m_doc, "P1", "Application"));
        ASSERT_TRUE(ServerFixture::AddProfile(*m_doc, "P2", "Application"));
        m_doc->RefreshLevelInfo(0);  // the first refresh that ends lets the timer in
    }
    // Forgets the hints so far and runs the ticks up to lastTick.
    void TickUntil(int lastTick) {
        m_view.hints.clear();
        for (; m_nTick <= lastTick; ++m_nTick)
            ASSERT_TRUE(RunTick(*m_doc));
    }

    ServerFixture m_fixture;
    std::unique_ptr<CAdminDoc> m_doc;
    HintRecorder m_view;
    int m_nTick = 0;
};

TEST_F(TickingDocTest, OnlyChangedListsAreReportedToTheViews) {
    TickUntil(0);  // profiles read: none -> two rows
    EXPECT_EQ(m_view.hints, (std::vector<long>{HINT_PROFILES}));

    TickUntil(5);  // the same two rows again
    EXPECT_TRUE(m_view.hints.empty());

    ASSERT_EQ(m_doc->DeleteProfile("P1", "Application"), 1);
    ASSERT_EQ(m_doc->DeleteProfile("P2", "Application"), 1);
    TickUntil(10);  // two rows -> none
    EXPECT_EQ(m_view.hints, (std::vector<long>{HINT_PROFILES}));
    EXPECT_EQ(m_doc->GetProfiles(), nullptr);

    ASSERT_TRUE(ServerFixture::AddProfile(*m_doc, "P3", "Application"));
    TickUntil(15);  // none -> one row
    EXPECT_EQ(m_view.hints, (std::vector<long>{HINT_PROFILES}));
    EXPECT_EQ(Rows(m_doc->GetProfiles().get()), (Strings{"P3|Application"}));
}

TEST_F(TickingDocTest, AnUnchangedAnswerKeepsTheRowsAndAnyChangeRebuildsThem) {
    TickUntil(0);
    TickUntil(5);
    EXPECT_TRUE(m_view.hints.empty());
    EXPECT_EQ(Rows(m_doc->GetProfiles().get()), (Strings{"P1|Application", "P2|Application"}));

    // Same names and count, one class changed: the rows follow, once.
    ASSERT_EQ(m_doc->DeleteProfile("P2", "Application"), 1);
    ASSERT_TRUE(ServerFixture::AddProfile(*m_doc, "P2", "Other"));
    TickUntil(10);
    EXPECT_EQ(m_view.hints, (std::vector<long>{HINT_PROFILES}));
    EXPECT_EQ(Rows(m_doc->GetProfiles().get()), (Strings{"P1|Application", "P2|Other"}));
    TickUntil(15);
    EXPECT_TRUE(m_view.hints.empty());
    EXPECT_EQ(Rows(m_doc->GetProfiles().get()), (Strings{"P1|Application", "P2|Other"}));
}

TEST(AdminDocTest, TicksRefreshLevelServicesProfilesAndProvidersAtTheirCadence) {
    // The first two provider queries fail, so the provider list first appears at the third.
    ServerFixture fixture({"--provider", "Board1=available", "--fail", "GetSPInfo=0x01600436x2"});
    ASSERT_TRUE(fixture.IsReady());
    auto doc = fixture.OpenDocument();
    ASSERT_TRUE(doc);
    HintRecorder view;
    doc->AddView(&view);
    doc->RefreshLevelInfo(0);

    std::vector<long> expected;
    for (int tick = 0; tick < 35; ++tick) {
        // Every list changes before every tick, so each refresh that runs is seen.
        ASSERT_EQ(doc->ChangeServerLevel(tick % 2 == 0 ? 2 : 1, LEVEL_CHANGE_NORMAL), 1);
        const std::string name = "N" + std::to_string(100 + tick);
        ASSERT_TRUE(ServerFixture::AddProfile(*doc, name.c_str(), "Application"));
        ASSERT_TRUE(ServerFixture::AddDllService(*doc, name.c_str()));
        ASSERT_TRUE(RunTick(*doc));

        expected.push_back(HINT_LEVEL);
        if (tick % 2 == 0)
            expected.push_back(HINT_SERVICES);
        if (tick % 5 == 0)
            expected.push_back(HINT_PROFILES);
        if (tick == 14)
            expected.push_back(HINT_SPS);
    }
    EXPECT_EQ(view.hints, expected);
    EXPECT_EQ(doc->GetServices()->Count(), 35);
    EXPECT_EQ(doc->GetProfiles()->Count(), 31);  // read last at tick 30
    EXPECT_EQ(doc->GetServerLevel(), 2);
    EXPECT_TRUE(fixture.Seam().Events().empty());
}

TEST(AdminDocTest, ALostServerGivesOneNoticeAndAnEmptyDisconnectedDocument) {
    ServerFixture fixture({"--provider", "Board1=available"});
    ASSERT_TRUE(fixture.IsReady());
    auto doc = fixture.OpenDocument();
    ASSERT_TRUE(doc);
    ASSERT_TRUE(ServerFixture::AddProfile(*doc, "P1", "Application"));
    ASSERT_TRUE(ServerFixture::AddDllService(*doc, "S1"));
    ASSERT_EQ(doc->ChangeServerLevel(4, LEVEL_CHANGE_NORMAL), 1);
    HintRecorder view;
    doc->AddView(&view);
    doc->RefreshLevelInfo(0);
    ASSERT_TRUE(RunTick(*doc));  // tick 0 reads all four
    ASSERT_TRUE(doc->GetProfiles() && doc->GetServices() && doc->GetSPs());
    ASSERT_EQ(doc->GetServerLevel(), 4);

    fixture.Server().kill();
    view.hints.clear();
    ASSERT_TRUE(RunTick(*doc));  // tick 1: the level refresh finds the connection gone

    const auto& events = fixture.Seam().Events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, ModalEvent::Kind::MessageBox);
    EXPECT_EQ(events[0].caption, "Telvane Server Administration");
    EXPECT_EQ(events[0].text,
              "A connection to a Telvane Server has been lost, possibly because the Telvane "
              "Server has been shut down. The connection will be closed.");
    EXPECT_EQ(events[0].flags & MB_TYPEMASK, MB_OK);
    EXPECT_EQ(doc->GetTitle(), QString(kServerEntry) + " [Disconnected]");
    EXPECT_EQ(doc->IsDisconnected(), 1);
    EXPECT_EQ(doc->GetProfiles(), nullptr);
    EXPECT_EQ(doc->GetServices(), nullptr);
    EXPECT_EQ(doc->GetSPs(), nullptr);
    EXPECT_EQ(doc->GetServerLevel(), 0);
    // The level changed to 0 when it was read, then the four hints of the disconnection.
    EXPECT_EQ(view.hints,
              (std::vector<long>{HINT_LEVEL, HINT_LEVEL, HINT_PROFILES, HINT_SERVICES, HINT_SPS}));

    view.hints.clear();
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(RunTick(*doc));
    EXPECT_EQ(events.size(), 1u);
    EXPECT_TRUE(view.hints.empty());
    EXPECT_EQ(doc->GetTitle(), QString(kServerEntry) + " [Disconnected]");

    // A refresh a view asks for still runs and fails again.
    EXPECT_EQ(doc->RefreshServiceInfo(1), 0);
    EXPECT_EQ(doc->LastError(), 4172u);
}

TEST(AdminDocTest, OpeningFailsWithTheConnectMessage) {
    ServerFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    fixture.Server().kill();
    CAdminDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(kServerEntry));
    CAdminDoc unknown;
    EXPECT_FALSE(unknown.OnOpenDocument("NoSuchEntry"));
    EXPECT_FALSE(unknown.OnNewDocument());
    const Strings expected(2,
                           "Could not connect to the server specified. Ensure the specified "
                           "server exists and is running.");
    EXPECT_EQ(fixture.Seam().MessageTexts(), expected);
    ASSERT_EQ(fixture.Seam().Events().size(), 2u);
    EXPECT_EQ(fixture.Seam().Events()[0].caption, "Error");
    EXPECT_EQ(fixture.Seam().Events()[0].flags, 0x1030u);
    EXPECT_EQ(doc.IsDisconnected(), 1);
    EXPECT_EQ(doc.RunOnSession([](ECTF_AdminSession&) {}), 0);
}

TEST(AdminDocTest, ClosingDestroysTheSessionAndStopsTheTimer) {
    ServerFixture fixture;
    ASSERT_TRUE(fixture.IsReady());
    auto doc = fixture.OpenDocument();
    ASSERT_TRUE(doc);
    doc->RefreshLevelInfo(0);
    ASSERT_EQ(doc->IsRefreshAllowed(), 1);
    doc->OnCloseDocument();
    EXPECT_EQ(doc->RunOnSession([](ECTF_AdminSession&) {}), 0);
    EXPECT_EQ(doc->IsRefreshAllowed(), 0);
    EXPECT_EQ(doc->RefreshProfileInfo(0), 0);
    EXPECT_EQ(doc->LastError(), 4138u);
}

}  // namespace
}  // namespace tlv::test

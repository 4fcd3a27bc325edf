// Check All Profiles (F9) on the demo server: the report box with the findings in run order and
// the summary, the title during the run, reuse of the open box, a new box after it closed, the
// box closed with the view, the command only while connected; tlvadm check prints the same.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPointer>

#include "framework/waitcursor.h"
#include "resources/commandids.h"
#include "resources/resourceids.h"
#include "session/admindoc.h"
#include "tests/app/app_fixture.h"
#include "tests/registry/child_process.h"
#include "views/adminvw.h"

namespace tlv::test {
namespace {

// The demo data's findings, labelled, in run order.
std::vector<std::string> DemoFindings() {
    return {
        "FATAL\t:Broken_IVR: The profile could not be checked because it did not have the "
        "correct structure. Ensure that the profile stored under the correct profile class?",
        "ERROR\t:Support: The Default Configuration (NightCfg) for ASI S2 does not exist in Group "
        "Set SupportGroups",
        "Info\t:Support: The Group Configuration SpareCfg in Group Set SupportGroups is not used "
        "in any ASI",
        "ERROR\t:Support: The Resource Headset has not been defined in this profile",
        "Info\t:Support: The Resource Recorder is defined but not used",
        "Warning\t:Support: The ASI S2 in profile Support is not a 'destination' in the ASI Map",
        "ERROR\t:SCR_AppProfile: The Routing Rules ASI Inbound_Night is not mapped in the ASI Map",
        "ERROR\t:SCR_ASIMap: The Profile:ASI combination Broken_IVR:Menu2 mentioned in the ASI "
        "Map does not exist",
    };
}

std::vector<QDialog*> ReportBoxes() {
    std::vector<QDialog*> boxes;
    for (QWidget* widget : QApplication::allWidgets()) {
        if (widget->objectName() == QString::number(IDD_CHECKPROFILE))
            boxes.push_back(static_cast<QDialog*>(widget));
    }
    return boxes;
}

std::vector<std::string> Lines(const QString& text) {
    std::vector<std::string> lines;
    for (const QString& line : text.split('\n'))
        lines.push_back(line.toStdString());
    return lines;
}

std::vector<std::string> ReportLines(QDialog& box) {
    const auto* text = box.findChild<QPlainTextEdit*>(QString::number(IDC_CHECK_RESULTS));
    return text == nullptr ? std::vector<std::string>{} : Lines(text->toPlainText());
}

// Notes the report box's title and visibility when the wait cursor appears, i.e. during the run.
class TitleAtWaitCursor final : public WaitCursorDisplay {
public:
    void Show() override {
        const std::vector<QDialog*> boxes = ReportBoxes();
        if (boxes.size() == 1 && boxes.front()->isVisible())
            titles.push_back(boxes.front()->windowTitle().toStdString());
    }
    void Hide() override { ++hidden; }
    std::vector<std::string> titles;
    int hidden = 0;
};

class CheckCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_fixture.IsReady());
        ASSERT_TRUE(ReportBoxes().empty());
        m_doc = m_fixture.Connect();
        ASSERT_NE(m_doc, nullptr);
        m_fixture.Seam().Clear();  // the start-up's notice of a registry without environment
    }

    const CommandRouter& Router() { return m_fixture.Frame().router(); }

    AppFixture m_fixture;
    CAdminDoc* m_doc = nullptr;
};

TEST_F(CheckCommandTest, ReportShowsTheFindingsInRunOrderWithTheSummary) {
    TitleAtWaitCursor display;
    const WaitCursorDisplayGuard guard(display);
    ASSERT_TRUE(Router().isEnabled(ID_PROFILE_CHECKALLPROFILES));
    ASSERT_TRUE(Router().execute(ID_PROFILE_CHECKALLPROFILES));

    EXPECT_EQ(display.titles, std::vector<std::string>{"Checking Profiles Now....."});
    EXPECT_EQ(display.hidden, 1);
    EXPECT_EQ(CWaitCursor::Depth(), 0);
    const std::vector<QDialog*> boxes = ReportBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes.front()->isVisible());
    EXPECT_EQ(boxes.front()->windowTitle(), "Profile Checking Results");
    std::vector<std::string> expected = DemoFindings();
    expected.push_back("");
    // The fatal finding counts as an error.
    expected.push_back("Checking Complete - 5 error(s), 1 warning(s)");
    EXPECT_EQ(ReportLines(*boxes.front()), expected);
    EXPECT_TRUE(m_fixture.Seam().Events().empty());
}

TEST_F(CheckCommandTest, OpenBoxIsUsedAgainAndANewOneIsMadeAfterItClosed) {
    ASSERT_TRUE(Router().execute(ID_PROFILE_CHECKALLPROFILES));
    ASSERT_EQ(ReportBoxes().size(), 1u);
    const QPointer<QDialog> first = ReportBoxes().front();

    // A change on the server shows in the same box.
    ASSERT_EQ(m_doc->DeleteProfile("Broken_IVR", "Application"), 1);
    ASSERT_TRUE(Router().execute(ID_PROFILE_CHECKALLPROFILES));
    ASSERT_EQ(ReportBoxes().size(), 1u);
    EXPECT_EQ(ReportBoxes().front(), first.data());
    const std::vector<std::string> lines = ReportLines(*first);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("ERROR\t:Support:", 0), 0u) << lines.front();
    EXPECT_EQ(lines.back(), "Checking Complete - 5 error(s), 1 warning(s)");

    first->close();  // the Close button
    AppFixture::ProcessDeletes();
    EXPECT_TRUE(first.isNull());
    ASSERT_TRUE(Router().execute(ID_PROFILE_CHECKALLPROFILES));
    ASSERT_EQ(ReportBoxes().size(), 1u);
    EXPECT_TRUE(ReportBoxes().front()->isVisible());
}

TEST_F(CheckCommandTest, ClosingTheWindowClosesItsReportBox) {
    ASSERT_TRUE(Router().execute(ID_PROFILE_CHECKALLPROFILES));
    const QPointer<QDialog> box = ReportBoxes().front();
    ASSERT_TRUE(Router().execute(ID_FILE_CLOSE));
    AppFixture::ProcessDeletes();
    EXPECT_EQ(m_fixture.FrameCount(), 0u);
    EXPECT_TRUE(box.isNull());
    EXPECT_TRUE(ReportBoxes().empty());
}

TEST_F(CheckCommandTest, CommandIsEnabledOnlyWhileConnected) {
    EXPECT_TRUE(Router().isEnabled(ID_PROFILE_CHECKALLPROFILES));
    m_fixture.Server().Server().kill();
    m_fixture.Tick();
    ASSERT_EQ(m_doc->IsDisconnected(), 1);
    EXPECT_FALSE(Router().isEnabled(ID_PROFILE_CHECKALLPROFILES));
    EXPECT_FALSE(Router().execute(ID_PROFILE_CHECKALLPROFILES));
    EXPECT_TRUE(ReportBoxes().empty());
}

TEST_F(CheckCommandTest, TlvadmCheckPrintsTheSameFindingsInTheSameOrder) {
    ASSERT_TRUE(Router().execute(ID_PROFILE_CHECKALLPROFILES));
    std::vector<std::string> shown = ReportLines(*ReportBoxes().front());
    ASSERT_GE(shown.size(), 2u);
    shown.resize(shown.size() - 2);  // the blank line and the summary
    ASSERT_EQ(shown, DemoFindings());

    const std::vector<std::string> base{TLVADM_BINARY, "--registry",
                                        m_fixture.Server().RegistryFile()};
    std::vector<std::string> argv = base;
    argv.insert(argv.end(), {kServerEntry, "check"});
    const ProcessResult text = RunProcess(argv, m_fixture.Server().Files());
    // The demo data has errors among its findings: the check fails with 3.
    EXPECT_EQ(text.exitCode, 3) << text.err;
    std::vector<std::string> printed = Lines(QString::fromStdString(text.out));
    ASSERT_EQ(printed.back(), "");  // every line ends with a line break
    printed.pop_back();
    EXPECT_EQ(printed, shown);

    argv = base;
    argv.insert(argv.end(), {"--json", kServerEntry, "check"});
    const ProcessResult json = RunProcess(argv, m_fixture.Server().Files());
    EXPECT_EQ(json.exitCode, 3) << json.err;
    // Type and profile of each finding; the texts (no character of them needs escaping) are
    // those shown after their labels.
    const std::pair<const char*, const char*> kinds[] = {
        {"fatal", "Broken_IVR"},     {"error", "Support"},   {"info", "Support"},
        {"error", "Support"},        {"info", "Support"},    {"warning", "Support"},
        {"error", "SCR_AppProfile"}, {"error", "SCR_ASIMap"}};
    ASSERT_EQ(std::size(kinds), shown.size());
    std::string expectedJson = "[";
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const std::string text = shown[i].substr(shown[i].find("\t:") + 2);
        expectedJson += std::string(i == 0 ? "\n  " : ",\n  ") + "{\"type\": \"" + kinds[i].first +
                        "\", \"profile\": \"" + kinds[i].second + "\", \"text\": \"" + text + "\"}";
    }
    expectedJson += "\n]\n";
    EXPECT_EQ(json.out, expectedJson);
}

}  // namespace
}  // namespace tlv::test

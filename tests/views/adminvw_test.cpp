// The list view on a real tlvsd with the demo data: columns per type, "None Present", selection
// and focus kept by name across a refresh, rebuilds after a switch, hints of other lists and
// suspended updates.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QHeaderView>
#include <QStyle>
#include <set>

#include "resources/commandids.h"
#include "session/admindoc.h"
#include "tests/app/app_fixture.h"
#include "tests/support/tlvsd_process.h"
#include "views/adminvw.h"

namespace tlv::test {
namespace {

struct Column {
    std::string heading;
    int width;
    bool operator==(const Column&) const = default;
};

// A column shows a text whole when the text and the style's margins on both sides fit.
bool ShowsWhole(CAdminView& view, int column, const QString& text) {
    CMyListCtrl& list = view.GetListCtrl();
    const int margin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    return list.fontMetrics().horizontalAdvance(text) + 2 * margin <= list.GetColumnWidth(column);
}

std::vector<Column> Columns(CAdminView& view) {
    std::vector<Column> columns;
    CMyListCtrl& list = view.GetListCtrl();
    for (int c = 0; c < list.GetColumnCount(); ++c)
        columns.push_back({list.GetColumnHeading(c).toStdString(), list.GetColumnWidth(c)});
    return columns;
}

int RowOf(CAdminView& view, const std::string& name) {
    const std::vector<std::string> names = Names(view);
    for (std::size_t row = 0; row < names.size(); ++row) {
        if (names[row] == name)
            return static_cast<int>(row);
    }
    return -1;
}

std::set<std::string> SelectedNames(CAdminView& view) {
    std::set<std::string> selected;
    const std::vector<std::string> names = Names(view);
    for (std::size_t row = 0; row < names.size(); ++row) {
        if (view.GetListCtrl().IsItemSelected(static_cast<int>(row)))
            selected.insert(names[row]);
    }
    return selected;
}

std::string FocusedName(CAdminView& view) {
    const int focused = view.GetListCtrl().GetFocusedItem();
    return focused < 0 ? std::string() : Names(view).at(static_cast<std::size_t>(focused));
}

class AdminViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_fixture.IsReady());
        m_doc = m_fixture.Connect();
        ASSERT_NE(m_doc, nullptr);
        m_view = m_fixture.ActiveListView();
        ASSERT_NE(m_view, nullptr);
    }

    void Select(const std::string& name) {
        const int row = RowOf(*m_view, name);
        ASSERT_GE(row, 0) << name;
        m_view->GetListCtrl().SetItemSelected(row, true);
    }

    AppFixture m_fixture;
    CAdminDoc* m_doc = nullptr;
    CAdminView* m_view = nullptr;
};

TEST_F(AdminViewTest, NewWindowShowsTheProfilesInTwoColumns) {
    EXPECT_EQ(m_view->GetViewType(), VT_Profiles);
    const std::vector<Column> columns = Columns(*m_view);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].heading, "Profile Name");
    EXPECT_EQ(columns[1].heading, "Profile Class");
    EXPECT_EQ(columns[0].width, columns[1].width) << "equal in the table, equal on screen";
    EXPECT_GE(columns[0].width, 180);
    EXPECT_EQ(m_view->IsNonePresent(), 0);
    const int sales = RowOf(*m_view, "Sales");
    ASSERT_GE(sales, 0);
    // Row i of the control shows line i of the view's own copy.
    EXPECT_EQ(m_view->GetListCtrl().GetItemCount(), static_cast<int>(Names(*m_view).size()));
    EXPECT_EQ(m_view->GetListCtrl().GetItemText(sales, 0), "Sales");
    EXPECT_EQ(m_view->GetListCtrl().GetItemText(sales, 1), "Application");
    EXPECT_EQ(m_view->GetListCtrl().GetSelectedCount(), 0);
}

TEST_F(AdminViewTest, ServerWithoutProfilesShowsNonePresentAndNoSelectionCommand) {
    const std::unique_ptr<CViewLine> profiles = m_doc->GetProfiles();
    for (const CViewLine* line = profiles.get(); line != nullptr; line = line->Next())
        ASSERT_EQ(m_doc->DeleteProfile(line->GetItem(0), line->GetItem(1)), 1)
            << line->GetItem(0).toStdString();
    ASSERT_EQ(m_view->LoadView(VT_Profiles, 1), 1);
    EXPECT_EQ(Names(*m_view), std::vector<std::string>{"None Present"});
    EXPECT_EQ(m_view->GetListCtrl().GetItemCount(), 1);
    EXPECT_EQ(m_view->IsNonePresent(), 1);

    m_view->GetListCtrl().SetItemSelected(0, true);
    const CommandRouter& router = m_fixture.Frame().router();
    for (const unsigned id :
         {ID_VIEW_REMOVE, ID_PROFILE_EDIT, ID_PROFILE_REMOVE, ID_PROFILE_EXPORT})
        EXPECT_FALSE(router.isEnabled(id)) << id;
    // Checking needs a connection, not rows.
    EXPECT_TRUE(router.isEnabled(ID_PROFILE_CHECKALLPROFILES));
}

TEST_F(AdminViewTest, RefreshOfTheSameTypeKeepsSelectionAndFocusByName) {
    Select("Sales");
    Select("Support");
    const int salesRow = RowOf(*m_view, "Sales");
    m_view->GetListCtrl().SetFocusedItem(salesRow);
    // A new first row moves every row down; Support vanishes.
    ASSERT_TRUE(ServerFixture::AddProfile(*m_doc, "AAA_First", "Application"));
    ASSERT_EQ(m_doc->DeleteProfile("Support", "Application"), 1);

    ASSERT_EQ(m_view->LoadView(VT_Profiles, 1), 1);
    EXPECT_EQ(RowOf(*m_view, "AAA_First"), 0);
    EXPECT_EQ(RowOf(*m_view, "Sales"), salesRow + 1);
    EXPECT_EQ(RowOf(*m_view, "Support"), -1);
    EXPECT_EQ(SelectedNames(*m_view), std::set<std::string>{"Sales"});
    EXPECT_EQ(FocusedName(*m_view), "Sales");

    // The periodic refresh keeps them as well.
    ASSERT_TRUE(ServerFixture::AddProfile(*m_doc, "AAA_Second", "Application"));
    m_doc->RefreshProfileInfo(0);
    m_doc->UpdateAllViews(nullptr, HINT_PROFILES);
    EXPECT_EQ(RowOf(*m_view, "Sales"), salesRow + 2);
    EXPECT_EQ(SelectedNames(*m_view), std::set<std::string>{"Sales"});
    EXPECT_EQ(FocusedName(*m_view), "Sales");
}

TEST_F(AdminViewTest, RunningServiceRowsExplainThemselvesInTheirTooltip) {
    ASSERT_TRUE(ServerFixture::AddDllService(*m_doc, "TipRunning"));
    ASSERT_TRUE(ServerFixture::AddDllService(*m_doc, "TipIdle"));
    ASSERT_EQ(m_doc->StartService("TipRunning"), 1);
    ASSERT_EQ(m_view->LoadView(VT_Services, 1), 1);
    ASSERT_TRUE(waitUntil([&] {
        m_doc->RefreshServiceInfo(0);
        m_doc->UpdateAllViews(nullptr, HINT_SERVICES);
        const int row = RowOf(*m_view, "TipRunning");
        return row >= 0 && m_view->GetListCtrl().GetItemText(row, 1) == "Running";
    }));
    const QAbstractItemModel* model = m_view->GetListCtrl().model();
    const auto tip = [&](const std::string& name) {
        const int row = RowOf(*m_view, name);
        return model->data(model->index(row, 0), Qt::ToolTipRole).toString().toStdString();
    };
    // The server is asked when the pointer rests on the row; its answer is the next tooltip.
    EXPECT_EQ(tip("TipRunning"), "");
    std::string running;
    ASSERT_TRUE(waitUntil([&] {
        QCoreApplication::processEvents();
        running = tip("TipRunning");
        return !running.empty();
    }));
    EXPECT_NE(running.find("State: Running\nType: DLL\n"), std::string::npos) << running;
    EXPECT_NE(running.find("Restarts: 0"), std::string::npos) << running;
    EXPECT_EQ(tip("TipIdle"), "");
    // The columns stay as they are.
    EXPECT_EQ(Columns(*m_view).size(), 3u);
}

TEST_F(AdminViewTest, UpdatesAfterASwitchRebuildTheColumnsAndDropTheSelection) {
    Select("Sales");
    ASSERT_EQ(m_view->LoadView(VT_Services, 1), 1);
    const std::vector<Column> serviceColumns = Columns(*m_view);
    ASSERT_EQ(serviceColumns.size(), 3u);
    EXPECT_EQ(serviceColumns[1].heading, "Service State");
    // No state or marker is cut, however large the font: the demo shows "Idle [Failed]".
    for (const char* text : {"Service State", "Idle [Failed]", "Starting"})
        EXPECT_TRUE(ShowsWhole(*m_view, 1, text)) << text;
    for (const char* text : {"Service Type", "Optional [Disabled]", "Mandatory [Disabled]"})
        EXPECT_TRUE(ShowsWhole(*m_view, 2, text)) << text;
    EXPECT_EQ(m_view->GetListCtrl().GetSelectedCount(), 0);
    ASSERT_GE(m_view->GetListCtrl().GetItemCount(), 2);

    // Only the first update after the switch rebuilds: the periodic refreshes that follow keep
    // what the operator selected and the widths dragged.
    m_view->GetListCtrl().setColumnWidth(0, 300);
    m_view->GetListCtrl().SetItemSelected(1, true);
    m_view->GetListCtrl().SetFocusedItem(1);
    m_doc->UpdateAllViews(nullptr, HINT_SERVICES);
    EXPECT_EQ(m_view->GetListCtrl().GetColumnWidth(0), 300);
    EXPECT_EQ(m_view->GetListCtrl().GetSelectedCount(), 1);
    EXPECT_TRUE(m_view->GetListCtrl().IsItemSelected(1));

    ASSERT_EQ(m_view->LoadView(VT_ServiceProviders, 1), 1);
    EXPECT_EQ(Columns(*m_view)[0].heading, "Service Provider Name");
    EXPECT_TRUE(ShowsWhole(*m_view, 1, "Not Available"));
    // Back on the services, the widths are the table's again, not the one dragged.
    ASSERT_EQ(m_view->LoadView(VT_Services, 1), 1);
    EXPECT_EQ(Columns(*m_view), serviceColumns);

    // A larger font widens the columns with it, and still cuts no state.
    QFont larger = m_view->GetListCtrl().font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    m_view->GetListCtrl().setFont(larger);
    m_view->GetListCtrl().header()->setFont(larger);
    ASSERT_EQ(m_view->LoadView(VT_ServiceProviders, 1), 1);
    ASSERT_EQ(m_view->LoadView(VT_Services, 1), 1);
    EXPECT_GT(Columns(*m_view)[0].width, serviceColumns[0].width * 3 / 2);
    EXPECT_TRUE(ShowsWhole(*m_view, 1, "Idle [Failed]"));
    EXPECT_TRUE(ShowsWhole(*m_view, 2, "Optional [Disabled]"));
}

TEST_F(AdminViewTest, HintsOfOtherListsAndSuspendedUpdatesLeaveTheRows) {
    Select("Sales");
    const CViewLine* shown = m_view->GetLines();
    for (const long hint : {HINT_LEVEL, HINT_SERVICES, HINT_SPS}) {
        m_doc->UpdateAllViews(nullptr, hint);
        EXPECT_EQ(SelectedNames(*m_view), std::set<std::string>{"Sales"}) << hint;
    }
    EXPECT_EQ(m_view->GetLines(), shown);
    EXPECT_EQ(SelectedNames(*m_view), std::set<std::string>{"Sales"});

    // As while a command's confirmation is open: a periodic refresh does not rebuild.
    const std::vector<std::string> before = Names(*m_view);
    m_view->SetUpdatesEnabled(0);
    ASSERT_TRUE(ServerFixture::AddProfile(*m_doc, "AAA_New", "Application"));
    m_doc->RefreshProfileInfo(0);
    m_doc->UpdateAllViews(nullptr, HINT_PROFILES);
    EXPECT_EQ(m_view->GetLines(), shown);
    EXPECT_EQ(Names(*m_view), before);
    EXPECT_EQ(m_view->GetListCtrl().GetItemCount(), static_cast<int>(before.size()));

    m_view->SetUpdatesEnabled(1);
    m_doc->UpdateAllViews(nullptr, HINT_PROFILES);
    EXPECT_EQ(RowOf(*m_view, "AAA_New"), 0);
    EXPECT_EQ(SelectedNames(*m_view), std::set<std::string>{"Sales"});
}

TEST_F(AdminViewTest, LoadViewRefusesATypeThatIsNoList) {
    const CViewLine* shown = m_view->GetLines();
    EXPECT_EQ(m_view->LoadView(VT_None, 1), 0);
    EXPECT_EQ(m_view->LoadView(static_cast<ViewType>(7), 1), 0);
    EXPECT_EQ(m_view->GetViewType(), VT_Profiles);
    EXPECT_EQ(m_view->GetLines(), shown);
}

}  // namespace
}  // namespace tlv::test

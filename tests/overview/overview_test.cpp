// The Server Overview window over real servers: what each row says, failed servers first, a hung
// server shown while the window keeps running, and a row opening its server as connecting does.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "app/mainfrm.h"
#include "app/tlvadmin.h"
#include "framework/mdi/doctemplate.h"
#include "framework/mdi/mdichild.h"
#include "framework/testing/scriptedmodalseam.h"
#include "resources/commandids.h"
#include "resources/resourceids.h"
#include "session/admindoc.h"
#include "tests/session/fleet_fixture.h"
#include "views/overview.h"
#include "views/overviewmodel.h"

namespace tlv::test {
namespace {

using namespace std::chrono_literals;

constexpr QRgb kBrightGreen = 0xFF00FF00;
constexpr QRgb kDarkGreen = 0xFF008000;

// Handles events until the condition holds (at most the timeout); true when it held.
bool ProcessUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s) {
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > timeout.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

std::string Cell(const ServerOverviewModel& model, int row, int column) {
    return model.index(row, column).data().toString().toStdString();
}

// Each row as "server|answers|level|running|failed|profiles".
std::vector<std::string> Rows(const ServerOverviewModel& model) {
    std::vector<std::string> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        std::string line = Cell(model, row, ServerOverviewModel::kServer);
        for (int column = ServerOverviewModel::kAnswers; column < ServerOverviewModel::kLastRead;
             ++column)
            line += "|" + Cell(model, row, column);
        rows.push_back(line);
    }
    return rows;
}

bool AllRead(const ServerOverviewModel& model) {
    for (int row = 0; row < model.rowCount(); ++row) {
        if (Cell(model, row, ServerOverviewModel::kAnswers) == "Reading...")
            return false;
    }
    return model.rowCount() > 0;
}

int RowOf(const ServerOverviewModel& model, const std::string& entry) {
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.EntryAt(row) == entry)
            return row;
    }
    return -1;
}

// "lit" or "unlit" for each of the five lamps drawn in the row's level cell.
std::vector<std::string> Lamps(CServerOverview& window, int row) {
    QTableView& table = *window.Table();
    const QRect cell = table.visualRect(window.Model()->index(row, ServerOverviewModel::kLevel));
    const QImage image = table.viewport()->grab(cell).toImage();
    std::vector<std::string> lamps;
    for (int lamp = 0; lamp < 5; ++lamp) {
        const QRgb disc = image.pixel(2 + lamp * 16 + 8, image.height() / 2 + 1);
        lamps.push_back(disc == kBrightGreen ? "lit" : disc == kDarkGreen ? "unlit" : "?");
    }
    return lamps;
}

class OverviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_fleet.IsReady());
        CAdminDoc site;
        ASSERT_TRUE(site.OnOpenDocument("Site01"));
        ASSERT_EQ(site.ChangeServerLevel(3, LEVEL_CHANGE_NORMAL), 1);
    }

    FleetFixture m_fleet{{"Ok01", "Ok02", "Site01"}};
    ScriptedModalSeam m_seam;
};

TEST_F(OverviewTest, AHungAndAClosedServerComeFirstAndTheWindowKeepsRunning) {
    ASSERT_TRUE(m_fleet.AddClosedEntry("Closed"));
    m_fleet.Hang("Ok02");
    OverviewTimings timings;
    timings.tick = 50ms;
    timings.readInterval = 300ms;
    timings.answerDeadline = 1000ms;
    CServerOverview window(nullptr, {}, timings);
    QAbstractItemModelTester tester(window.Model());
    window.show();

    // A timer of the window's thread: it must keep firing while the hung server is read.
    QElapsedTimer sinceLast;
    sinceLast.start();
    qint64 longestGap = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, sinceLast.restart()); });
    probe.start(20);
    const long ticksBefore = window.Poller().Ticks();

    ServerOverviewModel& model = *window.Model();
    ASSERT_TRUE(ProcessUntil([&] {
        return AllRead(model) && Cell(model, 0, ServerOverviewModel::kServer) == "Ok02";
    })) << testing::PrintToString(Rows(model));
    EXPECT_LT(longestGap, 1000);
    EXPECT_GT(window.Poller().Ticks() - ticksBefore, 10);

    const std::vector<std::string> rows = Rows(model);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], "Ok02|Not responding: no answer within 1 s||||");
    EXPECT_EQ(rows[1].rfind("Closed|No: Could not connect to 127.0.0.1:", 0), 0u) << rows[1];
    EXPECT_EQ(rows[2], "Ok01|Yes|1|0|0|0");
    EXPECT_EQ(rows[3], "Site01|Yes|3|0|0|0");
    EXPECT_EQ(Cell(model, 0, ServerOverviewModel::kLastRead), "Never");
    EXPECT_EQ(model.index(3, ServerOverviewModel::kLevel).data(Qt::ToolTipRole).toString(),
              "3. Optional Services Started");
    EXPECT_EQ(Lamps(window, 3), (std::vector<std::string>{"lit", "lit", "lit", "unlit", "unlit"}));
    EXPECT_EQ(Lamps(window, 2),
              (std::vector<std::string>{"lit", "unlit", "unlit", "unlit", "unlit"}));

    // The column widened for the answer that came after the first "Reading...": the hung
    // server's whole, the refused one's up to the cap, the counts still in view.
    QHeaderView& header = *window.Table()->horizontalHeader();
    const int answersWidth = header.sectionSize(ServerOverviewModel::kAnswers);
    const QFontMetrics metrics = window.Table()->fontMetrics();
    EXPECT_GE(answersWidth, metrics.horizontalAdvance(QString::fromStdString(
                                Cell(model, 0, ServerOverviewModel::kAnswers))));
    EXPECT_LE(answersWidth, 41 * metrics.averageCharWidth());

    // Once it runs again it answers, and goes below the one that still fails; the selection
    // goes with it.
    window.Table()->setCurrentIndex(model.index(0, 0));
    m_fleet.Continue("Ok02");
    ASSERT_TRUE(ProcessUntil([&] { return RowOf(model, "Ok02") == 2; }))
        << testing::PrintToString(Rows(model));
    EXPECT_EQ(Rows(model)[2], "Ok02|Yes|1|0|0|0");
    EXPECT_EQ(window.Table()->currentIndex().row(), 2);
    EXPECT_EQ(Cell(model, 0, ServerOverviewModel::kServer), "Closed");

    // A width the operator gave the column stays through later reads.
    header.resizeSection(ServerOverviewModel::kAnswers, 30);
    m_fleet.Hang("Ok01");
    ASSERT_TRUE(ProcessUntil([&] {
        return Cell(model, RowOf(model, "Ok01"), ServerOverviewModel::kAnswers).starts_with("Not");
    })) << testing::PrintToString(Rows(model));
    EXPECT_EQ(header.sectionSize(ServerOverviewModel::kAnswers), 30);
}

TEST_F(OverviewTest, NoMoreThanMaxReadingAtOnceAndTheTableIsFollowed) {
    OverviewTimings timings;
    timings.tick = 20ms;
    timings.readInterval = 100ms;
    timings.maxReading = 2;
    std::vector<std::string> table{"Ok01", "Ok02", "Site01", "Gone"};
    ServerOverviewPoller poller(timings, [&] { return table; });
    int mostReading = 0;
    poller.SetChangeHandler([&] { mostReading = std::max(mostReading, poller.Reading()); });
    poller.Start();
    const auto answered = [&](std::size_t count) {
        const std::vector<OverviewRow>& rows = poller.Rows();
        return rows.size() == count &&
               std::all_of(rows.begin(), rows.end(), [](const OverviewRow& row) {
                   return row.answer != OverviewRow::Answer::Unread;
               });
    };
    ASSERT_TRUE(ProcessUntil([&] { return answered(4); }));
    EXPECT_EQ(mostReading, 2);
    EXPECT_EQ(poller.Rows()[3].answer, OverviewRow::Answer::Fails);
    const std::string goneReason = poller.Rows()[3].reason.toStdString();
    EXPECT_EQ(goneReason.rfind("The administration server table has no such entry", 0), 0u);
    EXPECT_NE(goneReason.find("value Gone not found"), std::string::npos) << goneReason;

    // An entry removed from the table goes; one added is read; the others keep what they had.
    const QDateTime ok01Read = poller.Rows()[0].lastRead;
    table = {"Site01", "Ok01"};
    ASSERT_TRUE(ProcessUntil([&] { return answered(2) && poller.Rows()[0].entry == "Site01"; }));
    EXPECT_EQ(poller.Rows()[1].entry, "Ok01");
    EXPECT_GE(poller.Rows()[1].lastRead, ok01Read);
}

TEST_F(OverviewTest, F8OpensOneOverviewWithoutAServerAndEnterOpensTheRowsServer) {
    CAdminApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame& frame = *static_cast<CMainFrame*>(app.GetMainWnd());
    EXPECT_TRUE(frame.router().isEnabled(ID_CLIENT_SERVEROVERVIEW));
    ASSERT_TRUE(frame.router().execute(ID_CLIENT_SERVEROVERVIEW));
    CServerOverview* window = app.GetServerOverview();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Server Overview");
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(frame.router().execute(ID_CLIENT_SERVEROVERVIEW));
    EXPECT_EQ(app.GetServerOverview(), window);

    ServerOverviewModel& model = *window->Model();
    ASSERT_TRUE(ProcessUntil([&] { return AllRead(model); }));
    EXPECT_EQ(Rows(model), (std::vector<std::string>{"Ok01|Yes|1|0|0|0", "Ok02|Yes|1|0|0|0",
                                                     "Site01|Yes|3|0|0|0"}));

    // Enter on a row: that server's profile list, as the connect command opens it.
    window->Table()->setCurrentIndex(model.index(RowOf(model, "Site01"), 0));
    const std::size_t messagesBefore = m_seam.MessageTexts().size();  // no installation here
    QTest::keyClick(window->Table(), Qt::Key_Return);
    ASSERT_EQ(frame.GetChildFrames().size(), 1u);
    EXPECT_EQ(frame.MDIGetActive()->windowTitle(), "Site01");
    EXPECT_EQ(frame.GetShownMenu(), IDR_LISTVIEW);
    EXPECT_EQ(m_seam.MessageTexts().size(), messagesBefore);

    // Closed, it is gone; F8 makes a new one.
    window->close();
    ASSERT_TRUE(ProcessUntil([&] { return app.GetServerOverview() == nullptr; }));
}

}  // namespace
}  // namespace tlv::test

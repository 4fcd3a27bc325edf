#pragma once
// CServerOverview: the Server Overview window, one row per administration server entry: whether
// it answers (and why not), its level as the status window's lamps, its services running and
// failed, its profile count and when it was last read, refreshed in the background
// (session/overviewpoll.h). A double click or Enter on a row opens that server's profile list,
// as choosing the entry to connect to does. It acts on no server.
//
// A top-level window of its own rather than an MDI child: it shows many servers, not one
// server's document, so it has no place among the document windows, whose active one the
// refresh timer, the menus and the commands follow; and an operator can keep it beside the
// main window. It belongs to the main window and closes with it.

#include <QWidget>
#include <functional>
#include <memory>

#include "session/overviewpoll.h"

class QTableView;
class ServerOverviewModel;

class CServerOverview final : public QWidget {
public:
    // open connects to the entry (the application's OpenDocumentFile).
    using OpenEntry = std::function<void(const QString& serverEntryName)>;

    CServerOverview(QWidget* owner, OpenEntry open, OverviewTimings timings = {},
                    ServerOverviewPoller::EntryReader reader = {});
    ~CServerOverview() override;

    ServerOverviewPoller& Poller() { return *m_pPoller; }
    QTableView* Table() const { return m_pTable; }
    ServerOverviewModel* Model() const { return m_pModel; }

private:
    void OpenRow(int row);
    void FitAnswersColumn();

    OpenEntry m_open;
    ServerOverviewModel* m_pModel = nullptr;
    QTableView* m_pTable = nullptr;
    std::unique_ptr<ServerOverviewPoller> m_pPoller;
    bool m_bFitting = false;  // the column resized by the window, not the operator
    bool m_bAnswersSizedByHand = false;
};

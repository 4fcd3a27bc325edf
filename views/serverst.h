#pragma once
// CServerStatus: the status view of a server document. It draws the five server levels as a
// column of lamps with their names, lit up to the server's current level, and changes the level
// from a double click on a row or the change-level command.

#include <QFont>

#include "framework/mdi/wndview.h"
#include "views/dibitmap.h"

class CAdminDoc;

class CServerStatus final : public CWndView {
public:
    static constexpr int kLevels = 5;
    static constexpr int kLampLeft = 8;
    static constexpr int kLampSide = 24;
    static constexpr int kFirstRowTop = 8;
    static constexpr int kRowHeight = 30;
    static constexpr int kTextLeft = 40;

    CServerStatus();
    ~CServerStatus() override;

    void OnDraw(QPainter& dc);
    // Fills the clip box with the button face colour; returns nonzero.
    int OnEraseBkgnd(QPainter& dc, const QRect& clipBox);
    void OnUpdate(CView* pSender, long lHint, CObject* pHint) override;
    // The title says whether the server answers; the lamps follow it.
    void OnDocumentTitleChanged() override;
    void OnInitialUpdate() override;
    void OnLButtonDblClk(unsigned flags, const QPoint& point);

    void OnServerChangeserverlevel();
    void OnViewRefresh();
    // The new-service command; after a success the view shows the level read again.
    void OnServiceNew();
    void OnProfileNew();

    CAdminDoc* GetDocument() const;
    // The level row under a height in the view: 0 for level 1; 5 or more below the last.
    static int RowAt(int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void RegisterCommands();

    CDIBitmap m_litLamp;
    CDIBitmap m_darkLamp;
    CDIBitmap m_lampMask;
    QFont m_font;
};

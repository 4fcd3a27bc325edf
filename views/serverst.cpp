#include "views/serverst.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "framework/modalseam.h"
#include "resources/commandids.h"
#include "resources/resourceids.h"
#include "resources/stringtable.h"
#include "session/admindoc.h"
#include "views/changele.h"
#include "views/lamps.h"
#include "views/newcmds.h"

namespace {

constexpr int kFontHeight = 16;
constexpr int kFontWidth = 6;
constexpr int kTextTopOffset = 4;
// How much of the background covers a greyed lamp.
constexpr int kVeilAlpha = 170;

// Height 16 and average width 6 in pixels, sans serif of no particular face: the largest size
// whose character cell fits the height, narrowed or widened to the width.
QFont LevelFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif, QFont::PreferQuality);
    font.setWeight(QFont::Normal);
    int pixels = kFontHeight;
    font.setPixelSize(pixels);
    while (pixels > 1 && QFontMetrics(font).height() > kFontHeight)
        font.setPixelSize(--pixels);
    // The width is the average of the lower-case letters, as the classic fonts count it; the
    // average over all glyphs of today's fonts is wider and would not narrow the text enough.
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
    const int lettersWidth = QFontMetrics(font).horizontalAdvance(letters);
    if (lettersWidth > 0) {
        font.setStretch(std::clamp(
            100 * kFontWidth * static_cast<int>(letters.size()) / lettersWidth, 1, 4000));
    }
    return font;
}

}  // namespace

CServerStatus::CServerStatus() : m_font(LevelFont()) {
    m_litLamp.LoadDIBitmap(IDB_LAMP_LIT);
    m_darkLamp.LoadDIBitmap(IDB_LAMP_UNLIT);
    m_lampMask.LoadDIBitmap(IDB_LAMP_MASK);
    setAttribute(Qt::WA_OpaquePaintEvent);
    RegisterCommands();
}

CServerStatus::~CServerStatus() = default;

void CServerStatus::RegisterCommands() {
    OnCommand(ID_SERVER_CHANGESERVERLEVEL, [this] { OnServerChangeserverlevel(); });
    OnCommand(ID_VIEW_REFRESH, [this] { OnViewRefresh(); });
    OnCommand(ID_SERVICE_NEW, [this] { OnServiceNew(); });
    OnCommand(ID_PROFILE_NEW, [this] { OnProfileNew(); });
}

CAdminDoc* CServerStatus::GetDocument() const {
    return dynamic_cast<CAdminDoc*>(CWndView::GetDocument());
}

int CServerStatus::RowAt(int y) {
    return (y - kTextTopOffset) / kRowHeight;
}

void CServerStatus::paintEvent(QPaintEvent* event) {
    QPainter dc(this);
    OnEraseBkgnd(dc, event->rect());
    OnDraw(dc);
}

int CServerStatus::OnEraseBkgnd(QPainter& dc, const QRect& clipBox) {
    // Read at every paint, so a change of the colour scheme shows at the next redraw.
    dc.fillRect(clipBox, palette().color(QPalette::Button));
    return 1;
}

void CServerStatus::OnDraw(QPainter& dc) {
    dc.setBackgroundMode(Qt::TransparentMode);
    dc.setFont(m_font);
    CAdminDoc* document = GetDocument();
    // While the server does not answer, the level shown may no longer hold: lamps and texts are
    // greyed.
    const bool bSilent = document != nullptr && document->IsNotResponding();
    dc.setPen(palette().color(bSilent ? QPalette::Disabled : QPalette::Active,
                              QPalette::WindowText));
    QColor veil = palette().color(QPalette::Button);
    veil.setAlpha(kVeilAlpha);
    const int level = document == nullptr ? 0 : document->GetServerLevel();
    const QColor face = palette().color(QPalette::Button);
    m_litLamp.ChangePaletteEntry(kLampFaceEntry, face);
    m_darkLamp.ChangePaletteEntry(kLampFaceEntry, face);
    const int ascent = QFontMetrics(m_font).ascent();
    for (int row = 0; row < kLevels; ++row) {
        const int y = kFirstRowTop + kRowHeight * row;
        DrawLamp(dc, m_lampMask, row < level ? m_litLamp : m_darkLamp,
                 QRect(kLampLeft, y, kLampSide, kLampSide), bSilent ? veil : QColor());
        dc.drawText(kTextLeft, y + kTextTopOffset + ascent, StringTable::Load(IDS_LEVEL_1 + row));
    }
}

void CServerStatus::OnDocumentTitleChanged() {
    CWndView::OnDocumentTitleChanged();
    update();
}

void CServerStatus::OnUpdate(CView* /*pSender*/, long lHint, CObject* /*pHint*/) {
    if (lHint == HINT_LEVEL)
        repaint();
}

void CServerStatus::OnInitialUpdate() {
    if (CAdminDoc* document = GetDocument())
        document->RefreshLevelInfo(0);
    CWndView::OnInitialUpdate();
}

void CServerStatus::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        OnLButtonDblClk(static_cast<unsigned>(event->modifiers()), event->position().toPoint());
}

// Unlike the menu command, nothing preselected beyond the row, the outcome not reported and the
// level not read again: the lamps follow at the next tick.
void CServerStatus::OnLButtonDblClk(unsigned /*flags*/, const QPoint& point) {
    CAdminDoc* document = GetDocument();
    if (document == nullptr)
        return;
    LevelDialogFields fields;
    fields.nCurrentLevel = document->GetServerLevel();
    fields.nLevel = RowAt(point.y());
    if (RunChangeLevel(fields, this) == IDOK)
        document->ChangeServerLevel(fields.nLevel + 1, ChangeModeOf(fields.bEmergency));
}

void CServerStatus::OnServerChangeserverlevel() {
    if (CAdminDoc* document = GetDocument())
        document->OnServerChangeserverlevel();
    OnViewRefresh();
}

void CServerStatus::OnViewRefresh() {
    CAdminDoc* document = GetDocument();
    if (document == nullptr)
        return;
    document->RefreshLevelInfo(1);
    document->UpdateAllViews(nullptr, HINT_LEVEL);
}

void CServerStatus::OnServiceNew() {
    CAdminDoc* document = GetDocument();
    if (document != nullptr && RunNewServiceCommand(*document, this) == 1)
        OnViewRefresh();
}

void CServerStatus::OnProfileNew() {
    if (CAdminDoc* document = GetDocument())
        RunNewProfileCommand(*document, this);
}

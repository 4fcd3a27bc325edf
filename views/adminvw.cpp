#include "views/adminvw.h"

#include <QCursor>
#include <QHeaderView>
#include <QPointer>
#include <QResizeEvent>
#include <QSet>
#include <QStyle>
#include <QToolTip>
#include <algorithm>
#include <new>
#include <optional>
#include <utility>

#include "framework/comn/comnmfc.h"
#include "resources/resourceids.h"
#include "resources/stringtable.h"
#include "session/admindoc.h"
#include "views/columnwidths.h"

namespace {

// How the list measures the texts of its cells and headings.
TextMeasure MeasureOf(const CMyListCtrl& list) {
    const QFontMetrics cells = list.fontMetrics();
    const QFontMetrics headings = list.header()->fontMetrics();
    const QStyle* style = list.style();
    // The margins the style keeps on each side of a cell's and a heading's text.
    const int cellMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    const int headingMargin = style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, list.header());
    return {[cells, headings](const QString& text) {
                return std::max(cells.horizontalAdvance(text), headings.horizontalAdvance(text));
            },
            cells.averageCharWidth(), 2 * std::max(cellMargin, headingMargin)};
}

// The hint each list type answers to.
long HintOf(ViewType type) {
    switch (type) {
        case VT_Profiles:
            return HINT_PROFILES;
        case VT_Services:
            return HINT_SERVICES;
        default:
            return HINT_SPS;
    }
}

// The highest column index a view ever uses, plus one: the header is cleared from here down.
constexpr int kMaxColumns = 10;

}  // namespace

struct CAdminView::RememberedSelection {
    bool valid = false;
    QSet<QString> names;
    std::optional<QString> focusedName;
};

CAdminView::CAdminView() : m_listCtrl(this) {
    m_listCtrl.setObjectName(QString::number(IDC_LISTCTRL));
    // The list covers the whole view: no background of its own to erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    if (auto* model = dynamic_cast<CListCtrlModel*>(m_listCtrl.model()))
        model->SetToolTipSource([this](int row) { return RowToolTip(row); });
    RegisterCommands();
}

QString CAdminView::RowToolTip(int row) const {
    CAdminDoc* document = GetDocument();
    if (m_viewType != VT_Services || m_bNonePresent != 0 || document == nullptr)
        return {};
    const QString state = m_listCtrl.GetItemText(row, 1);
    if (state != StringTable::Load(IDS_STATE_RUNNING) &&
        state != StringTable::Load(IDS_STATE_IDLE_FAILED))
        return {};
    // The server is asked when the pointer comes to rest, never waited for: the answer is shown
    // when it is in and the pointer is still on the row, and is the row's tooltip once.
    const QString name = m_listCtrl.GetItemText(row, 0);
    if (m_toolTipAnswer.first == name) {
        const QString text = std::exchange(m_toolTipAnswer, {}).second;
        return StatusToolTip(text);
    }
    if (m_strToolTipAsked == name)
        return {};
    m_strToolTipAsked = name;
    QPointer<const CAdminView> view(this);
    document->RequestServiceStatusText(name, [view, name](const QString& text) {
        if (view != nullptr)
            view->ShowStatusToolTip(name, text);
    });
    return {};
}

QString CAdminView::StatusToolTip(const QString& text) {
    // Rich text keeps the line breaks and shows what a service wrote as text, never as markup.
    return QStringLiteral("<p style=\"white-space:pre\">") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

void CAdminView::ShowStatusToolTip(const QString& name, const QString& text) const {
    m_strToolTipAsked.clear();
    m_toolTipAnswer = {name, text};
    QWidget* viewport = m_listCtrl.viewport();
    const QModelIndex under = m_listCtrl.indexAt(viewport->mapFromGlobal(QCursor::pos()));
    if (under.isValid() && m_listCtrl.GetItemText(under.row(), 0) == name)
        QToolTip::showText(QCursor::pos(), StatusToolTip(text), viewport);
}

CAdminView::~CAdminView() {
    if (m_pCheckBox && m_bCheckBoxClosed == 0)
        m_pCheckBox->DestroyWindow();
    m_pCheckBox.reset();
}

CAdminDoc* CAdminView::GetDocument() const {
    return dynamic_cast<CAdminDoc*>(CView::GetDocument());
}

int CAdminView::LoadView(ViewType type, int bForce) {
    CAdminDoc* document = GetDocument();
    if (document == nullptr)
        return 0;
    switch (type) {
        case VT_Profiles:
            document->RefreshProfileInfo(bForce);
            break;
        case VT_Services:
            document->RefreshServiceInfo(bForce);
            break;
        case VT_ServiceProviders:
            document->RefreshSPInfo(bForce);
            break;
        default:
            return 0;
    }
    m_prevViewType = m_viewType;
    m_viewType = type;
    document->UpdateAllViews(nullptr, HintOf(type));
    return 1;
}

void CAdminView::OnInitialUpdate() {
    LoadView(VT_Profiles, 1);
}

void CAdminView::OnUpdate(CView* /*pSender*/, long lHint, CObject* /*pHint*/) {
    if (m_bUpdatesEnabled == 0) {
        update();
        return;
    }
    if (lHint == HINT_LEVEL)
        return;
    if ((lHint == HINT_PROFILES && m_viewType != VT_Profiles) ||
        (lHint == HINT_SERVICES && m_viewType != VT_Services) ||
        (lHint == HINT_SPS && m_viewType != VT_ServiceProviders))
        return;

    const RememberedSelection remembered = RememberSelection();
    m_listCtrl.setUpdatesEnabled(false);  // one repaint at the end, no flicker
    m_pLines.reset();
    const std::unique_ptr<CViewLine> fresh = FreshLines();
    const bool sameType = m_prevViewType == m_viewType;
    if (!sameType) {
        SetupListColumns();
        // The switch is shown now: later updates of this type keep the operator's selection and
        // column widths instead of dropping them on every periodic refresh.
        m_prevViewType = m_viewType;
    }
    SetupListData(fresh.get());
    if (sameType && remembered.valid)
        RestoreSelection(remembered);
    m_listCtrl.setUpdatesEnabled(true);
    m_listCtrl.viewport()->update();
    update();
}

std::unique_ptr<CViewLine> CAdminView::FreshLines() const {
    CAdminDoc* document = GetDocument();
    if (document == nullptr)
        return nullptr;
    switch (m_viewType) {
        case VT_Profiles:
            return document->GetProfiles();
        case VT_Services:
            return document->GetServices();
        case VT_ServiceProviders:
            return document->GetSPs();
        default:
            return nullptr;
    }
}

CAdminView::RememberedSelection CAdminView::RememberSelection() const {
    RememberedSelection remembered;
    if (!m_pLines)
        return remembered;
    try {
        const int focused = m_listCtrl.GetFocusedItem();
        int row = 0;
        for (const CViewLine* line = m_pLines.get(); line != nullptr; line = line->Next(), ++row) {
            if (m_listCtrl.IsItemSelected(row))
                remembered.names.insert(line->GetItem(0));
            if (row == focused)
                remembered.focusedName = line->GetItem(0);
        }
        remembered.valid = true;
    } catch (const std::bad_alloc&) {
        return {};  // the rows are rebuilt without their selection
    }
    return remembered;
}

void CAdminView::RestoreSelection(const RememberedSelection& remembered) {
    std::vector<int> selected;
    int focused = -1;
    int row = 0;
    for (const CViewLine* line = m_pLines.get(); line != nullptr; line = line->Next(), ++row) {
        const QString& name = line->GetItem(0);
        if (remembered.names.contains(name))
            selected.push_back(row);
        if (remembered.focusedName && *remembered.focusedName == name)
            focused = row;
    }
    m_listCtrl.SelectItems(selected);
    if (focused >= 0)
        m_listCtrl.SetFocusedItem(focused);
}

void CAdminView::SetupListColumns() {
    for (int column = kMaxColumns - 1; column >= 0; --column)
        m_listCtrl.DeleteColumn(column);
    const std::span<const ColumnSpec> columns = ColumnsOf(m_viewType);
    const DisplayTexts texts = DisplayTexts::Load();
    const TextMeasure measure = MeasureOf(m_listCtrl);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const QStringList fixed = FixedTextsOf(columns[i], texts);
        InitColumn(static_cast<int>(i), fixed.front(), StartWidth(columns[i], fixed, measure));
    }
}

void CAdminView::InitColumn(int index, const QString& heading, int width) {
    m_listCtrl.InsertColumn(index, heading, width);
}

void CAdminView::SetupListData(const CViewLine* lines) {
    m_listCtrl.DeleteAllItems();
    m_pLines.reset();
    if (lines != nullptr) {
        m_pLines = std::make_unique<CViewLine>(*lines);
        m_bNonePresent = 0;
    } else {
        m_pLines = std::make_unique<CViewLine>();
        m_pLines->SetItem(0, StringTable::Load(IDS_NONE_PRESENT));
        m_bNonePresent = 1;
    }
    std::vector<QStringList> rows;
    rows.reserve(static_cast<std::size_t>(m_pLines->Count()));
    for (const CViewLine* line = m_pLines.get(); line != nullptr; line = line->Next()) {
        QStringList cells{line->GetItem(0)};
        for (int cell = 1; cell < line->NumberOfItems(); ++cell)
            cells.append(line->GetItem(cell));
        rows.push_back(std::move(cells));
    }
    m_listCtrl.SetItems(std::move(rows));
}

void CAdminView::OnActivateView(bool activate) {
    CWndView::OnActivateView(activate);
    if (activate)
        m_listCtrl.setFocus(Qt::OtherFocusReason);
}

void CAdminView::resizeEvent(QResizeEvent* event) {
    CWndView::resizeEvent(event);
    m_listCtrl.setGeometry(0, 0, event->size().width(), event->size().height());
}

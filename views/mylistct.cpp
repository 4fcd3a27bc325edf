#include "views/mylistct.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

CMyListCtrl::CMyListCtrl(QWidget* parent) : QTreeView(parent), m_model(this) {
    setModel(&m_model);
    const auto forgetSelectedRows = [this] { m_bSelectedRowsValid = false; };
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, forgetSelectedRows);
    connect(&m_model, &QAbstractItemModel::modelReset, this, forgetSelectedRows);
    connect(&m_model, &QAbstractItemModel::columnsInserted, this, forgetSelectedRows);
    connect(&m_model, &QAbstractItemModel::columnsRemoved, this, forgetSelectedRows);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);  // rows of one height: thousands of rows lay out at once
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Without the focus the selection is not shown.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Inactive, QPalette::Base));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Inactive, QPalette::Text));
    setPalette(colours);
}

int CMyListCtrl::InsertColumn(int index, const QString& heading, int width) {
    const int at = m_model.InsertColumn(index, heading);
    header()->resizeSection(at, width);
    return at;
}

bool CMyListCtrl::DeleteColumn(int index) {
    return m_model.DeleteColumn(index);
}

int CMyListCtrl::GetColumnCount() const {
    return m_model.columnCount();
}

QString CMyListCtrl::GetColumnHeading(int index) const {
    return m_model.headerData(index, Qt::Horizontal).toString();
}

int CMyListCtrl::GetColumnWidth(int index) const {
    return index >= 0 && index < GetColumnCount() ? header()->sectionSize(index) : 0;
}

void CMyListCtrl::SetItems(std::vector<QStringList> rows) {
    m_model.SetRows(std::move(rows));
}

void CMyListCtrl::DeleteAllItems() {
    m_model.SetRows({});
}

int CMyListCtrl::GetItemCount() const {
    return m_model.rowCount();
}

QString CMyListCtrl::GetItemText(int row, int column) const {
    return m_model.Text(row, column);
}

QModelIndex CMyListCtrl::RowIndex(int row) const {
    // A row exists even when no column does; column 0 then stands for it in the selection.
    return m_model.index(row, 0);
}

bool CMyListCtrl::IsItemSelected(int row) const {
    const std::vector<bool>& selected = SelectedRows();
    return row >= 0 && static_cast<std::size_t>(row) < selected.size() &&
           selected[static_cast<std::size_t>(row)];
}

const std::vector<bool>& CMyListCtrl::SelectedRows() const {
    if (!m_bSelectedRowsValid) {
        m_selectedRows.assign(static_cast<std::size_t>(GetItemCount()), false);
        for (const QItemSelectionRange& range : selectionModel()->selection()) {
            for (int row = std::max(range.top(), 0); row <= range.bottom() && row < GetItemCount();
                 ++row)
                m_selectedRows[static_cast<std::size_t>(row)] = true;
        }
        m_bSelectedRowsValid = true;
    }
    return m_selectedRows;
}

void CMyListCtrl::SetItemSelected(int row, bool selected) {
    if (row < 0 || row >= GetItemCount())
        return;
    selectionModel()->select(
        RowIndex(row), (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                           QItemSelectionModel::Rows);
}

void CMyListCtrl::SelectItems(const std::vector<int>& rows) {
    std::vector<int> sorted;
    for (const int row : rows) {
        if (row >= 0 && row < GetItemCount())
            sorted.push_back(row);
    }
    std::sort(sorted.begin(), sorted.end());
    // Neighbouring rows become one range: a large selection is one select call.
    QItemSelection selection;
    for (std::size_t first = 0; first < sorted.size();) {
        std::size_t last = first;
        while (last + 1 < sorted.size() && sorted[last + 1] <= sorted[last] + 1)
            ++last;
        selection.select(RowIndex(sorted[first]), RowIndex(sorted[last]));
        first = last + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void CMyListCtrl::ClearSelection() {
    selectionModel()->clearSelection();
}

int CMyListCtrl::GetSelectedCount() const {
    return static_cast<int>(selectionModel()->selectedRows().size());
}

int CMyListCtrl::GetFocusedItem() const {
    const QModelIndex current = selectionModel()->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void CMyListCtrl::SetFocusedItem(int row) {
    if (row >= 0 && row < GetItemCount())
        selectionModel()->setCurrentIndex(RowIndex(row), QItemSelectionModel::NoUpdate);
}

bool CMyListCtrl::GetItemRect(int row, QRect& rect) const {
    if (row < 0 || row >= GetItemCount())
        return false;
    const QRect cell = visualRect(RowIndex(row));
    rect = QRect(0, cell.top(), viewport()->width(), cell.height());
    return cell.height() > 0;
}

int CMyListCtrl::HitTestRow(const QPoint& point) const {
    if (GetColumnCount() == 0)
        return -1;
    // Only the height decides: the point is moved into the first column.
    const int x = header()->sectionViewportPosition(0);
    const QModelIndex hit = indexAt(QPoint(std::max(x, 0), point.y()));
    return hit.isValid() ? hit.row() : -1;
}

void CMyListCtrl::OnLButtonDown(Qt::KeyboardModifiers keys, const QPoint& point) {
    const int hit = HitTestRow(point);
    if (hit < 0) {
        ClearSelection();
        return;
    }
    if (keys & Qt::ControlModifier) {
        SetItemSelected(hit, !IsItemSelected(hit));
        return;
    }
    if (keys & Qt::ShiftModifier) {
        const int anchor = std::max(GetFocusedItem(), 0);
        const QItemSelection range(RowIndex(std::min(anchor, hit)),
                                   RowIndex(std::max(anchor, hit)));
        selectionModel()->select(range,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
    }
    SelectOnly(hit);
}

void CMyListCtrl::SelectOnly(int row) {
    // Through the view's own current-index call, which also makes the row the start of the
    // next Shift+arrow selection; otherwise that would start where the keys last left it.
    m_bSelectingOnly = true;
    setCurrentIndex(RowIndex(row));
    m_bSelectingOnly = false;
}

QItemSelectionModel::SelectionFlags CMyListCtrl::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
    if (m_bSelectingOnly)
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return QTreeView::selectionCommand(index, event);
}

void CMyListCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QTreeView::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    OnLButtonDown(event->modifiers(), event->position().toPoint());
}

// The base handlers would drag-select from the press they never saw, an anchor left from an
// earlier press or from row 0.
void CMyListCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        event->accept();
        return;
    }
    QTreeView::mouseMoveEvent(event);
}

void CMyListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        event->accept();
        return;
    }
    QTreeView::mouseReleaseEvent(event);
}

void CMyListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QTreeView::mouseDoubleClickEvent(event);
        return;
    }
    // The first press already selected; the second one only activates.
    if (m_onActivate)
        m_onActivate();
}

void CMyListCtrl::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_onActivate) {
        m_onActivate();
        return;
    }
    QTreeView::keyPressEvent(event);
}

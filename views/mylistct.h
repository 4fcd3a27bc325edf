#pragma once
// CMyListCtrl: the report-style list control of the list view, with its own left-click rules.
// Several rows may be selected; the selection is not highlighted while the control lacks the
// keyboard focus; no sorting, no header clicks, no icons. The focused row is the current row.
//
// Left click: the row is found by height alone (a click right of the last column still hits
// it). Below the last row: every selected row is cleared, the focus stays. Ctrl: the hit row's
// selection is toggled. Shift: the rows from the focused row (or row 0) to the hit row become
// the selection, the focus stays. Plain: the hit row alone is selected and focused.
// The press decides alone: moves and the release of the left button change nothing, so a
// click that jitters or drags never selects more than the rule above.

#include <QStringList>
#include <QTreeView>
#include <functional>
#include <vector>

#include "views/listctrlmodel.h"

class CMyListCtrl final : public QTreeView {
public:
    explicit CMyListCtrl(QWidget* parent = nullptr);

    // Columns: one left-aligned column inserted at the index with its width in pixels.
    int InsertColumn(int index, const QString& heading, int width);
    // Harmless for a column that does not exist (returns false).
    bool DeleteColumn(int index);
    int GetColumnCount() const;
    QString GetColumnHeading(int index) const;
    int GetColumnWidth(int index) const;

    // Rows: all replaced at once, none selected, no focus.
    void SetItems(std::vector<QStringList> rows);
    void DeleteAllItems();
    int GetItemCount() const;
    QString GetItemText(int row, int column) const;

    bool IsItemSelected(int row) const;
    void SetItemSelected(int row, bool selected);
    // Selects the rows, in one step; the other rows keep their state.
    void SelectItems(const std::vector<int>& rows);
    void ClearSelection();
    int GetSelectedCount() const;
    // The focused row, or -1.
    int GetFocusedItem() const;
    void SetFocusedItem(int row);
    // The row's rectangle in viewport coordinates across the whole width; false past the end.
    bool GetItemRect(int row, QRect& rect) const;

    // The row under the viewport point by height alone, or -1.
    int HitTestRow(const QPoint& point) const;
    // The left-button-down rule above, for the modifier keys held.
    void OnLButtonDown(Qt::KeyboardModifiers keys, const QPoint& point);

    // Called for a double click and for Enter in the list.
    void SetActivateHandler(std::function<void()> handler) { m_onActivate = std::move(handler); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event = nullptr) const override;

private:
    QModelIndex RowIndex(int row) const;
    // The row alone selected, focused, and the anchor of keyboard selection.
    void SelectOnly(int row);
    // Which rows are selected, read from the selection's ranges once after each change: asking
    // the selection row by row costs a walk over its ranges each time, and a view walks every
    // row of a list of thousands with as many ranges selected.
    const std::vector<bool>& SelectedRows() const;

    CListCtrlModel m_model;
    mutable std::vector<bool> m_selectedRows;
    mutable bool m_bSelectedRowsValid = false;
    std::function<void()> m_onActivate;
    bool m_bSelectingOnly = false;
};

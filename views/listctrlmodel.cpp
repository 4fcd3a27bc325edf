#include "views/listctrlmodel.h"

#include <algorithm>

#include "session/textconv.h"

int CListCtrlModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CListCtrlModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_headings.size());
}

QVariant CListCtrlModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return ShownServerText(Text(index.row(), index.column()));
    if (role == Qt::ToolTipRole && m_toolTipSource) {
        const QString tip = m_toolTipSource(index.row());
        if (!tip.isEmpty())
            return tip;
    }
    return {};
}

QVariant CListCtrlModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_headings.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_headings.at(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

int CListCtrlModel::InsertColumn(int index, const QString& heading) {
    const int at = std::clamp(index, 0, static_cast<int>(m_headings.size()));
    beginInsertColumns(QModelIndex(), at, at);
    m_headings.insert(at, heading);
    endInsertColumns();
    return at;
}

bool CListCtrlModel::DeleteColumn(int index) {
    if (index < 0 || index >= m_headings.size())
        return false;
    beginRemoveColumns(QModelIndex(), index, index);
    m_headings.removeAt(index);
    for (QStringList& row : m_rows) {
        if (index < row.size())
            row.removeAt(index);
    }
    endRemoveColumns();
    return true;
}

void CListCtrlModel::SetRows(std::vector<QStringList> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

QString CListCtrlModel::Text(int row, int column) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return {};
    const QStringList& cells = m_rows[static_cast<std::size_t>(row)];
    return column >= 0 && column < cells.size() ? cells.at(column) : QString();
}

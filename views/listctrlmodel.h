#pragma once
// The rows of a report-style list control: texts by row and column, with the column headings.
// Rows are replaced as a whole, so a list of thousands of rows is one model reset. The texts
// hold the server's bytes as Latin-1 (session/textconv.h) and are shown readably.

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>
#include <vector>

class CListCtrlModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Inserts a column at the index (clamped to the end); returns where it went.
    int InsertColumn(int index, const QString& heading);
    // False when there is no such column.
    bool DeleteColumn(int index);
    // Replaces every row; a row's texts beyond the columns are kept but not shown.
    void SetRows(std::vector<QStringList> rows);
    // "" for a row or column that does not exist.
    QString Text(int row, int column) const;
    // The tooltip of a row, asked when the pointer rests on it; none by default.
    void SetToolTipSource(std::function<QString(int row)> source) {
        m_toolTipSource = std::move(source);
    }

private:
    QStringList m_headings;
    std::vector<QStringList> m_rows;
    std::function<QString(int row)> m_toolTipSource;
};

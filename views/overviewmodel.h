#pragma once
// The rows of the Server Overview as a table: one row per administration server entry, the
// servers that fail or do not respond first, then those with failed services, then the rest,
// each group in the table's order. Updates keep the rows in place where the order holds, and
// move the selection with its server where it does not.

#include <QAbstractTableModel>
#include <vector>

#include "session/overviewpoll.h"

class ServerOverviewModel final : public QAbstractTableModel {
public:
    enum Column { kServer, kAnswers, kLevel, kRunning, kFailed, kProfiles, kLastRead, kColumns };
    // The level drawn as lamps (int, 0..5), and whether they are greyed (bool).
    static constexpr int kLevelRole = Qt::UserRole;
    static constexpr int kGreyedRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

    void SetRows(const std::vector<OverviewRow>& rows);
    // The entry name of a row, as the table holds it.
    const std::string& EntryAt(int row) const {
        return m_rows.at(static_cast<std::size_t>(row)).entry;
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QString Text(const OverviewRow& row, int column) const;
    QString ToolTip(const OverviewRow& row, int column) const;

    std::vector<OverviewRow> m_rows;
};

// The rows in the order shown.
std::vector<OverviewRow> OverviewOrder(std::vector<OverviewRow> rows);

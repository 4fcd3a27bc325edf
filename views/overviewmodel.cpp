#include "views/overviewmodel.h"

#include <algorithm>

#include "resources/stringtable.h"
#include "session/textconv.h"

namespace {

using Answer = OverviewRow::Answer;

// 0 first: no answer; then failed services; then the rest.
int Group(const OverviewRow& row) {
    if (row.answer == Answer::Fails || row.answer == Answer::NotResponding)
        return 0;
    return row.facts.failed > 0 ? 1 : 2;
}

QString Count(int count) {
    return count < 0 ? QString() : QString::number(count);
}

unsigned HeaderId(int column) {
    static constexpr unsigned kHeaders[] = {IDS_OVERVIEW_COL_SERVER,   IDS_OVERVIEW_COL_ANSWERS,
                                            IDS_OVERVIEW_COL_LEVEL,    IDS_OVERVIEW_COL_RUNNING,
                                            IDS_OVERVIEW_COL_FAILED,   IDS_OVERVIEW_COL_PROFILES,
                                            IDS_OVERVIEW_COL_LAST_READ};
    return kHeaders[column];
}

QString AnswerText(const OverviewRow& row) {
    switch (row.answer) {
        case Answer::Unread:
            return StringTable::Load(IDS_OVERVIEW_READING);
        case Answer::Answers:
            return StringTable::Load(IDS_OVERVIEW_YES);
        case Answer::Fails:
            return StringTable::Load(IDS_OVERVIEW_NO).arg(row.reason);
        case Answer::NotResponding:
            return StringTable::Load(IDS_OVERVIEW_NOT_RESPONDING).arg(row.reason);
    }
    return {};
}

}  // namespace

std::vector<OverviewRow> OverviewOrder(std::vector<OverviewRow> rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const OverviewRow& a, const OverviewRow& b) {
        return Group(a) < Group(b);
    });
    return rows;
}

void ServerOverviewModel::SetRows(const std::vector<OverviewRow>& rows) {
    std::vector<OverviewRow> ordered = OverviewOrder(rows);
    const bool bSameOrder =
        ordered.size() == m_rows.size() &&
        std::equal(ordered.begin(), ordered.end(), m_rows.begin(),
                   [](const OverviewRow& a, const OverviewRow& b) { return a.entry == b.entry; });
    if (bSameOrder) {
        m_rows = std::move(ordered);
        if (!m_rows.empty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1));
        return;
    }
    if (ordered.size() != m_rows.size()) {
        beginResetModel();
        m_rows = std::move(ordered);
        endResetModel();
        return;
    }
    // The same servers in another order: each persistent index follows its server.
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& old : before) {
        const std::string& entry = m_rows[static_cast<std::size_t>(old.row())].entry;
        const auto found = std::find_if(ordered.begin(), ordered.end(),
                                        [&](const OverviewRow& row) { return row.entry == entry; });
        after.push_back(found == ordered.end()
                            ? QModelIndex()
                            : index(static_cast<int>(found - ordered.begin()), old.column()));
    }
    m_rows = std::move(ordered);
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

int ServerOverviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ServerOverviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QString ServerOverviewModel::Text(const OverviewRow& row, int column) const {
    switch (column) {
        case kServer:
            return ShownServerText(FromServerText(row.entry.c_str()));
        case kAnswers:
            return AnswerText(row);
        case kLevel:
            return row.lastRead.isNull() ? QString() : QString::number(row.facts.level);
        case kRunning:
            return Count(row.facts.running);
        case kFailed:
            return Count(row.facts.failed);
        case kProfiles:
            return Count(row.facts.profiles);
        case kLastRead:
            return row.lastRead.isNull()
                       ? StringTable::Load(IDS_OVERVIEW_NEVER)
                       : row.lastRead.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    return {};
}

QString ServerOverviewModel::ToolTip(const OverviewRow& row, int column) const {
    if (column == kLevel && row.facts.level >= 1 && row.facts.level <= 5)
        return StringTable::Load(IDS_LEVEL_1 + static_cast<unsigned>(row.facts.level) - 1);
    return column == kAnswers ? AnswerText(row) : QString();
}

QVariant ServerOverviewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const OverviewRow& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return Text(row, index.column());
        case Qt::ToolTipRole:
            return ToolTip(row, index.column());
        case kLevelRole:
            return row.lastRead.isNull() ? 0 : static_cast<int>(row.facts.level);
        case kGreyedRole:
            // The level shown may no longer hold.
            return row.answer != Answer::Answers;
        default:
            return {};
    }
}

QVariant ServerOverviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumns)
        return {};
    return StringTable::Load(HeaderId(section));
}

#include "views/overview.h"

#include <algorithm>

#include <QHeaderView>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "resources/resourceids.h"
#include "resources/stringtable.h"
#include "views/dibitmap.h"
#include "views/lamps.h"
#include "views/overviewmodel.h"
#include "views/serverst.h"

namespace {

constexpr int kLampSide = 14;
constexpr int kLampGap = 2;
constexpr int kVeilAlpha = 170;
constexpr QSize kInitialSize(820, 320);
// "Not responding: no answer within 10 s" whole; longer ones end in "..." (the tooltip has all).
constexpr int kAnswersMaxChars = 40;

// The level column: five small lamps, lit up to the level, greyed while the server does not
// answer.
class LevelLampsDelegate final : public QStyledItemDelegate {
public:
    explicit LevelLampsDelegate(QObject* parent) : QStyledItemDelegate(parent) {
        m_litLamp.LoadDIBitmap(IDB_LAMP_LIT);
        m_darkLamp.LoadDIBitmap(IDB_LAMP_UNLIT);
        m_lampMask.LoadDIBitmap(IDB_LAMP_MASK);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.text.clear();  // the lamps say it; the tooltip names the level
        QStyledItemDelegate::paint(painter, plain, index);
        const bool bSelected = (option.state & QStyle::State_Selected) != 0;
        const QColor background =
            option.palette.color(bSelected ? QPalette::Highlight : QPalette::Base);
        m_litLamp.ChangePaletteEntry(kLampFaceEntry, background);
        m_darkLamp.ChangePaletteEntry(kLampFaceEntry, background);
        QColor veil = background;
        veil.setAlpha(kVeilAlpha);
        const int level = index.data(ServerOverviewModel::kLevelRole).toInt();
        const bool bGreyed = index.data(ServerOverviewModel::kGreyedRole).toBool();
        const int top = option.rect.top() + (option.rect.height() - kLampSide) / 2;
        painter->save();
        painter->setClipRect(option.rect);
        for (int lamp = 0; lamp < CServerStatus::kLevels; ++lamp) {
            const QRect place(option.rect.left() + kLampGap + lamp * (kLampSide + kLampGap), top,
                              kLampSide, kLampSide);
            DrawLamp(*painter, m_lampMask, lamp < level ? m_litLamp : m_darkLamp, place,
                     bGreyed ? veil : QColor());
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize text = QStyledItemDelegate::sizeHint(option, index);
        return {CServerStatus::kLevels * (kLampSide + kLampGap) + kLampGap,
                std::max(text.height(), kLampSide + 2 * kLampGap)};
    }

private:
    // Drawing recolours their backgrounds, which paint may not change by its promise alone.
    mutable CDIBitmap m_litLamp;
    mutable CDIBitmap m_darkLamp;
    mutable CDIBitmap m_lampMask;
};

}  // namespace

CServerOverview::CServerOverview(QWidget* owner, OpenEntry open, OverviewTimings timings,
                                 ServerOverviewPoller::EntryReader reader)
    : QWidget(owner, Qt::Window),
      m_open(std::move(open)),
      m_pPoller(std::make_unique<ServerOverviewPoller>(timings, std::move(reader))) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(StringTable::Load(IDS_OVERVIEW_TITLE));
    m_pModel = new ServerOverviewModel(this);
    m_pTable = new QTableView(this);
    m_pTable->setModel(m_pModel);
    m_pTable->setItemDelegateForColumn(ServerOverviewModel::kLevel, new LevelLampsDelegate(this));
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setTabKeyNavigation(false);
    m_pTable->verticalHeader()->hide();
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->horizontalHeader()->setSectionResizeMode(ServerOverviewModel::kAnswers,
                                                       QHeaderView::Interactive);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pTable);
    resize(kInitialSize);
    // Enter on the current row, or a double click: as the connect command's choice of it.
    QObject::connect(m_pTable, &QAbstractItemView::activated,
                     [this](const QModelIndex& index) { OpenRow(index.row()); });
    QObject::connect(m_pTable->horizontalHeader(), &QHeaderView::sectionResized,
                     [this](int column) {
                         if (column == ServerOverviewModel::kAnswers && !m_bFitting)
                             m_bAnswersSizedByHand = true;
                     });
    m_pPoller->SetChangeHandler([this] {
        const bool bFirst = m_pModel->rowCount() == 0;
        m_pModel->SetRows(m_pPoller->Rows());
        if (bFirst && m_pModel->rowCount() > 0) {
            const QScopedValueRollback fitting(m_bFitting, true);
            m_pTable->resizeColumnsToContents();
            m_pTable->setCurrentIndex(m_pModel->index(0, 0));
        }
        FitAnswersColumn();
    });
    m_pPoller->Start();
}

CServerOverview::~CServerOverview() = default;

// The answers change with every read; the column widens to show them, never narrows (rows would
// jump at each recovery), and leaves alone a width the operator chose.
void CServerOverview::FitAnswersColumn() {
    if (m_bAnswersSizedByHand)
        return;
    const int cap = kAnswersMaxChars * m_pTable->fontMetrics().averageCharWidth();
    const QAbstractItemView& view = *m_pTable;  // where the table's own hint is public
    const int wanted = std::min(view.sizeHintForColumn(ServerOverviewModel::kAnswers), cap);
    QHeaderView& header = *m_pTable->horizontalHeader();
    if (wanted <= header.sectionSize(ServerOverviewModel::kAnswers))
        return;
    const QScopedValueRollback fitting(m_bFitting, true);
    header.resizeSection(ServerOverviewModel::kAnswers, wanted);
}

void CServerOverview::OpenRow(int row) {
    if (row < 0 || row >= m_pModel->rowCount() || !m_open)
        return;
    m_open(QString::fromLatin1(m_pModel->EntryAt(row).c_str()));
}

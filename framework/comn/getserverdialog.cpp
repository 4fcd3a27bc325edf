#include "framework/comn/getserverdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/bytetext.h"
#include "resources/resourceids.h"

CGetServerDialog::CGetServerDialog(const QString& prompt, const std::vector<std::string>& names,
                                   QWidget* parent)
    : QDialog(parent), m_pList(new QListWidget(this)) {
    setObjectName(QString::number(IDD_GETSERVER));
    setWindowTitle(QStringLiteral("Select Server"));
    auto* message = new QLabel(prompt, this);
    message->setObjectName(QString::number(IDC_SERVER_MESSAGE));
    message->setMinimumHeight(2 * message->fontMetrics().lineSpacing());
    m_pList->setObjectName(QString::number(IDC_SERVER_LIST));
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const std::string& name : names) {
        if (name.empty())
            break;  // the empty name ends the list
        auto* row = new QListWidgetItem(ShownText(name), m_pList);
        row->setData(Qt::UserRole, QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_pOk = buttons->button(QDialogButtonBox::Ok);
    m_pOk->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pList, &QListWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });
    connect(m_pList, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message);
    layout->addWidget(m_pList);
    layout->addWidget(buttons);
    OnSelectionChanged();
}

bool CGetServerDialog::SelectName(const QString& name) {
    const QList<QListWidgetItem*> matches = m_pList->findItems(name, Qt::MatchExactly);
    if (matches.isEmpty())
        return false;
    m_pList->setCurrentItem(matches.front());
    return true;
}

QString CGetServerDialog::SelectedName() const {
    const QList<QListWidgetItem*> selected = m_pList->selectedItems();
    return selected.isEmpty() ? QString() : selected.front()->text();
}

std::string CGetServerDialog::SelectedNameBytes() const {
    const QList<QListWidgetItem*> selected = m_pList->selectedItems();
    return selected.isEmpty() ? std::string()
                              : selected.front()->data(Qt::UserRole).toByteArray().toStdString();
}

void CGetServerDialog::OnSelectionChanged() {
    m_pOk->setEnabled(!m_pList->selectedItems().isEmpty());
}

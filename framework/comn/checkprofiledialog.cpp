#include "framework/comn/checkprofiledialog.h"

#include "resources/resourceids.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>


CCheckProfileDialog::CCheckProfileDialog(QWidget* parent)
    : QDialog(parent), m_pText(new QPlainTextEdit(this)) {
    setObjectName(QString::number(IDD_CHECKPROFILE));
    setWindowTitle(QStringLiteral("Profile Checking Results"));
    m_pText->setObjectName(QString::number(IDC_CHECK_RESULTS));
    m_pText->setReadOnly(true);
    m_pText->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pText);
    layout->addLayout(buttons);
    resize(760, 380);  // room for a finding line of the usual length
}

void CCheckProfileDialog::SetText(const QString& text) {
    m_pText->setPlainText(text);
}

QString CCheckProfileDialog::Text() const {
    return m_pText->toPlainText();
}

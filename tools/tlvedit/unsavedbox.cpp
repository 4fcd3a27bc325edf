#include "tools/tlvedit/unsavedbox.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/modalseam.h"
#include "tools/tlvedit/editormessages.h"

CUnsavedChangesBox::CUnsavedChangesBox(const QString& text, QWidget* parent) : QDialog(parent) {
    setWindowTitle(EditorCaption());
    auto* label = new QLabel(text + QStringLiteral("\nSave them before closing?"), this);
    label->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(this);
    m_pSave = buttons->addButton(QStringLiteral("&Save"), QDialogButtonBox::AcceptRole);
    m_pDiscard = buttons->addButton(QStringLiteral("&Discard"), QDialogButtonBox::DestructiveRole);
    m_pCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    m_pSave->setDefault(true);
    connect(m_pSave, &QPushButton::clicked, this, [this] { done(IDYES); });
    connect(m_pDiscard, &QPushButton::clicked, this, [this] { done(IDNO); });
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(buttons);
}

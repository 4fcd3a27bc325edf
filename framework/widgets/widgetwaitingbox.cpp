#include "framework/widgets/widgetwaitingbox.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "resources/stringtable.h"

WidgetWaitingBox::~WidgetWaitingBox() {
    Hide();
}

void WidgetWaitingBox::Show(const QString& caption, const QString& text,
                            std::function<void()> onCancel) {
    Hide();
    auto* dialog = new QDialog(QApplication::activeWindow());
    dialog->setWindowTitle(caption);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_pText = new QLabel(text, dialog);
    m_pText->setTextFormat(Qt::PlainText);
    auto* busy = new QProgressBar(dialog);
    busy->setRange(0, 0);  // moves while the wait goes on, so the window is seen alive
    busy->setTextVisible(false);
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* cancel =
        buttons->addButton(StringTable::Load(IDS_WAIT_CANCEL), QDialogButtonBox::RejectRole);
    // Enter typed ahead for the command waited on must not give the wait up.
    cancel->setAutoDefault(false);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(m_pText);
    layout->addWidget(busy);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    QObject::connect(dialog, &QDialog::rejected, dialog,
                     [onCancel = std::move(onCancel)] { onCancel(); });
    m_pDialog = dialog;
    dialog->show();
}

void WidgetWaitingBox::SetText(const QString& text) {
    if (m_pDialog != nullptr)
        m_pText->setText(text);
}

void WidgetWaitingBox::Hide() {
    if (m_pDialog == nullptr)
        return;
    QDialog* dialog = m_pDialog;
    m_pDialog = nullptr;
    m_pText = nullptr;
    // Hidden now, so nothing of it is seen or touched; deleted once the events run.
    QObject::disconnect(dialog, &QDialog::rejected, nullptr, nullptr);
    dialog->hide();
    dialog->deleteLater();
}

#pragma once
// The program's waiting box: a small application-modal dialog with the text and Cancel, shown
// without a loop of its own (the wait runs the events).

#include <QPointer>

#include "framework/waitingbox.h"

class QDialog;
class QLabel;

class WidgetWaitingBox final : public WaitingBox {
public:
    ~WidgetWaitingBox() override;

    void Show(const QString& caption, const QString& text, std::function<void()> onCancel) override;
    void SetText(const QString& text) override;
    void Hide() override;

private:
    QPointer<QDialog> m_pDialog;
    QLabel* m_pText = nullptr;
};

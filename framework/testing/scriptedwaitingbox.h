#pragma once
// The waiting box for tests: installs itself for its lifetime, records every text it is given
// in order, and presses Cancel when told to, as soon as it is shown.

#include <QString>
#include <functional>
#include <vector>

#include "framework/waitingbox.h"

class ScriptedWaitingBox final : public WaitingBox {
public:
    ScriptedWaitingBox() : m_guard(*this) {}

    // The next Show presses Cancel at once.
    void CancelWhenShown() { m_bCancelWhenShown = true; }

    void Show(const QString& caption, const QString& text, std::function<void()> onCancel) override;
    void SetText(const QString& text) override { m_texts.push_back(text); }
    void Hide() override { m_bShown = false; }

    bool IsShown() const { return m_bShown; }
    int TimesShown() const { return m_nShown; }
    const QString& Caption() const { return m_strCaption; }
    // The texts shown, the first one of each Show included, in order.
    const std::vector<QString>& Texts() const { return m_texts; }

private:
    bool m_bCancelWhenShown = false;
    bool m_bShown = false;
    int m_nShown = 0;
    QString m_strCaption;
    std::vector<QString> m_texts;
    WaitingBoxGuard m_guard;
};

#include "framework/testing/scriptedwaitingbox.h"

void ScriptedWaitingBox::Show(const QString& caption, const QString& text,
                              std::function<void()> onCancel) {
    m_bShown = true;
    ++m_nShown;
    m_strCaption = caption;
    m_texts.push_back(text);
    if (m_bCancelWhenShown) {
        m_bCancelWhenShown = false;
        onCancel();
    }
}

#pragma once
// The program's modal seam: real Qt dialogs and message boxes.

#include "framework/modalseam.h"

class WidgetModalSeam final : public ModalSeam {
public:
    int RunDialog(QDialog& dialog) override;
    int MessageBox(const QString& text, const QString& caption, unsigned flags,
                   QWidget* owner = nullptr, const QString& details = {}) override;
    void MessageBeep(unsigned type) override;
};

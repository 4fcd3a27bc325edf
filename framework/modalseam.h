#pragma once
// The modal seam: every modal dialog run, message box and beep of the program goes through the
// one installed ModalSeam. The program installs the Qt Widgets implementation
// (framework/widgets/widgetmodalseam.h); tests install a scripted one
// (framework/testing/scriptedmodalseam.h) that answers and records, so they can assert every
// text shown and its order.
//
// Results follow the platform's message-box convention: IDOK when a dialog is accepted, IDCANCEL
// when it is rejected (Escape, Cancel, the close button), and any other code a dialog ends
// with through QDialog::done(code); a dialog therefore uses codes above 2 for its own buttons.

#include <QString>
#include <span>
#include <string>
#include <vector>

#include "framework/scopedinstall.h"

class QDialog;
class QWidget;

// Message-box buttons (the low four bits of the flags).
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
inline constexpr unsigned MB_TYPEMASK = 0xF;
// Icons; also the sounds of MessageBeep.
inline constexpr unsigned MB_ICONHAND = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONASTERISK = 0x40;
inline constexpr unsigned MB_ICONERROR = MB_ICONHAND;
inline constexpr unsigned MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr unsigned MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr unsigned MB_ICONMASK = 0xF0;
// Default button (the first one unless said otherwise).
inline constexpr unsigned MB_DEFBUTTON1 = 0x0;
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;
inline constexpr unsigned MB_DEFMASK = 0xF00;
// Modality.
inline constexpr unsigned MB_APPLMODAL = 0x0;
inline constexpr unsigned MB_SYSTEMMODAL = 0x1000;
inline constexpr unsigned MB_TASKMODAL = 0x2000;
inline constexpr unsigned MB_MODEMASK = 0x3000;
// MessageBeep's plain beep.
inline constexpr unsigned MB_SIMPLEBEEP = 0xFFFFFFFF;

// Results of a message box or dialog run.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

class ModalSeam {
public:
    virtual ~ModalSeam() = default;

    // Runs the dialog modally until it ends; returns IDOK, IDCANCEL or its own done() code.
    virtual int RunDialog(QDialog& dialog) = 0;

    // Shows a message box with the buttons, icon, default button and modality of the flags,
    // owned by the owner window (none when null); returns the button pressed (IDOK, IDYES...).
    // details, when given, stand under the text in smaller print (QMessageBox's informative
    // text): what exactly went wrong and what to do, below a message that must stay as it is.
    virtual int MessageBox(const QString& text, const QString& caption, unsigned flags,
                           QWidget* owner = nullptr, const QString& details = {}) = 0;

    // Sounds the beep for the type (an MB_ICON... value or MB_SIMPLEBEEP).
    virtual void MessageBeep(unsigned type) = 0;

protected:
    ModalSeam() = default;
    ModalSeam(const ModalSeam&) = default;
    ModalSeam& operator=(const ModalSeam&) = default;
};

// The installed seam. Before any is installed, calls go to an unattended seam that cancels
// every dialog, answers every message box with its default button and writes each text to the
// Qt warning log, so nothing blocks and nothing shown goes unnoticed.
ModalSeam& Modal();

// Installs the seam and returns the one it replaces; ModalSeamGuard is how callers use it.
ModalSeam* SwapModalSeam(ModalSeam* seam);

// Installs a seam for its own lifetime and then restores the one installed before.
using ModalSeamGuard = ScopedInstall<ModalSeam, &SwapModalSeam>;

// Lines of UTF-8 text as the details of a message box, one a line.
QString DetailsOfLines(const std::vector<std::string>& lines);

// The seam's result for a dialog that ended with the given QDialog result code.
int ModalResultOf(int dialogResult);

// The buttons of a message box with the flags, left to right, as results (IDOK, IDYES...);
// an unknown button type shows OK alone.
std::span<const int> MessageBoxButtons(unsigned flags);

// The result of pressing the default button of a message box with the flags (the Enter key);
// a default button beyond the last one falls back to the first.
int DefaultMessageBoxAnswer(unsigned flags);

#pragma once
// CImportProf, "Import Profile": the file to import (shown, not edited) and the name and class
// the new profile gets. The caller sets the three fields, runs it, and after OK reads the name
// and class. OK refuses an empty name or class, or one with white space, with its message; the
// dialog then stays open.

#include "transfer/ui/profilefilebox.h"

class CImportProf final : public CProfileFileBox {
    Q_OBJECT

public:
    // The file name starts as the application's profile directory.
    explicit CImportProf(QWidget* parent);

    void accept() override;

private:
    void DoDataExchange(bool save) override;
};

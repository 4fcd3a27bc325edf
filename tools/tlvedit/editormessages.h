#pragma once
// The editor's own sentences: every refusal of the server and every local check in plain words.
// Texts the administration client shows too come from its string table.

#include <QString>

#include "s100/errors.h"
#include "tools/tlvedit/profilename.h"

// The caption of every box the editor shows.
QString EditorCaption();

// A box's text and the details under it.
struct EditorMessage {
    QString text;
    QString details;
};

// Why the session to the server entry could not be opened, in the words the administration
// client and tlvadm use: what went wrong as the text; the entry, its connection string and what
// to do as the details.
EditorMessage ConnectFailureMessage(const QString& entry, CTerror code);

enum class ProfileCall { Load, Add, Update };

// What went wrong with the call on the profile, and what became of the operator's text.
QString ProfileFailureText(ProfileCall call, const QString& name, const QString& profileClass,
                           CTerror code);

// Service definitions are changed with the client's service commands only.
QString ServiceClassRefusedText();

// The status-line text for a name that cannot be saved; empty for NameProblem::None.
QString NameProblemText(NameProblem problem);

// The status-line text while the contents parse and the name is fine.
QString ContentsValidText();

// The question asked when the window closes with unsaved changes.
QString UnsavedChangesText(const QString& name);

#include "tools/tlvedit/editormessages.h"

#include "framework/modalseam.h"
#include "resources/stringtable.h"
#include "session/connectwords.h"
#include "session/textconv.h"

namespace {

QString HexCode(CTerror code) {
    return QStringLiteral("0x") +
           QString::number(code, 16).rightJustified(8, QLatin1Char('0')).toUpper();
}

// The reason for a refused or failed profile call; the codes are those the library and the
// server answer to profile calls.
QString ProfileFailureReason(ProfileCall call, CTerror code) {
    switch (code) {
        case CTerr_Exists:
            return QStringLiteral("A profile of that name and class already exists on the server.");
        case CTerr_NotFound:
            return call == ProfileCall::Load
                       ? QStringLiteral("The server has no profile of that name and class.")
                       : QStringLiteral(
                             "The profile no longer exists on the server; it may have been "
                             "removed.");
        case CTerr_ConnectionLost:
            return QStringLiteral(
                "The connection to the server has been lost, possibly because the Telvane "
                "Server has been shut down.");
        case CTerr_InvalidArgument:
            return QStringLiteral(
                "The server refused the profile's name, class or contents as invalid.");
        case CTerr_LimitExceeded:
            return QStringLiteral(
                "The profile is larger or more deeply nested than the server accepts.");
        case CTerr_StoreFailed:
            return QStringLiteral(
                "The server could not store the change. Its disk may be full or its store "
                "damaged.");
        case CTerr_NoMemory:
            return QStringLiteral("There was not enough memory to complete the operation.");
        case CTerr_ProtocolMismatch:
            return QStringLiteral("The server speaks another protocol version than this editor.");
        default:
            return QStringLiteral("The server answered with the unexpected error %1.")
                .arg(HexCode(code));
    }
}

}  // namespace

QString EditorCaption() {
    return QStringLiteral("Profile Editor");
}

EditorMessage ConnectFailureMessage(const QString& entry, CTerror code) {
    if (code == CTerr_NoMemory)
        return {StringTable::Load(IDS_MEMORY_ALLOCATION_FAILED), {}};
    const SC_String entryBytes = ToServerText(entry);
    OpenFailureWords words = DescribeOpenFailure(static_cast<const char*>(entryBytes));
    const QString text = QString::fromStdString(words.reason);
    words.reason.clear();
    return {text, DetailsOfLines(words.Lines())};
}

QString ProfileFailureText(ProfileCall call, const QString& name, const QString& profileClass,
                           CTerror code) {
    const QString what = call == ProfileCall::Load
                             ? QStringLiteral("Unable to open the profile \"%1\" of class \"%2\".")
                             : QStringLiteral("Unable to save the profile \"%1\" of class \"%2\".");
    QString text =
        what.arg(name, profileClass) + QLatin1Char(' ') + ProfileFailureReason(call, code);
    if (call != ProfileCall::Load)
        text += QStringLiteral(" Your changes are still in the editor.");
    return text;
}

QString ServiceClassRefusedText() {
    return QStringLiteral(
               "Profiles of class %1 are Telvane Service definitions. Change them with the "
               "service commands of the administration client.")
        .arg(StringTable::Load(IDS_TLVS_SERVICE_CLASS));
}

QString NameProblemText(NameProblem problem) {
    switch (problem) {
        case NameProblem::None:
            break;
        case NameProblem::EmptyOrSpace:
            return StringTable::Load(IDS_IMPORT_NAME_INVALID);
        case NameProblem::BadCharacter:
            return QStringLiteral(
                "The profile name must not contain control characters or characters outside "
                "Latin-1.");
        case NameProblem::TooLong:
            return QStringLiteral("The profile name cannot be longer than %1 characters.")
                .arg(kMaxProfileTextLength);
    }
    return {};
}

QString ContentsValidText() {
    return QStringLiteral("The contents are a valid KV set.");
}

QString UnsavedChangesText(const QString& name) {
    return QStringLiteral("The profile \"%1\" has changes that have not been saved.").arg(name);
}

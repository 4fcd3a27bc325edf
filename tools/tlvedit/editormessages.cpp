#include "tools/tlvedit/editormessages.h"

#include "framework/bytetext.h"
#include "resources/stringtable.h"
#include "s100/client/entry_key.h"
#include "s100/client/open_failure.h"
#include "session/textconv.h"

namespace {

std::string EntryBytes(const QString& entry) {
    return static_cast<const char*>(ToServerText(entry));
}

// The key file the entry's connection uses.
QString KeyFileOf(const QString& entry) {
    return ShownText(tlv::client::entryKeyPath(EntryBytes(entry)));
}

// What is wrong with the entry's key file: its name and the reason.
QString KeyProblemOf(const QString& entry) {
    std::string key;
    std::string problem;
    tlv::client::loadEntryKey(EntryBytes(entry), key, problem);
    return ShownText(problem);
}

// The library's words for the entry's failed connection, as a sentence.
QString OpenFailureOf(const QString& entry) {
    QString words = ShownText(tlv::client::openFailureOf(EntryBytes(entry)));
    if (!words.isEmpty())
        words[0] = words[0].toUpper();
    return words + QLatin1Char('.');
}

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

QString ConnectFailureText(const QString& entry, CTerror code) {
    switch (code) {
        case CTerr_UnknownServer:
            return QStringLiteral(
                       "The server entry \"%1\" is not in the administration server table of "
                       "this computer. Add it to the server table and try again.")
                .arg(entry);
        case CTerr_BadConnectString:
            return QStringLiteral(
                       "The connection string of the server entry \"%1\" is not valid. It must "
                       "have the form tcp:computer:port.")
                .arg(entry);
        case CTerr_NoAdminKey:
            return QStringLiteral(
                       "There is no usable admin key for the server entry \"%1\" (%2). Copy the "
                       "server's admin.key to %3, readable only by you.")
                .arg(entry, KeyProblemOf(entry), KeyFileOf(entry));
        case CTerr_KeyRejected:
        case CTerr_ConnectRefused:
            return OpenFailureOf(entry);
        case CTerr_ProtocolMismatch:
            return QStringLiteral(
                       "The server of the entry \"%1\" speaks another protocol version than "
                       "this editor.")
                .arg(entry);
        default:
            return StringTable::Load(IDS_CONNECT_FAILED);
    }
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

#include "transfer/transferrules.h"

#include <QFile>
#include <algorithm>

#include "resources/stringtable.h"

namespace {

constexpr qsizetype kProposedNameChars = 8;
const QChar kSeparator = QLatin1Char('/');

// The first count characters of text, never ending inside a surrogate pair.
QString FirstCharacters(const QString& text, qsizetype count) {
    qsizetype end = 0;
    for (qsizetype taken = 0; taken < count && end < text.size(); ++taken)
        end += text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
    return text.left(end);
}

// The profile name's bytes as a file system name; bytes that are no text there show as
// replacement characters the operator can edit.
QString AsFileNameText(const QString& profileName) {
    return QFile::decodeName(profileName.toLatin1());
}

// Only ASCII white space: names hold the server's bytes one a character, and a byte such as
// 0xA0 inside a UTF-8 name is no space.
bool IsWhiteSpace(QChar c) {
    return c.unicode() < 0x80 && c.isSpace();
}

bool IsUsableProfileWord(const QString& text) {
    return !text.isEmpty() && std::none_of(text.begin(), text.end(), IsWhiteSpace);
}

QString Joined(const QString& folder, const QString& fileName) {
    if (folder.isEmpty())
        return fileName;
    return folder.endsWith(kSeparator) ? folder + fileName : folder + kSeparator + fileName;
}

}  // namespace

QString ProposedExportFileName(const QString& profileName) {
    // A "/" in a server's profile name must not point the proposal into another folder.
    QString name = FirstCharacters(AsFileNameText(profileName), kProposedNameChars);
    name.replace(kSeparator, QLatin1Char('_'));
    return name + StringTable::Load(IDS_PROFILE_FILE_EXTENSION);
}

QString WithProfileExtension(const QString& fileName) {
    if (fileName.contains(QLatin1Char('.')))
        return fileName;
    return fileName + StringTable::Load(IDS_PROFILE_FILE_EXTENSION);
}

QString ExportFilePath(const QString& browsedFolder, const QString& fileName) {
    return Joined(browsedFolder, WithProfileExtension(fileName));
}

bool IsConfirmableFileName(const QString& fileName) {
    return std::any_of(fileName.begin(), fileName.end(),
                       [](QChar c) { return c != QLatin1Char(' '); });
}

unsigned CheckImportFields(const QString& name, const QString& profileClass) {
    // Any white space counts: a profile file could not carry the name or class later.
    if (!IsUsableProfileWord(name))
        return IDS_IMPORT_NAME_INVALID;
    if (!IsUsableProfileWord(profileClass))
        return IDS_IMPORT_CLASS_INVALID;
    return 0;
}

QString BrowseStartPath(const QString& profileDirectory, const QString& fileName) {
    return Joined(profileDirectory, fileName).left(kMaxBrowsePathChars);
}

SplitPath SplitAtLastSeparator(const QString& path) {
    const qsizetype last = path.lastIndexOf(kSeparator);
    if (last < 0)
        return {QString(), path};
    // A file in the root keeps "/" as its folder, so that it is not taken for a bare name.
    return {last == 0 ? QString(kSeparator) : path.left(last), path.mid(last + 1)};
}

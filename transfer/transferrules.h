#pragma once
// The rules of the import and export commands that need no widget: the file names proposed and
// handed to the document, and the checks of the dialogs' fields.
//
// Profile names and classes are the server's bytes, held one byte a character (as the lists
// hold them). File names are texts of the file system: the folder separator is "/".

#include <QString>

// The name the export dialog proposes: the profile name's first 8 characters, then ".ief"; a
// "/" among them becomes "_", so the proposal is always a name in the current folder.
QString ProposedExportFileName(const QString& profileName);

// The file name as typed, with ".ief" appended when it holds no "." at all.
QString WithProfileExtension(const QString& fileName);

// What the document writes to: the file name with its extension, inside the folder chosen with
// "&Browse" when there was one, else exactly as typed (a bare name stays bare).
QString ExportFilePath(const QString& browsedFolder, const QString& fileName);

// Whether the export dialog may be confirmed with the name: it holds a character other than a
// space.
bool IsConfirmableFileName(const QString& fileName);

// The first failing check of the import dialog's OK, as the string-table id of its message;
// 0 when the name and class may be sent.
unsigned CheckImportFields(const QString& name, const QString& profileClass);

// The file a save dialog opened by "&Browse" starts on: the profile directory, "/", the file
// name, at most kMaxBrowsePathChars characters. Without a directory, the file name alone.
inline constexpr qsizetype kMaxBrowsePathChars = 2047;
QString BrowseStartPath(const QString& profileDirectory, const QString& fileName);

// A chosen path split at its last "/": the folder before it and the file name after it.
struct SplitPath {
    QString folder;
    QString fileName;
};
SplitPath SplitAtLastSeparator(const QString& path);

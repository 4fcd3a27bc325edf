// The file names the export proposes and writes to, the import dialog's checks in their order,
// and the paths "&Browse" starts on and splits.

#include <gtest/gtest.h>

#include "resources/stringtable.h"
#include "transfer/transferrules.h"

namespace {

// A profile name as the lists hold it: the server's bytes one a character.
QString ListText(const char* bytes) {
    return QString::fromLatin1(bytes);
}

TEST(TransferRules, ProposedFileNameIsTheFirstEightCharactersAndTheExtension) {
    EXPECT_EQ(ProposedExportFileName(ListText("RoutingRulesMain")), "RoutingR.ief");
    EXPECT_EQ(ProposedExportFileName(ListText("abc")), "abc.ief");
    EXPECT_EQ(ProposedExportFileName(ListText("Exactly8")), "Exactly8.ief");
    EXPECT_EQ(ProposedExportFileName(ListText("../../etc/passwd")), ".._.._et.ief");
    // A UTF-8 name counts characters, not bytes, and is a readable file name.
    EXPECT_EQ(ProposedExportFileName(ListText("\xC3\x9C"
                                              "berpr\xC3\xBC"
                                              "fungen")),
              QString::fromUtf8("\xC3\x9C"
                                "berpr\xC3\xBC"
                                "f.ief"));
    // A character beyond the first plane is not cut in half.
    EXPECT_EQ(ProposedExportFileName(ListText("abcdefg\xF0\x9F\x93\x9E"
                                              "z")),
              QString::fromUtf8("abcdefg\xF0\x9F\x93\x9E.ief"));
}

TEST(TransferRules, ExtensionIsAddedOnlyToANameWithoutADot) {
    EXPECT_EQ(WithProfileExtension("backup"), "backup.ief");
    EXPECT_EQ(WithProfileExtension("backup.txt"), "backup.txt");
    EXPECT_EQ(WithProfileExtension("my.backup"), "my.backup");
    EXPECT_EQ(WithProfileExtension("old.dir/backup"), "old.dir/backup");

    // Typed names stay as typed, bare or not; a browsed folder is put in front.
    EXPECT_EQ(ExportFilePath("", "backup"), "backup.ief");
    EXPECT_EQ(ExportFilePath("", "/tmp/x/backup.txt"), "/tmp/x/backup.txt");
    EXPECT_EQ(ExportFilePath("/srv/profiles", "Sales"), "/srv/profiles/Sales.ief");
    EXPECT_EQ(ExportFilePath("/", "Sales.ief"), "/Sales.ief");
}

TEST(TransferRules, OnlyAFileNameWithMoreThanSpacesCanBeConfirmed) {
    EXPECT_FALSE(IsConfirmableFileName(""));
    EXPECT_FALSE(IsConfirmableFileName("   "));
    EXPECT_TRUE(IsConfirmableFileName("  a "));
    EXPECT_TRUE(IsConfirmableFileName("."));
}

TEST(TransferRules, ImportChecksTheNameBeforeTheClass) {
    EXPECT_EQ(CheckImportFields("", ""), IDS_IMPORT_NAME_INVALID);
    EXPECT_EQ(CheckImportFields("My Profile", "Application"), IDS_IMPORT_NAME_INVALID);
    EXPECT_EQ(CheckImportFields("Tabbed\tName", "Application"), IDS_IMPORT_NAME_INVALID);
    EXPECT_EQ(CheckImportFields("Main", ""), IDS_IMPORT_CLASS_INVALID);
    EXPECT_EQ(CheckImportFields("Main", "Appli cation"), IDS_IMPORT_CLASS_INVALID);
    EXPECT_EQ(CheckImportFields("Main", "Application"), 0u);
    // 0xA0 is a byte of many UTF-8 names ("à" is C3 A0), not a space.
    EXPECT_EQ(CheckImportFields(ListText("Voil\xC3\xA0"), "Application"), 0u);
    EXPECT_EQ(StringTable::Load(IDS_IMPORT_NAME_INVALID),
              "The profile name must be non-empty and must not contain space characters.");
    EXPECT_EQ(StringTable::Load(IDS_IMPORT_CLASS_INVALID),
              "The profile class name must be non-empty and must not contain space characters.");
}

TEST(TransferRules, BrowseStartsInTheProfileDirectoryAndSplitsTheChoiceAtTheLastSlash) {
    EXPECT_EQ(BrowseStartPath("/srv/prof", "RoutingR.ief"), "/srv/prof/RoutingR.ief");
    EXPECT_EQ(BrowseStartPath("/srv/prof/", "a.ief"), "/srv/prof/a.ief");
    EXPECT_EQ(BrowseStartPath("", "abc.ief"), "abc.ief");
    const QString longName(3000, QLatin1Char('x'));
    EXPECT_EQ(BrowseStartPath("/d", longName).size(), kMaxBrowsePathChars);

    const SplitPath inFolder = SplitAtLastSeparator("/home/op/profiles v2/Sales.ief");
    EXPECT_EQ(inFolder.folder, "/home/op/profiles v2");
    EXPECT_EQ(inFolder.fileName, "Sales.ief");
    const SplitPath inRoot = SplitAtLastSeparator("/Sales.ief");
    EXPECT_EQ(inRoot.folder, "/");
    EXPECT_EQ(inRoot.fileName, "Sales.ief");
}

}  // namespace

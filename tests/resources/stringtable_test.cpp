#include "resources/stringtable.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <set>
#include <string>

namespace {

struct Expected {
    unsigned id;
    const char* text;
};

// Texts that are easy to get wrong: double blanks, leading and trailing blanks, real tabs and
// line breaks, typos kept as they are, quotation marks and backslashes.
const Expected kExactTexts[] = {
    {16406, "Internal Error: No error. If you get this message  please contact Technical Support."},
    {4181, " [Disconnected]"},
    {4166, " [Disabled]"},
    {16451, "Select Server to be Administered:\n"},
    {4171, "TLVS_Service"},
    {16386, "Default_Server"},
    {16388, "new"},
    {16389, "edit"},
    {4196, "Error"},
    {4118, "Unknown"},
    {4165, "Unknown"},
    {4117, "Idle [Failed]"},
    {16390,
     "Could not connect to the server specified. Ensure the specified server exists and is "
     "running."},
    {4172,
     "A connection to a Telvane Server has been lost, possibly because the Telvane Server has "
     "been shut down. The connection will be closed."},
    {4128,
     "The service you are attempting to remove has been marked for removal but\nwill "
     "continue operating until it is stopped."},
    {129, "\nTLVAdm\nTLVAdm\n\n\nTLVAdmin.Document\nTLVAdm Document"},
    {57601, "Connect to a Kestrova Computer Telephony Server\nConnect"},
    {32813, "Configure Telvane Server for multinode"},
    {0x402B,
     "The profile could not be checked because it did not have the correct structure. "
     "Ensure that the profile stored under the correct profile class?"},
    {IDS_LABEL_INFO, "Info\t:"},
    {IDS_LABEL_WARNING, "Warning\t:"},
    {IDS_LABEL_ERROR, "ERROR\t:"},
    {IDS_LABEL_FATAL, "FATAL\t:"},
    {IDS_LABEL_UNKNOWN, "<Unknown>\t:"},
    {IDS_CHECK_COMPLETE, "Checking Complete - "},
    {IDS_CHECK_ERRORS, " error(s)"},
    {IDS_CHK_GROUPSET_UNDEFINED, "The Group Set %s, specifed in ASI %s, has not been defined"},
    {IDS_CHK_SCR_ASI_NOT_ROUTED, "The SCR ASI %s is not mentioned in the Routing Rules   "},
    {IDS_CHK_ASI_NOT_DESTINATION, "The ASI %s in profile %s is not a 'destination' in the ASI Map"},
    {IDS_CONNECTION_STRING_NO_TCP, "The connection string requires \"tcp:\" at the start."},
    {IDS_REGISTRY_UPDATE_FAILED,
     "Unable to update information in the Registry. Ensure that the "
     "Kestrova Telvane Server Software has been installed correctly "
     "on this machine and try again"},
    {IDS_MULTINODE_SERVER_RUNNING,
     "Telvane Server must be completely shutdown before you can "
     "reconfigure for multinode. "},
    {IDS_MULTINODE_SHARE_REMINDER,
     "Remember to share your symbol table directory (i.e. "
     "C:\\TelvaneServer)."},
    {IDS_MULTIPROCESSOR_QUESTION,
     "You have indicated that the service will be running on a\n"
     "multi-processor machine. Do you wish to continue?"},
    {IDS_DIB_ALLOCATION_FAILED, "Memory allocation failed!\n"},
};

TEST(StringTable, ExactTexts) {
    for (const Expected& expected : kExactTexts) {
        SCOPED_TRACE(expected.id);
        EXPECT_EQ(std::string(StringTable::Text(expected.id)), expected.text);
        EXPECT_EQ(StringTable::Load(expected.id), QString::fromLatin1(expected.text));
    }
}

TEST(StringTable, NamedIdsKeepTheirNumbers) {
    EXPECT_EQ(IDS_CONNECT_FAILED, 16390u);
    EXPECT_EQ(IDS_NO_ERROR, 16406u);
    EXPECT_EQ(IDS_NO_ERROR, 0x4016u);
    EXPECT_EQ(IDS_PROFILE_WRONG_STRUCTURE, 0x402Bu);
    EXPECT_EQ(IDS_LOST_CONNECTION, 4172u);
    EXPECT_EQ(IDS_TLVS_SERVICE_CLASS, 4171u);
    EXPECT_EQ(IDS_MEMORY_ALLOCATION_FAILED, 4123u);
    EXPECT_EQ(IDS_ERROR_CAPTION, 4196u);
    EXPECT_EQ(IDS_APP_TITLE, 128u);
    EXPECT_EQ(IDS_PROMPT_FILE_OPEN, 57601u);
}

TEST(StringTable, EntriesAreSortedUniqueAndNonEmpty) {
    const auto entries = StringTable::Entries();
    ASSERT_GT(entries.size(), 170u);
    std::set<unsigned> ids;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(entries[i].id);
        EXPECT_TRUE(ids.insert(entries[i].id).second);
        ASSERT_NE(entries[i].text, nullptr);
        EXPECT_GT(std::string(entries[i].text).size(), 0u);
        if (i > 0) {
            EXPECT_LT(entries[i - 1].id, entries[i].id);
        }
        EXPECT_TRUE(StringTable::Contains(entries[i].id));
        EXPECT_EQ(StringTable::Text(entries[i].id), entries[i].text);
    }
}

TEST(StringTable, UnknownIdGivesEmptyTextAndIsDetectable) {
    for (const unsigned id : {0u, 1u, 4096u, 4098u, 16387u, 57666u, 65535u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(StringTable::Contains(id));
        ASSERT_NE(StringTable::Text(id), nullptr);
        EXPECT_STREQ(StringTable::Text(id), "");
        EXPECT_TRUE(StringTable::Load(id).isEmpty());
    }
}

// One pass: a name that holds "%2" stays as it is, and so does a place nobody filled.
TEST(StringTable, FormatFillsEachPlaceOnceFromItsOwnArgument) {
    EXPECT_EQ(StringTable::Format(IDS_REG_IN_FILES, {"/a/%2.db", "/etc/k.db"}),
              "in /a/%2.db (and /etc/k.db)");
    EXPECT_EQ(StringTable::Format(IDS_REG_IN_FILES, {"/a.db"}), "in /a.db (and %2)");
    EXPECT_EQ(StringTable::Format(IDS_REG_VALUE_MISSING, {"in f", "K", "caf\xC3\xA9"}),
              "in f: key K, value caf\xC3\xA9 not found");
    EXPECT_EQ(StringTable::Format(0), "");
}

TEST(StringTable, CommandPromptSplitsIntoPromptAndTip) {
    const QStringList parts = StringTable::Load(IDS_PROMPT_VIEW_REFRESH).split(QLatin1Char('\n'));
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0], "Get the most recent information from the current server");
    EXPECT_EQ(parts[1], "Refresh");
}

}  // namespace

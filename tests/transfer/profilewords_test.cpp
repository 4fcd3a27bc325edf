// The first two words of an import file: white space, missing words, binary junk, words too long
// for the server, and files too large to read whole.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <string>

#include "transfer/profilewords.h"

namespace {

using namespace std::string_literals;

void ExpectWords(const ProfileWords& words, const std::string& name,
                 const std::string& profileClass) {
    EXPECT_EQ(words.name, name);
    EXPECT_EQ(words.profileClass, profileClass);
}

// An endless file: the prefix, then the filler byte for ever. Counts what was read from it.
class EndlessDevice final : public QIODevice {
public:
    EndlessDevice(std::string prefix, char filler) : m_prefix(std::move(prefix)), m_filler(filler) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 BytesRead() const { return m_read; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        for (qint64 i = 0; i < maxSize; ++i, ++m_read) {
            const auto at = static_cast<std::size_t>(m_read);
            data[i] = at < m_prefix.size() ? m_prefix[at] : m_filler;
        }
        return maxSize;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    std::string m_prefix;
    char m_filler;
    qint64 m_read = 0;
};

TEST(ProfileWords, WordsAfterAnyWhiteSpaceEndAtWhiteSpaceOrTheEndOfTheFile) {
    ExpectWords(FirstTwoWords("  Main   Application\n{ }", true), "Main", "Application");
    ExpectWords(FirstTwoWords("\r\n\tSales\t\vRouting\f{", true), "Sales", "Routing");
    ExpectWords(FirstTwoWords("Sales Application", true), "Sales", "Application");
    // Fewer words give empty proposals.
    ExpectWords(FirstTwoWords("Lonely", true), "Lonely", "");
    ExpectWords(FirstTwoWords(" \n\t ", true), "", "");
    ExpectWords(FirstTwoWords("", true), "", "");
    // Bytes beyond ASCII are kept as they are (a UTF-8 name).
    ExpectWords(FirstTwoWords("Caf\xC3\xA9 Cl\xE4ss x", true), "Caf\xC3\xA9", "Cl\xE4ss");
}

TEST(ProfileWords, BinaryJunkAndOverlongWordsProposeNothing) {
    ExpectWords(FirstTwoWords("\x7F"
                              "ELF\x02\x01\x01\0\0\0"s,
                              true),
                "", "");
    ExpectWords(FirstTwoWords("Ma\0in Application"s, true), "", "");
    // A usable name keeps its proposal when only the class is junk.
    ExpectWords(FirstTwoWords("Main \x01\x02\x03 more", true), "Main", "");

    const std::string longest(s100::kMaxProfileNameBytes, 'n');
    ExpectWords(FirstTwoWords(longest + " C", true), longest, "C");
    ExpectWords(FirstTwoWords(longest + "n C", true), "", "");
    ExpectWords(FirstTwoWords("N " + longest + "c", true), "N", "");
}

TEST(ProfileWords, AWordRunningToTheEndOfAPartialHeadIsNoWord) {
    ExpectWords(FirstTwoWords("Main Applic", false), "Main", "");
    ExpectWords(FirstTwoWords("Main Application ", false), "Main", "Application");
}

TEST(ProfileWords, ReadsNoMoreThanTheHeadOfAnEndlessFile) {
    EndlessDevice noWhiteSpace("", 'A');
    ExpectWords(ReadProfileWords(noWhiteSpace), "", "");
    EXPECT_LE(noWhiteSpace.BytesRead(), static_cast<qint64>(kMaxProfileHeadBytes));

    EndlessDevice allWhiteSpace("", ' ');
    ExpectWords(ReadProfileWords(allWhiteSpace), "", "");
    EXPECT_LE(allWhiteSpace.BytesRead(), static_cast<qint64>(kMaxProfileHeadBytes));

    EndlessDevice profile("Main Application\n{ KEY_AsiList: [", ' ');
    ExpectWords(ReadProfileWords(profile), "Main", "Application");
}

TEST(ProfileWords, AFileEndingInsideItsHeadEndsItsLastWord) {
    QByteArray bytes("  Main   Application");
    QBuffer file(&bytes);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ExpectWords(ReadProfileWords(file), "Main", "Application");

    // Exactly as large as the head: its end is the file's end.
    QByteArray full(static_cast<qsizetype>(kMaxProfileHeadBytes), ' ');
    std::memcpy(full.data() + full.size() - 9, "Name Tail", 9);
    QBuffer fullFile(&full);
    ASSERT_TRUE(fullFile.open(QIODevice::ReadOnly));
    ExpectWords(ReadProfileWords(fullFile), "Name", "Tail");
}

}  // namespace

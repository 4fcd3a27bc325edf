// The checks behind the window: the contents text and the profile name.

#include <gtest/gtest.h>

#include "tools/tlvedit/contentscheck.h"
#include "tools/tlvedit/profilename.h"

namespace {

TEST(ContentsCheck, ReportsTheFirstErrorWithLineAndColumn) {
    const ContentsCheck unknown =
        CheckContents(QStringLiteral("{\n  KEY_AsiName: \"A1\"\n  KEY_Nonsense: 1\n  oops\n}"));
    ASSERT_FALSE(unknown.contents);
    EXPECT_EQ(unknown.error.text(), "line 3, column 3: unknown symbol name 'KEY_Nonsense'");

    const ContentsCheck unterminated = CheckContents(QStringLiteral("{ KEY_AsiName: \"A1 }"));
    ASSERT_FALSE(unterminated.contents);
    EXPECT_EQ(unterminated.error.position.line, 1);
    EXPECT_EQ(unterminated.error.position.column, 16);

    const ContentsCheck empty = CheckContents(QString());
    ASSERT_FALSE(empty.contents);
    EXPECT_EQ(empty.error.text(), "line 1, column 1: empty input: expected '{'");
}

TEST(ContentsCheck, PrintedContentsParseBackToTheSameSet) {
    const ContentsCheck typed = CheckContents(
        QStringLiteral("# a comment\n{ KEY_AsiList: [ { KEY_AsiName: \"A\\\"1\" } ]\n"
                       "  KEY_Resources: [ \"R1=b\\xC3\\xA9\" ] KEY_AsiGroupSet: -5 }"));
    ASSERT_TRUE(typed.contents) << typed.error.text();
    const QString printed = ContentsText(*typed.contents);
    const ContentsCheck again = CheckContents(printed);
    ASSERT_TRUE(again.contents) << again.error.text();
    EXPECT_EQ(*again.contents, *typed.contents);

    EXPECT_EQ(ContentsText(s100::KVSet{}), QStringLiteral("{ }"));
}

TEST(ContentsCheck, KeepsTypedNonAsciiTextAsItsBytes) {
    const ContentsCheck typed = CheckContents(QStringLiteral("{ KEY_AsiName: \"caf\u00e9\" }"));
    ASSERT_TRUE(typed.contents) << typed.error.text();
    const s100::Value* name = typed.contents->find(KEY_AsiName);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->asString(), "caf\xC3\xA9");
}

TEST(ProfileName, MustBeNonEmptyWithoutSpacesAndLatin1) {
    EXPECT_EQ(CheckProfileName(QStringLiteral("Sales_1")), NameProblem::None);
    EXPECT_EQ(CheckProfileName(QStringLiteral("Caf\u00e9")), NameProblem::None);
    EXPECT_EQ(CheckProfileName(QString()), NameProblem::EmptyOrSpace);
    EXPECT_EQ(CheckProfileName(QStringLiteral("Sales Application")), NameProblem::EmptyOrSpace);
    EXPECT_EQ(CheckProfileName(QStringLiteral("Sales\tApp")), NameProblem::EmptyOrSpace);
    EXPECT_EQ(CheckProfileName(QStringLiteral("Sales\x01")), NameProblem::BadCharacter);
    EXPECT_EQ(CheckProfileName(QStringLiteral("Sales\u20ac")), NameProblem::BadCharacter);
    EXPECT_EQ(CheckProfileName(QString(1024, QLatin1Char('n'))), NameProblem::None);
    EXPECT_EQ(CheckProfileName(QString(1025, QLatin1Char('n'))), NameProblem::TooLong);
}

}  // namespace

// The user's language from the POSIX locale, and the code page of a language.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/version/userlocale.h"

namespace {

std::string CodePage(LCID locale) {
    char text[8] = {};
    if (GetLocaleInfoA(locale, LOCALE_IDEFAULTANSICODEPAGE, text, sizeof text) == 0)
        return "(failed)";
    return text;
}

TEST(UserLocale, LanguageOfLocaleNames) {
    EXPECT_EQ(LangIdOfLocaleName("de_DE.UTF-8"), 0x0407);
    EXPECT_EQ(LangIdOfLocaleName("de_AT@euro"), 0x0c07);
    EXPECT_EQ(LangIdOfLocaleName("de_LU.UTF-8"), 0x0407);  // territory not listed: the language
    EXPECT_EQ(LangIdOfLocaleName("pt_BR.UTF-8"), 0x0416);
    EXPECT_EQ(LangIdOfLocaleName("en_US.UTF-8"), 0x0409);
    EXPECT_EQ(LangIdOfLocaleName("C.UTF-8"), 0x0409);
    EXPECT_EQ(LangIdOfLocaleName("POSIX"), 0x0409);
    EXPECT_EQ(LangIdOfLocaleName(""), 0x0409);
    EXPECT_EQ(LangIdOfLocaleName("eo_XX"), 0x0000);
}

TEST(UserLocale, EnvironmentOrderAndCodePages) {
    setenv("LC_ALL", "", 1);
    setenv("LC_MESSAGES", "ja_JP.UTF-8", 1);
    setenv("LANG", "de_DE.UTF-8", 1);
    EXPECT_EQ(GetUserDefaultLangID(), 0x0411);
    unsetenv("LC_MESSAGES");
    EXPECT_EQ(GetUserDefaultLangID(), 0x0407);
    setenv("LC_ALL", "ru_RU.UTF-8", 1);
    EXPECT_EQ(GetUserDefaultLCID(), 0x0419u);
    unsetenv("LC_ALL");
    unsetenv("LANG");

    EXPECT_EQ(CodePage(0x0407), "1252");
    EXPECT_EQ(CodePage(0x0419), "1251");
    EXPECT_EQ(CodePage(0x0411), "932");
    EXPECT_EQ(CodePage(0x0000), "0");  // no ANSI code page
    EXPECT_EQ(GetLocaleInfoA(0x0407, LOCALE_IDEFAULTANSICODEPAGE, nullptr, 0), 5);
    char small[4] = {};
    EXPECT_EQ(GetLocaleInfoA(0x0407, LOCALE_IDEFAULTANSICODEPAGE, small, sizeof small), 0);
    EXPECT_EQ(GetLocaleInfoA(0x0407, 0x0002, small, sizeof small), 0);  // an item not known here
}

}  // namespace

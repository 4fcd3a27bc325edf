#include "platform/version/userlocale.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr LANGID kUsEnglish = 0x0409;
constexpr LANGID kNeutral = 0x0000;

struct KnownLocale {
    std::string_view posixName;  // language, or language_TERRITORY
    LANGID langId;
    unsigned short ansiCodePage;
};

// The common languages; a territory not listed takes its language's first entry.
constexpr std::array kKnownLocales{
    KnownLocale{"en", 0x0409, 1252},    KnownLocale{"en_GB", 0x0809, 1252},
    KnownLocale{"en_AU", 0x0c09, 1252}, KnownLocale{"en_CA", 0x1009, 1252},
    KnownLocale{"de", 0x0407, 1252},    KnownLocale{"de_AT", 0x0c07, 1252},
    KnownLocale{"de_CH", 0x0807, 1252}, KnownLocale{"fr", 0x040c, 1252},
    KnownLocale{"fr_BE", 0x080c, 1252}, KnownLocale{"fr_CA", 0x0c0c, 1252},
    KnownLocale{"fr_CH", 0x100c, 1252}, KnownLocale{"es", 0x0c0a, 1252},
    KnownLocale{"es_MX", 0x080a, 1252}, KnownLocale{"it", 0x0410, 1252},
    KnownLocale{"nl", 0x0413, 1252},    KnownLocale{"nl_BE", 0x0813, 1252},
    KnownLocale{"pt", 0x0816, 1252},    KnownLocale{"pt_BR", 0x0416, 1252},
    KnownLocale{"sv", 0x041d, 1252},    KnownLocale{"da", 0x0406, 1252},
    KnownLocale{"nb", 0x0414, 1252},    KnownLocale{"fi", 0x040b, 1252},
    KnownLocale{"pl", 0x0415, 1250},    KnownLocale{"cs", 0x0405, 1250},
    KnownLocale{"hu", 0x040e, 1250},    KnownLocale{"ru", 0x0419, 1251},
    KnownLocale{"uk", 0x0422, 1251},    KnownLocale{"el", 0x0408, 1253},
    KnownLocale{"tr", 0x041f, 1254},    KnownLocale{"he", 0x040d, 1255},
    KnownLocale{"ar", 0x0401, 1256},    KnownLocale{"ja", 0x0411, 932},
    KnownLocale{"ko", 0x0412, 949},     KnownLocale{"zh", 0x0804, 936},
    KnownLocale{"zh_TW", 0x0404, 950},  KnownLocale{"zh_HK", 0x0c04, 950},
};

const KnownLocale* FindLocale(std::string_view name) {
    for (const KnownLocale& known : kKnownLocales) {
        if (known.posixName == name)
            return &known;
    }
    return nullptr;
}

const KnownLocale* FindLocale(LANGID langId) {
    for (const KnownLocale& known : kKnownLocales) {
        if (known.langId == langId)
            return &known;
    }
    return nullptr;
}

const char* UserLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return value;
    }
    return "C";
}

}  // namespace

LANGID LangIdOfLocaleName(const char* name) {
    std::string_view text = name != nullptr ? name : "";
    text = text.substr(0, text.find_first_of(".@"));
    if (text.empty() || text == "C" || text == "POSIX")
        return kUsEnglish;
    if (const KnownLocale* exact = FindLocale(text))
        return exact->langId;
    if (const KnownLocale* language = FindLocale(text.substr(0, text.find('_'))))
        return language->langId;
    return kNeutral;
}

LANGID GetUserDefaultLangID() {
    return LangIdOfLocaleName(UserLocaleName());
}

LCID GetUserDefaultLCID() {
    return GetUserDefaultLangID();  // default sort order
}

int GetLocaleInfoA(LCID locale, DWORD item, LPSTR data, int size) {
    if (item != LOCALE_IDEFAULTANSICODEPAGE || size < 0)
        return 0;
    const KnownLocale* known = FindLocale(static_cast<LANGID>(locale & 0xffff));
    const std::string text = std::to_string(known != nullptr ? known->ansiCodePage : 0);
    const int needed = static_cast<int>(text.size()) + 1;
    if (size == 0)
        return needed;
    if (data == nullptr || size < needed)
        return 0;
    std::memcpy(data, text.c_str(), static_cast<std::size_t>(needed));
    return needed;
}

#include "checker/ruletext.h"

#include "resources/stringtable.h"

std::string FormatRuleText(unsigned textId, std::initializer_list<std::string_view> args) {
    const std::string_view format = StringTable::Text(textId);
    const std::size_t limit = kRuleTextBufferSize - 1;
    std::string text;
    const std::string_view* nextArg = args.begin();
    for (std::size_t i = 0; i < format.size() && text.size() < limit; ++i) {
        const bool directive = format[i] == '%' && i + 1 < format.size();
        if (directive && format[i + 1] == 's') {
            if (nextArg != args.end()) {
                text.append(nextArg->substr(0, limit - text.size()));
                ++nextArg;
            }
            ++i;
        } else if (directive && format[i + 1] == '%') {
            text.push_back('%');
            ++i;
        } else {
            text.push_back(format[i]);
        }
    }
    return text;
}

CheckMessage RuleFinding(CE_Type type, const std::string& profileName, unsigned textId,
                         std::initializer_list<std::string_view> args) {
    return CheckMessage(type, profileName, profileName + ": " + FormatRuleText(textId, args));
}

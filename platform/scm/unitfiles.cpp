#include "platform/scm/unitfiles.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "platform/process/cmdwords.h"

namespace tlv::platform {
namespace {

constexpr const char* kServerServiceName = "TLVS Server";
constexpr const char* kServerUnit = "tlvsd.service";
constexpr const char* kHeader = "# Written by the Telvane Server administration client.\n";

bool HasControlCharacter(const std::string& text) {
    for (const unsigned char c : text) {
        if (c < 0x20 || c == 0x7f)
            return true;
    }
    return false;
}

// A value systemd reads with its specifiers: '%' doubled.
std::string Literal(const std::string& text) {
    std::string out;
    for (const char c : text) {
        out += c;
        if (c == '%')
            out += '%';
    }
    return out;
}

// One word of a command line as ExecStart= reads it: quoted, with systemd's escapes.
std::string CommandWord(const std::string& word) {
    std::string out = "\"";
    for (const char c : word) {
        if (c == '\\' || c == '"')
            out += '\\';
        if (c == '$' || c == '%')
            out += c;
        out += c;
    }
    return out + "\"";
}

std::string Field(const std::string& line, const std::string& name) {
    return line.rfind(name + "=", 0) == 0 ? line.substr(name.size() + 1) : std::string{};
}

// Undoes Literal.
std::string Unliteral(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%')
            ++i;
    }
    return out;
}

}  // namespace

std::string UnitNameOf(const std::string& serviceName) {
    if (serviceName == kServerServiceName)
        return kServerUnit;
    std::string unit;
    for (std::size_t i = 0; i < serviceName.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(serviceName[i]);
        const bool plain = std::isalnum(c) != 0 || c == ':' || c == '_' || (c == '.' && i > 0);
        if (plain) {
            unit += static_cast<char>(c);
        } else if (c == '/') {
            unit += '-';
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            unit += escaped;
        }
    }
    return unit + ".service";
}

std::string UnitFolder() {
    const char* folder = std::getenv("TLV_SYSTEMD_UNIT_DIR");
    return folder != nullptr && *folder != '\0' ? folder : "/etc/systemd/system";
}

std::optional<std::string> DropInText(const UnitSettings& settings) {
    if (HasControlCharacter(settings.description) || HasControlCharacter(settings.user))
        return std::nullopt;
    std::string text = kHeader;
    text += "[Unit]\nDescription=" + Literal(settings.description) + "\n";
    if (!settings.user.empty())
        text += "\n[Service]\nUser=" + Literal(settings.user) + "\n";
    return text;
}

UnitSettings ParseDropIn(const std::string& text) {
    UnitSettings settings;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (const std::string description = Field(line, "Description"); !description.empty())
            settings.description = Unliteral(description);
        if (const std::string user = Field(line, "User"); !user.empty())
            settings.user = Unliteral(user);
    }
    return settings;
}

std::optional<std::string> UnitFileText(const UnitFileSettings& unit) {
    const std::vector<std::string> words = SplitCommandLine(unit.commandLine);
    if (words.empty() || words.front().front() != '/')
        return std::nullopt;
    for (const std::string* field : {&unit.commandLine, &unit.dependency,
                                     &unit.settings.description, &unit.settings.user}) {
        if (HasControlCharacter(*field))
            return std::nullopt;
    }
    std::string text = kHeader;
    text += "[Unit]\nDescription=" + Literal(unit.settings.description) + "\n";
    if (!unit.dependency.empty()) {
        const std::string needed = Literal(UnitNameOf(unit.dependency));
        text += "Requires=" + needed + "\nAfter=" + needed + "\n";
    }
    text += "\n[Service]\nExecStart=";
    for (std::size_t i = 0; i < words.size(); ++i)
        text += (i == 0 ? "" : " ") + CommandWord(words[i]);
    text += "\n";
    if (!unit.settings.user.empty())
        text += "User=" + Literal(unit.settings.user) + "\n";
    return text + "\n[Install]\nWantedBy=multi-user.target\n";
}

bool IsWrittenHere(const std::string& unitFileText) {
    return unitFileText.rfind(kHeader, 0) == 0;
}

}  // namespace tlv::platform

#include "resources/stringtable.h"

#include <algorithm>

const StringEntry* StringTable::Find(unsigned id) {
    const std::span<const StringEntry> entries = Entries();
    const auto it = std::lower_bound(entries.begin(), entries.end(), id,
                                     [](const StringEntry& e, unsigned key) { return e.id < key; });
    return it != entries.end() && it->id == id ? &*it : nullptr;
}

const char* StringTable::Text(unsigned id) {
    const StringEntry* entry = Find(id);
    return entry ? entry->text : "";
}

bool StringTable::Contains(unsigned id) {
    return Find(id) != nullptr;
}

QString StringTable::Load(unsigned id) {
    return QString::fromLatin1(Text(id));
}

namespace {

void AppendLatin1AsUtf8(std::string& out, char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
        out += c;
        return;
    }
    out += static_cast<char>(0xC0 | (byte >> 6));
    out += static_cast<char>(0x80 | (byte & 0x3F));
}

}  // namespace

std::string StringTable::Format(unsigned id, std::initializer_list<std::string_view> args) {
    const std::string_view text = Text(id);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const std::size_t number = static_cast<std::size_t>(next - '0');
        if (text[i] == '%' && next >= '1' && next <= '9' && number <= args.size()) {
            out += *(args.begin() + (number - 1));
            ++i;
        } else {
            AppendLatin1AsUtf8(out, text[i]);
        }
    }
    return out;
}

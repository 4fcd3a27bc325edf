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

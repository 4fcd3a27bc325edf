#include "config/regfailure.h"

#include "platform/registry/scopedkey.h"
#include "platform/text/shownbytes.h"
#include "resources/stringtable.h"

namespace {

using tlv::platform::ShownBytes;

constexpr const char* kSoftwareKey = "SOFTWARE\\Kestrova";

// Opens the key below HKEY_LOCAL_MACHINE for reading; false when it cannot be.
bool OpenToRead(const char* path, ScopedKey& key) {
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.Out()) == ERROR_SUCCESS;
}

// What is wrong with the value of an open key, as the caller would have read it.
std::string ValueLine(HKEY key, const RegistryPlace& place, const std::string& where,
                      const std::string& keyText) {
    const std::string value = ShownBytes(place.value);
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key, place.value, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return StringTable::Format(IDS_REG_VALUE_MISSING, {where, keyText, value});
    // The caller's buffer also holds the terminator the data may lack.
    if (place.maxBytes != 0 && size >= place.maxBytes)
        return StringTable::Format(IDS_REG_VALUE_TOO_LONG,
                                   {where, keyText, value, std::to_string(place.maxBytes - 1)});
    if (type != REG_SZ)
        return StringTable::Format(IDS_REG_VALUE_NOT_STRING, {where, keyText, value});
    return StringTable::Format(IDS_REG_VALUE_NOT_READ, {where, keyText, value});
}

// "in FILE" or "in FILE (and FILE)": the files the registry reads.
std::string RegistryFilesText() {
    const RegistryFiles files = RegQueryFiles();
    const bool bUser = files.userExists || !files.machineRead;
    const std::string first = ShownBytes(bUser ? files.user : files.machine);
    if (bUser && files.machineRead)
        return StringTable::Format(IDS_REG_IN_FILES, {first, ShownBytes(files.machine)});
    return StringTable::Format(IDS_REG_IN_FILE, {first});
}

}  // namespace

std::vector<std::string> NoRegistrySettingsLines() {
    const RegistryFiles files = RegQueryFiles();
    const std::string user =
        files.user.empty() ? StringTable::Format(IDS_REG_NO_USER_FILE) : ShownBytes(files.user);
    return {StringTable::Format(IDS_REG_NO_SETTINGS, {user, ShownBytes(files.machine)}),
            StringTable::Format(IDS_REG_HOW_TO_MAKE, {ShownBytes(files.machine)})};
}

std::vector<std::string> RegistryFailureDetails(const RegistryPlace& place, RegistryUse use) {
    if (ScopedKey software; !OpenToRead(kSoftwareKey, software))
        return NoRegistrySettingsLines();
    const std::string where = RegistryFilesText();
    const std::string keyText = ShownBytes(place.key);
    ScopedKey key;
    if (!OpenToRead(place.key, key))
        return {StringTable::Format(IDS_REG_KEY_MISSING, {where, keyText})};
    if (use == RegistryUse::Write)
        return {StringTable::Format(IDS_REG_KEY_NOT_WRITTEN, {where, keyText})};
    if (place.value == nullptr)
        return {StringTable::Format(IDS_REG_KEY_NOT_READ, {where, keyText})};
    return {ValueLine(key.Get(), place, where, keyText)};
}

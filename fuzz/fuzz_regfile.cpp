// Parses arbitrary bytes as a REGEDIT4 import file. Whatever parses is imported into a scratch
// registry, exported with the tlvreg writer and parsed again: both files must describe the same
// keys and values. The import is rolled back after each input.
#include <unistd.h>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <utility>

#include "platform/registry/regapi.h"
#include "platform/registry/regname.h"
#include "tools/tlvreg/regfile_reader.h"
#include "tools/tlvreg/regfile_writer.h"

namespace {

// Folded key path -> folded value name -> (type, data), with every parent key present, as the
// registry holds it after an import.
using RegistryModel = std::map<std::string, std::map<std::string, std::pair<DWORD, std::string>>>;

RegistryModel modelOf(const std::vector<RegFileKey>& keys) {
    RegistryModel model;
    model[""];
    for (const RegFileKey& key : keys) {
        const std::string path = FoldRegName(key.path);
        for (std::size_t slash = path.find('\\'); slash != std::string::npos;
             slash = path.find('\\', slash + 1)) {
            model[path.substr(0, slash)];
        }
        auto& values = model[path];
        for (const RegFileValue& value : key.values) {
            values[FoldRegName(value.name)] = {value.type, value.data};
        }
    }
    return model;
}

bool import(const std::vector<RegFileKey>& keys) {
    for (const RegFileKey& fileKey : keys) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, fileKey.path.c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            return false;
        }
        bool stored = true;
        for (const RegFileValue& value : fileKey.values) {
            stored =
                stored && RegSetValueExA(key, value.name.c_str(), 0, value.type,
                                         reinterpret_cast<const BYTE*>(value.data.data()),
                                         static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
        }
        RegCloseKey(key);
        if (!stored) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string file = "/tmp/fuzz_regfile." + std::to_string(getpid()) + ".db";
    std::string message;
    if (RegUseRegistryFile(file, &message) != ERROR_SUCCESS) {
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<RegFileKey> keys;
    RegFileError error;
    if (!ParseRegFile(text, keys, error)) {
        if (error.line < 1 || error.what.empty()) {
            std::abort();
        }
        return 0;
    }
    RegTransaction scratch;
    if (scratch.Status() != ERROR_SUCCESS) {
        std::abort();
    }
    if (!import(keys)) {
        return 0;  // a limit the registry enforces beyond the reader's, or a name clash
    }
    std::ostringstream written;
    std::string message;
    if (WriteRegFile("", written, message) != ERROR_SUCCESS) {
        return 0;  // names with line breaks cannot be written; the writer says so
    }
    std::vector<RegFileKey> again;
    if (!ParseRegFile(written.str(), again, error) || modelOf(again) != modelOf(keys)) {
        std::abort();
    }
    return 0;
}

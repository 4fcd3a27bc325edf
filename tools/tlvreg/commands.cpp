#include "tools/tlvreg/commands.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "platform/registry/regapi.h"
#include "platform/registry/regname.h"
#include "tools/tlvreg/atomic_file.h"
#include "tools/tlvreg/keypath.h"
#include "tools/tlvreg/regfile_reader.h"
#include "tools/tlvreg/regfile_writer.h"
#include "tools/tlvreg/regread.h"
#include "tools/tlvreg/regtext.h"

namespace {

// Import files beyond this size are refused before they are read.
constexpr std::streamoff kMaxImportFileSize = 64 * 1024 * 1024;

std::string RegErrorText(LONG rc) {
    switch (rc) {
        case ERROR_FILE_NOT_FOUND:
            return "not found";
        case ERROR_ACCESS_DENIED:
            return "access denied";
        case ERROR_INVALID_PARAMETER:
            return "a name or the data is too long";
        case ERROR_BAD_PATHNAME:
            return "the key path has an empty key name";
        case ERROR_KEY_DELETED:
            return "the key has been deleted";
        case ERROR_REGISTRY_IO_FAILED:
            return "the registry file cannot be read or written";
        default:
            return "registry error " + std::to_string(rc);
    }
}

int Refused(CommandStreams streams, const std::string& what, LONG rc) {
    streams.err << "tlvreg: " << what << ": " << RegErrorText(rc) << '\n';
    return kExitRefused;
}

std::string DisplayName(const std::string& name) {
    return name.empty() ? "(Default)" : name;
}

bool IsDisplayableText(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            return false;
        }
    }
    return true;
}

std::string DisplayData(const RegValue& value) {
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
        std::string_view text = value.data;
        if (!text.empty() && text.back() == '\0') {
            text.remove_suffix(1);
        }
        if (IsDisplayableText(text)) {
            return std::string(text);
        }
    }
    DWORD number = 0;
    if (value.type == REG_DWORD && BytesToDword(value.data, number)) {
        return std::to_string(number);
    }
    return HexByteList(value.data);
}

void PrintValue(const RegValue& value, std::ostream& out) {
    out << DisplayName(value.name) << '\t' << RegTypeName(value.type) << '\t' << DisplayData(value)
        << '\n';
}

LONG OpenKey(const std::string& path, REGSAM access, ScopedKey& key) {
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, key.Out());
}

int NoTransaction(CommandStreams streams, LONG rc) {
    return Refused(streams, "cannot start a registry transaction", rc);
}

bool ReadWholeFile(const std::string& file, std::string& text, std::string& why) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) {
        why = "cannot be opened";
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxImportFileSize) {
        why = "is larger than " + std::to_string(kMaxImportFileSize) + " bytes";
        return false;
    }
    text.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(text.data(), size)) {
        why = "cannot be read";
        return false;
    }
    return true;
}

LONG ApplyImport(const std::vector<RegFileKey>& keys, const std::string& file,
                 CommandStreams streams) {
    for (const RegFileKey& fileKey : keys) {
        ScopedKey key;
        if (const LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, fileKey.path.c_str(), 0, nullptr,
                                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                            key.Out(), nullptr);
            rc != ERROR_SUCCESS) {
            streams.err << "tlvreg: " << file << ':' << fileKey.line << ": cannot create "
                        << FullKeyName(fileKey.path) << ": " << RegErrorText(rc) << '\n';
            return rc;
        }
        for (const RegFileValue& value : fileKey.values) {
            const auto* bytes = reinterpret_cast<const BYTE*>(value.data.data());
            if (const LONG rc = RegSetValueExA(key.Get(), value.name.c_str(), 0, value.type, bytes,
                                               static_cast<DWORD>(value.data.size()));
                rc != ERROR_SUCCESS) {
                streams.err << "tlvreg: " << file << ':' << value.line << ": cannot write value \""
                            << value.name << "\": " << RegErrorText(rc) << '\n';
                return rc;
            }
        }
    }
    return ERROR_SUCCESS;
}

// Reads what the key at path holds, in one snapshot of the registry; the exit code of a
// failure, already reported, or kExitSuccess.
int ReadQueriedKey(const std::string& path, CommandStreams streams, KeyContents& contents) {
    RegTransaction snapshot;
    if (snapshot.Status() != ERROR_SUCCESS) {
        return NoTransaction(streams, snapshot.Status());
    }
    ScopedKey key;
    if (const LONG rc = OpenKey(path, KEY_READ, key); rc != ERROR_SUCCESS) {
        return Refused(streams, "cannot open " + FullKeyName(path), rc);
    }
    if (const LONG rc = ReadKeyContents(key.Get(), contents); rc != ERROR_SUCCESS) {
        return Refused(streams, "cannot read " + FullKeyName(path), rc);
    }
    return kExitSuccess;
}

}  // namespace

int QueryKey(const std::string& path, CommandStreams streams) {
    KeyContents contents;
    if (const int refused = ReadQueriedKey(path, streams, contents); refused != kExitSuccess) {
        return refused;
    }
    for (const std::string& subKey : contents.subKeys) {
        streams.out << subKey << "\\\n";
    }
    for (const RegValue& value : contents.values) {
        PrintValue(value, streams.out);
    }
    return kExitSuccess;
}

int QueryValue(const std::string& path, const std::string& name, CommandStreams streams) {
    // Read through the enumeration so the line shows the name as it was written.
    KeyContents contents;
    if (const int refused = ReadQueriedKey(path, streams, contents); refused != kExitSuccess) {
        return refused;
    }
    const std::string folded = FoldRegName(name);
    for (const RegValue& value : contents.values) {
        if (FoldRegName(value.name) == folded) {
            PrintValue(value, streams.out);
            return kExitSuccess;
        }
    }
    return Refused(streams, "value \"" + name + "\" of " + FullKeyName(path), ERROR_FILE_NOT_FOUND);
}

int AddKey(const std::string& path, CommandStreams streams) {
    ScopedKey key;
    if (const LONG rc =
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, key.Out(), nullptr);
        rc != ERROR_SUCCESS) {
        return Refused(streams, "cannot create " + FullKeyName(path), rc);
    }
    return kExitSuccess;
}

int AddValue(const std::string& path, const std::string& name, const std::string& type,
             const std::string& data, CommandStreams streams) {
    DWORD valueType = REG_SZ;
    std::string bytes;
    const std::string foldedType = FoldRegName(type);
    if (foldedType == "REG_SZ") {
        bytes = data + '\0';
    } else if (DWORD number = 0; foldedType == "REG_DWORD" && ParseDword(data, number)) {
        valueType = REG_DWORD;
        bytes = DwordBytes(number);
    } else if (foldedType == "REG_DWORD") {
        streams.err << "tlvreg: REG_DWORD data must be a decimal or 0x-hex number up to "
                       "0xffffffff: "
                    << data << '\n';
        return kExitUsage;
    } else {
        streams.err << "tlvreg: unknown type " << type << " (REG_SZ or REG_DWORD)\n";
        return kExitUsage;
    }
    // The key and its value appear together or not at all.
    RegTransaction transaction;
    if (transaction.Status() != ERROR_SUCCESS) {
        return NoTransaction(streams, transaction.Status());
    }
    if (const int status = AddKey(path, streams); status != kExitSuccess) {
        return status;
    }
    ScopedKey key;
    LONG rc = OpenKey(path, KEY_SET_VALUE, key);
    if (rc == ERROR_SUCCESS) {
        rc = RegSetValueExA(key.Get(), name.c_str(), 0, valueType,
                            reinterpret_cast<const BYTE*>(bytes.data()),
                            static_cast<DWORD>(bytes.size()));
    }
    if (rc == ERROR_SUCCESS) {
        rc = transaction.Commit();
    }
    if (rc != ERROR_SUCCESS) {
        return Refused(streams, "cannot write value \"" + name + "\" of " + FullKeyName(path), rc);
    }
    return kExitSuccess;
}

int DeleteKey(const std::string& path, CommandStreams streams) {
    std::string parentPath;
    std::string last;
    if (!SplitLastKey(path, parentPath, last)) {
        streams.err << "tlvreg: HKEY_LOCAL_MACHINE itself cannot be deleted\n";
        return kExitUsage;
    }
    ScopedKey parent;
    LONG rc = OpenKey(parentPath, KEY_ALL_ACCESS, parent);
    if (rc == ERROR_SUCCESS) {
        rc = RegDeleteKeyA(parent.Get(), last.c_str());
    }
    if (rc == ERROR_ACCESS_DENIED) {
        streams.err << "tlvreg: cannot delete " << FullKeyName(path)
                    << ": the key has sub-keys; delete them first\n";
        return kExitRefused;
    }
    if (rc != ERROR_SUCCESS) {
        return Refused(streams, "cannot delete " + FullKeyName(path), rc);
    }
    return kExitSuccess;
}

int DeleteValue(const std::string& path, const std::string& name, CommandStreams streams) {
    ScopedKey key;
    LONG rc = OpenKey(path, KEY_SET_VALUE, key);
    if (rc == ERROR_SUCCESS) {
        rc = RegDeleteValueA(key.Get(), name.c_str());
    }
    if (rc != ERROR_SUCCESS) {
        return Refused(streams, "cannot delete value \"" + name + "\" of " + FullKeyName(path), rc);
    }
    return kExitSuccess;
}

int ExportKey(const std::string& file, const std::string& path, CommandStreams streams) {
    std::ostringstream text;
    {
        RegTransaction snapshot;
        if (snapshot.Status() != ERROR_SUCCESS) {
            return NoTransaction(streams, snapshot.Status());
        }
        std::string message;
        if (const LONG rc = WriteRegFile(path, text, message); rc != ERROR_SUCCESS) {
            return Refused(streams, message, rc);
        }
    }
    // "-" is standard output, as a pipeline into another tool expects.
    if (file == "-") {
        streams.out << text.str();
        return streams.out.flush() ? kExitSuccess : kExitUsage;
    }
    std::string why;
    if (!WriteFileAtomically(file, text.str(), why)) {
        streams.err << "tlvreg: cannot write " << file << ": " << why << '\n';
        return kExitUsage;
    }
    return kExitSuccess;
}

int ImportFile(const std::string& file, CommandStreams streams) {
    std::string text;
    std::string why;
    if (!ReadWholeFile(file, text, why)) {
        streams.err << "tlvreg: " << file << ' ' << why << '\n';
        return kExitUsage;
    }
    std::vector<RegFileKey> keys;
    RegFileError error;
    if (!ParseRegFile(text, keys, error)) {
        streams.err << "tlvreg: " << file << ':' << error.line << ": " << error.what << '\n';
        return kExitUsage;
    }
    RegTransaction transaction;
    if (transaction.Status() != ERROR_SUCCESS) {
        return NoTransaction(streams, transaction.Status());
    }
    if (ApplyImport(keys, file, streams) != ERROR_SUCCESS) {
        return kExitRefused;
    }
    if (const LONG rc = transaction.Commit(); rc != ERROR_SUCCESS) {
        return Refused(streams, "cannot commit the import of " + file, rc);
    }
    return kExitSuccess;
}

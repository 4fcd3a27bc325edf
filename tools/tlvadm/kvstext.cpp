#include "tools/tlvadm/kvstext.h"

#include <fstream>
#include <iterator>
#include <optional>

#include "s100/kvs/handles.h"
#include "s100/kvs/notation.h"
#include "s100/kvs/profile_file.h"

namespace {

// The whole file, refused above the notation's size limit.
std::optional<std::string> ReadBoundedFile(const std::string& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot be opened";
        return std::nullopt;
    }
    std::string text;
    char chunk[65536];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(file.gcount()));
        if (text.size() > s100::kMaxNotationBytes) {
            error = path + ": larger than a KV set file may be";
            return std::nullopt;
        }
    }
    if (file.bad()) {
        error = path + ": cannot be read";
        return std::nullopt;
    }
    return text;
}

// Whether the first thing after white space and comments opens a set.
bool StartsWithSet(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '#') {
            i = text.find('\n', i);
            if (i == std::string::npos)
                return false;
        } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
            return c == '{';
        }
    }
    return false;
}

std::optional<s100::KVSet> ParseEitherForm(const std::string& text, s100::ParseError& error) {
    if (StartsWithSet(text))
        return s100::parseKVSet(text, error);
    std::optional<s100::ProfileFile> profile = s100::parseProfileFile(text, error);
    if (!profile)
        return std::nullopt;
    return std::move(profile->contents);
}

}  // namespace

bool ReadKvSetFile(const std::string& path, CTkvs set, std::string& error) {
    const std::optional<std::string> text = ReadBoundedFile(path, error);
    if (!text)
        return false;
    s100::ParseError parseError;
    std::optional<s100::KVSet> parsed = ParseEitherForm(*text, parseError);
    if (!parsed) {
        error = path + ": " + parseError.text();
        return false;
    }
    if (s100::replaceContents(set, std::move(*parsed)) != CTerr_NoError) {
        error = path + ": the set cannot be filled";
        return false;
    }
    return true;
}

bool KvSetText(CTkvs set, std::string& text) {
    s100::KVSet contents;
    if (s100::copyFromHandle(set, contents) != CTerr_NoError)
        return false;
    text = s100::printKVSet(contents);
    return true;
}

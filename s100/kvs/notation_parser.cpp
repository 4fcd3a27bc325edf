// The parser of the text notation (printer in notation_printer.cpp).
#include "s100/kvs/notation.h"

#include <cstdio>

#include "s100/kvs/symtable.h"
#include "s100/kvs/text_cursor.h"

namespace s100 {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool isNameChar(char c) {
    return isNameStart(c) || isDigit(c);
}

int hexDigit(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// A byte as it can be shown in a message.
std::string shown(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) {
        char text[8];
        std::snprintf(text, sizeof text, "\\x%02X", byte);
        return text;
    }
    return std::string(1, c);
}

class Parser final {
public:
    Parser(std::string_view text, TextPosition start, ParseError& error)
        : cursor_(text, start), error_(error) {}

    std::optional<KVSet> document() {
        skipSpace();
        if (cursor_.atEnd()) {
            return fail(cursor_.position(), "empty input: expected '{'");
        }
        std::optional<KVSet> set = kvset(1);
        if (!set) {
            return std::nullopt;
        }
        skipSpace();
        if (!cursor_.atEnd()) {
            return fail(cursor_.position(), "unexpected text after the KV set");
        }
        return set;
    }

private:
    // depth is the nesting level of this set, 1 for the outermost.
    std::optional<KVSet> kvset(int depth) {
        if (cursor_.peek() != '{') {
            return fail(cursor_.position(), "expected '{'");
        }
        cursor_.advance();
        KVSet set;
        for (;;) {
            skipSpace();
            if (cursor_.peek() == '}') {
                cursor_.advance();
                return set;
            }
            if (!pair(set, depth)) {
                return std::nullopt;
            }
        }
    }

    bool pair(KVSet& set, int depth) {
        const TextPosition at = cursor_.position();
        std::optional<CTsymbol> key = this->key();
        if (!key) {
            return false;
        }
        if (set.find(*key) != nullptr) {
            return failed(at, "duplicate key '" + symbolText(*key) + "'");
        }
        if (set.size() >= CT_MAX_PAIRS) {
            return failed(at, "too many pairs in a KV set");
        }
        skipSpace();
        if (cursor_.peek() != ':') {
            return failed(cursor_.position(), "expected ':' after key");
        }
        cursor_.advance();
        skipSpace();
        std::optional<Value> value = this->value(depth);
        if (!value) {
            return false;
        }
        if (set.put(*key, std::move(*value)) != CTerr_NoError) {
            return failed(at, "value breaks a bound");
        }
        return true;
    }

    std::optional<CTsymbol> key() {
        if (cursor_.atEnd()) {
            return fail(cursor_.position(), "expected a key or '}'");
        }
        const TextPosition at = cursor_.position();
        if (cursor_.peek() == '0' && cursor_.peek(1) == 'x') {
            return hexSymbol();
        }
        if (!isNameStart(cursor_.peek())) {
            return fail(at, "expected a key or '}'");
        }
        return namedSymbol(name(), at);
    }

    // A value held by a set or array at nesting level depth.
    std::optional<Value> value(int depth) {
        const TextPosition at = cursor_.position();
        const char c = cursor_.peek();
        if (cursor_.atEnd()) {
            return fail(at, "expected a value");
        }
        if (c == '{' || c == '[') {
            if (depth + 1 > CT_MAX_DEPTH) {
                return fail(at, "nesting too deep");
            }
            return c == '{' ? setValue(depth + 1) : array(depth + 1);
        }
        if (c == '"') {
            return string();
        }
        if (c == '+' || c == '-') {
            return signedNumber();
        }
        if (c == '0' && cursor_.peek(1) == 'x') {
            std::optional<CTsymbol> symbol = hexSymbol();
            return symbol ? std::optional<Value>(Value::symbol(*symbol)) : std::nullopt;
        }
        if (isDigit(c)) {
            return unsignedNumber();
        }
        if (isNameStart(c)) {
            return word();
        }
        return fail(at, "unexpected character '" + shown(c) + "', expected a value");
    }

    std::optional<Value> setValue(int depth) {
        std::optional<KVSet> set = kvset(depth);
        return set ? std::optional<Value>(Value::set(std::move(*set))) : std::nullopt;
    }

    std::optional<Value> array(int depth) {
        cursor_.advance();  // '['
        Array array;
        for (;;) {
            skipSpace();
            if (cursor_.peek() == ']') {
                cursor_.advance();
                return Value::array(std::move(array));
            }
            if (cursor_.atEnd()) {
                return fail(cursor_.position(), "expected a value or ']'");
            }
            const TextPosition at = cursor_.position();
            std::optional<Value> element = value(depth);
            if (!element) {
                return std::nullopt;
            }
            switch (array.append(std::move(*element))) {
                case CTerr_NoError:
                    break;
                case CTerr_WrongType:
                    return fail(at, "mixed element types in array");
                default:
                    return fail(at, "too many elements in an array");
            }
        }
    }

    std::optional<Value> string() {
        const TextPosition at = cursor_.position();
        cursor_.advance();  // '"'
        std::string text;
        for (;;) {
            if (cursor_.atEnd()) {
                return fail(at, "unterminated string");
            }
            const TextPosition charAt = cursor_.position();
            char c = cursor_.peek();
            cursor_.advance();
            if (c == '"') {
                return Value::string(std::move(text));
            }
            if (c == '\\' && cursor_.atEnd()) {
                return fail(at, "unterminated string");
            }
            if (c == '\\' && !escape(c, charAt)) {
                return std::nullopt;
            }
            if (c == '\0') {
                return fail(charAt, "NUL byte in a string");
            }
            if (text.size() >= CT_MAX_STRING) {
                return fail(at, "string too long");
            }
            text += c;
        }
    }

    // After the backslash at backslashAt: the byte it stands for, in c.
    bool escape(char& c, TextPosition backslashAt) {
        const char code = cursor_.peek();
        cursor_.advance();
        switch (code) {
            case '"':
            case '\\':
                c = code;
                return true;
            case 'n':
                c = '\n';
                return true;
            case 't':
                c = '\t';
                return true;
            case 'x': {
                const int high = hexDigit(cursor_.peek());
                const int low = hexDigit(cursor_.peek(1));
                if (high < 0 || low < 0) {
                    return failed(cursor_.position(), "expected two hex digits after '\\x'");
                }
                cursor_.advance();
                cursor_.advance();
                c = static_cast<char>(high * 16 + low);
                return true;
            }
            default:
                return failed(backslashAt, "unknown escape '\\" + shown(code) + "'");
        }
    }

    std::optional<Value> signedNumber() {
        const TextPosition at = cursor_.position();
        const bool negative = cursor_.peek() == '-';
        cursor_.advance();
        if (!isDigit(cursor_.peek())) {
            return fail(cursor_.position(), "expected digits after the sign");
        }
        const uint64_t limit = negative ? 2147483648u : 2147483647u;
        std::optional<uint64_t> magnitude = digits(limit, at);
        if (!magnitude) {
            return std::nullopt;
        }
        const int64_t number =
            negative ? -static_cast<int64_t>(*magnitude) : static_cast<int64_t>(*magnitude);
        return Value::integer(static_cast<int32_t>(number));
    }

    std::optional<Value> unsignedNumber() {
        std::optional<uint64_t> number = digits(UINT32_MAX, cursor_.position());
        return number ? std::optional<Value>(Value::uinteger(static_cast<uint32_t>(*number)))
                      : std::nullopt;
    }

    // A run of digits no larger than limit, ending at a delimiter; at is the number's start.
    std::optional<uint64_t> digits(uint64_t limit, TextPosition at) {
        uint64_t number = 0;
        bool tooLarge = false;
        while (isDigit(cursor_.peek())) {
            number = number * 10 + static_cast<uint64_t>(cursor_.peek() - '0');
            tooLarge = tooLarge || number > limit;
            number = tooLarge ? 0 : number;
            cursor_.advance();
        }
        if (!endsToken()) {
            return fail(cursor_.position(),
                        "unexpected character '" + shown(cursor_.peek()) + "' in a number");
        }
        if (tooLarge) {
            return fail(at, "integer out of range");
        }
        return number;
    }

    std::optional<CTsymbol> hexSymbol() {
        const TextPosition at = cursor_.position();
        cursor_.advance();
        cursor_.advance();  // "0x"
        CTsymbol symbol = 0;
        int count = 0;
        for (int digit = hexDigit(cursor_.peek()); digit >= 0; digit = hexDigit(cursor_.peek())) {
            symbol = (symbol << 4) | static_cast<CTsymbol>(digit);
            ++count;
            cursor_.advance();
        }
        if (count != 8 || !endsToken()) {
            return fail(at, "expected 0x and exactly 8 hex digits");
        }
        return symbol;
    }

    // TRUE, FALSE, BOOL(n) or a symbol name.
    std::optional<Value> word() {
        const TextPosition at = cursor_.position();
        const std::string_view text = name();
        if (text == "TRUE" || text == "FALSE") {
            return Value::boolean(text == "TRUE" ? 1 : 0);
        }
        if (text == "BOOL" && cursor_.peek() == '(') {
            cursor_.advance();
            if (!isDigit(cursor_.peek())) {
                return fail(cursor_.position(), "expected digits after 'BOOL('");
            }
            uint64_t number = 0;
            for (; isDigit(cursor_.peek()) && number <= UINT32_MAX; cursor_.advance()) {
                number = number * 10 + static_cast<uint64_t>(cursor_.peek() - '0');
            }
            if (number > UINT32_MAX) {
                return fail(at, "integer out of range");
            }
            if (cursor_.peek() != ')') {
                return fail(cursor_.position(), "expected ')' after the BOOL word");
            }
            cursor_.advance();
            return Value::boolean(static_cast<CTbool>(number));
        }
        std::optional<CTsymbol> symbol = namedSymbol(text, at);
        return symbol ? std::optional<Value>(Value::symbol(*symbol)) : std::nullopt;
    }

    std::optional<CTsymbol> namedSymbol(std::string_view text, TextPosition at) {
        if (const auto symbol = symbolByName(text)) {
            return symbol;
        }
        return fail(at, "unknown symbol name '" + std::string(text) + "'");
    }

    std::string_view name() {
        const size_t begin = cursor_.offset();
        while (isNameChar(cursor_.peek())) {
            cursor_.advance();
        }
        return cursor_.since(begin);
    }

    // A token ends at the end, white space, a comment or a bracket, colon or quote.
    bool endsToken() const {
        if (cursor_.atEnd()) {
            return true;
        }
        const char c = cursor_.peek();
        return isSpace(c) || c == '#' || c == '{' || c == '}' || c == '[' || c == ']' || c == ':' ||
               c == '"';
    }

    void skipSpace() {
        while (!cursor_.atEnd()) {
            if (cursor_.peek() == '#') {
                while (!cursor_.atEnd() && cursor_.peek() != '\n') {
                    cursor_.advance();
                }
            } else if (isSpace(cursor_.peek())) {
                cursor_.advance();
            } else {
                return;
            }
        }
    }

    std::nullopt_t fail(TextPosition at, std::string message) {
        error_.position = at;
        error_.message = std::move(message);
        return std::nullopt;
    }
    bool failed(TextPosition at, std::string message) {
        fail(at, std::move(message));
        return false;
    }

    TextCursor cursor_;
    ParseError& error_;
};

}  // namespace

std::string ParseError::text() const {
    return "line " + std::to_string(position.line) + ", column " + std::to_string(position.column) +
           ": " + message;
}

std::optional<KVSet> parseKVSet(std::string_view text, ParseError& error, TextPosition start) {
    error = ParseError{};
    if (text.size() > kMaxNotationBytes) {
        error.position = start;
        error.message = "input too large";
        return std::nullopt;
    }
    return Parser(text, start, error).document();
}

}  // namespace s100

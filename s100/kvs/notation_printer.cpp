// The printer of the text notation (parser in notation_parser.cpp).
#include "s100/kvs/notation.h"

#include <cstdio>

#include "s100/kvs/symtable.h"

namespace s100 {
namespace {

class Printer final {
public:
    std::string take() { return std::move(out_); }

    void set(const KVSet& set, int indent) {
        if (set.empty()) {
            out_ += "{ }";
            return;
        }
        out_ += "{\n";
        for (const Pair& pair : set.pairs()) {
            pad(indent + 1);
            out_ += symbolText(pair.key);
            out_ += ": ";
            value(pair.value, indent + 1);
            out_ += '\n';
        }
        pad(indent);
        out_ += '}';
    }

private:
    void value(const Value& value, int indent) {
        switch (value.type()) {
            case ValueType::String:
                string(value.asString());
                break;
            case ValueType::Int:
                number("%+d", value.asInt());
                break;
            case ValueType::UInt:
                number("%u", value.asUInt());
                break;
            case ValueType::Bool:
                boolean(value.asBool());
                break;
            case ValueType::Symbol:
                out_ += symbolText(value.asSymbol());
                break;
            case ValueType::KVSet:
                set(value.asSet(), indent);
                break;
            case ValueType::Array:
                array(value.asArray(), indent);
                break;
            case ValueType::None:
                break;
        }
    }

    // Scalars stay on one line; sets and arrays get a line each.
    void array(const Array& array, int indent) {
        if (array.empty()) {
            out_ += "[ ]";
            return;
        }
        const bool nested =
            array.elementType() == ValueType::KVSet || array.elementType() == ValueType::Array;
        if (!nested) {
            out_ += '[';
            for (size_t index = 0; index < array.size(); ++index) {
                out_ += ' ';
                value(array.at(index), indent);
            }
            out_ += " ]";
            return;
        }
        out_ += "[\n";
        for (size_t index = 0; index < array.size(); ++index) {
            pad(indent + 1);
            value(array.at(index), indent + 1);
            out_ += '\n';
        }
        pad(indent);
        out_ += ']';
    }

    void boolean(CTbool word) {
        if (word == 0 || word == 1) {
            out_ += word == 1 ? "TRUE" : "FALSE";
            return;
        }
        out_ += "BOOL(";
        number("%u", word);
        out_ += ')';
    }

    void string(std::string_view text) {
        out_ += '"';
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                out_ += '\\';
                out_ += c;
            } else if (c == '\n') {
                out_ += "\\n";
            } else if (c == '\t') {
                out_ += "\\t";
            } else if (byte < 0x20 || byte >= 0x7F) {
                char escape[5];
                std::snprintf(escape, sizeof escape, "\\x%02X", byte);
                out_ += escape;
            } else {
                out_ += c;
            }
        }
        out_ += '"';
    }

    template <typename Number>
    void number(const char* format, Number n) {
        char text[16];
        std::snprintf(text, sizeof text, format, n);
        out_ += text;
    }

    void pad(int indent) { out_.append(static_cast<size_t>(indent) * 2, ' '); }

    std::string out_;
};

}  // namespace

std::string printKVSet(const KVSet& set) {
    Printer printer;
    printer.set(set, 0);
    return printer.take();
}

}  // namespace s100

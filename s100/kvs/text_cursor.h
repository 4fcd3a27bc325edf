#pragma once
// TextCursor: where a reader of a text stands, with the line and column that its messages
// point at. The notation parser and the profile file's header line both walk with it.

#include <cstddef>
#include <string_view>

#include "s100/kvs/notation.h"

namespace s100 {

class TextCursor final {
public:
    // start is the position of the text's first byte in a larger file.
    explicit TextCursor(std::string_view text, TextPosition start = {})
        : text_(text), position_(start) {}

    bool atEnd() const { return offset_ >= text_.size(); }
    // The byte ahead of the cursor by that many; '\0' past the end.
    char peek(size_t ahead = 0) const {
        return offset_ + ahead < text_.size() ? text_[offset_ + ahead] : '\0';
    }
    // One byte on, counting lines; nothing at the end. Kept here, as the readers take it once
    // a byte.
    void advance() {
        if (atEnd()) {
            return;
        }
        if (text_[offset_] == '\n') {
            ++position_.line;
            position_.column = 1;
        } else {
            ++position_.column;
        }
        ++offset_;
    }

    size_t offset() const { return offset_; }
    TextPosition position() const { return position_; }
    // The text from the offset begin up to the cursor.
    std::string_view since(size_t begin) const { return text_.substr(begin, offset_ - begin); }
    std::string_view rest() const { return text_.substr(offset_); }

private:
    std::string_view text_;
    size_t offset_ = 0;
    TextPosition position_;
};

}  // namespace s100

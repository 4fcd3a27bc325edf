#pragma once
// The data model behind the S.100 KV set calls: values, arrays and KV sets with value semantics.
//
// Every set and array keeps the bounds of s100/s100.h (CT_MAX_DEPTH, CT_MAX_PAIRS,
// CT_MAX_ELEMENTS, CT_MAX_STRING): a put or an append that would break one changes nothing and
// returns the error code. Sets and arrays held inside a value are immutable and shared, so copying
// a value is cheap and a pointer to a string, set or array inside a value stays valid for as long
// as any copy of that value lives (the C API relies on this for what its gets hand out).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "s100/s100.h"

namespace s100 {

class Value;
class KVSet;
class Array;

// The type of a value. An array's element type is None only while the array is empty.
enum class ValueType { None, String, Int, UInt, Bool, Symbol, KVSet, Array };

// CTerr_NoError when text can be a string value (size and no NUL byte), else the error code.
CTerror checkString(std::string_view text);

class Value final {
public:
    static Value string(std::string text);
    // The string of size bytes at text, which lies in block and is followed there by a NUL byte:
    // the elements of one received string array share one block instead of a copy each.
    static Value stringIn(std::shared_ptr<const std::string> block, const char* text, size_t size);
    static Value integer(int32_t number);
    static Value uinteger(uint32_t number);
    static Value boolean(CTbool word);
    static Value symbol(CTsymbol symbol);
    static Value set(KVSet set);
    static Value array(Array array);

    ValueType type() const;

    // Accessors for the held type; calling one for another type is a programming error.
    std::string_view asString() const;
    const char* asCString() const;  // the same bytes, followed by a NUL byte
    int32_t asInt() const;
    uint32_t asUInt() const;
    CTbool asBool() const;
    CTsymbol asSymbol() const;
    const KVSet& asSet() const;
    const Array& asArray() const;
    std::shared_ptr<const KVSet> sharedSet() const;
    std::shared_ptr<const Array> sharedArray() const;

    // Sets and arrays nested in this value: 0 for a scalar.
    int depth() const;

    bool operator==(const Value& other) const;

private:
    struct UInt {
        uint32_t number;
    };
    struct Bool {
        CTbool word;
    };
    struct Symbol {
        CTsymbol symbol;
    };
    // NUL-terminated bytes kept alive by whatever owns them (their own block or a shared one).
    struct Text {
        std::shared_ptr<const char> chars;
        size_t size;
    };
    using Data = std::variant<Text, int32_t, UInt, Bool, Symbol, std::shared_ptr<const KVSet>,
                              std::shared_ptr<const Array>>;
    explicit Value(Data data);

    Data data_;
};

// Elements of one type; an array of arrays holds arrays of any element types.
//
// A string array received from the wire keeps its strings as they came, in one block, each
// followed by its NUL (see fromPacked): a list of 10,000 names is then one block and one table
// of where each begins, not 10,000 values, and the C API hands that table out as it is.
class Array final {
public:
    Array() = default;

    // The strings of block, which holds each element followed by one NUL byte. The array shares
    // block. CTerr_InvalidArgument when block does not end with a NUL (a cut element),
    // CTerr_LimitExceeded for more than CT_MAX_ELEMENTS elements or one over CT_MAX_STRING;
    // why then names which.
    static CTerror fromPacked(std::shared_ptr<const std::string> block, Array& out,
                              const char*& why);

    ValueType elementType() const { return elementType_; }
    size_t size() const { return isPacked() ? texts_.size() : elements_.size(); }
    bool empty() const { return size() == 0; }
    // The element at index (which must be below size()); it shares what the array holds.
    Value at(size_t index) const;
    // The text of the string element at index, followed by a NUL byte.
    std::string_view stringAt(size_t index) const;
    // Where each element of a received string array begins, size() of them, valid as long as
    // this array; null for an array built element by element.
    const char* const* packedTexts() const { return isPacked() ? texts_.data() : nullptr; }
    // The received block itself: every element followed by its NUL; null when not received so.
    const std::string* packedBlock() const { return block_.get(); }

    // Makes room for count elements in all, so that filling a long array does not reallocate.
    void reserve(size_t count) { elements_.reserve(count); }

    // Appends a copy: CTerr_WrongType for an element of another type than the first,
    // CTerr_LimitExceeded over a bound.
    CTerror append(Value element);

    // 1 + the deepest element's depth.
    int depth() const { return depth_; }

    bool operator==(const Array& other) const;

private:
    bool isPacked() const { return block_ != nullptr; }
    // Turns a received array into one built element by element, before it changes.
    void unpack();

    ValueType elementType_ = ValueType::None;
    std::vector<Value> elements_;               // empty while packed
    std::shared_ptr<const std::string> block_;  // a received string array's bytes
    std::vector<const char*> texts_;            // where each of its elements begins
    int depth_ = 1;
};

struct Pair;

// Ordered pairs with unique keys, in the order of each key's first put.
class KVSet final {
public:
    KVSet() = default;

    size_t size() const;
    bool empty() const;
    const std::vector<Pair>& pairs() const { return pairs_; }
    const Pair& at(size_t index) const;

    // The value under key, or null.
    const Value* find(CTsymbol key) const;

    // Adds the pair, or replaces the value of an existing key in its place. CTerr_LimitExceeded
    // over a bound (string size, pair count, depth), CTerr_InvalidArgument for a NUL in a string.
    CTerror put(CTsymbol key, Value value);
    // CTerr_NotFound when the set does not hold key.
    CTerror remove(CTsymbol key);
    void clear();

    // 1 + the deepest value's depth.
    int depth() const { return depth_; }

    bool operator==(const KVSet& other) const;

private:
    // Most sets hold a handful of pairs and are searched in order; from this many pairs on, a
    // set keeps an index so that filling a large one stays linear.
    static constexpr size_t kIndexedFrom = 16;

    // The position of key in pairs_, or pairs_.size() when the set does not hold it.
    size_t indexOf(CTsymbol key) const;
    void rebuildIndex();
    void recomputeDepth();

    std::vector<Pair> pairs_;
    std::unordered_map<CTsymbol, size_t> indexByKey_;  // empty below kIndexedFrom pairs
    int depth_ = 1;
};

struct Pair {
    CTsymbol key;
    Value value;

    bool operator==(const Pair& other) const = default;
};

}  // namespace s100

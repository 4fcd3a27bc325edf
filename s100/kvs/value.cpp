#include "s100/kvs/value.h"

#include <algorithm>
#include <cstring>

namespace s100 {

CTerror checkString(std::string_view text) {
    if (text.size() > CT_MAX_STRING) {
        return CTerr_LimitExceeded;
    }
    if (text.find('\0') != std::string_view::npos) {
        return CTerr_InvalidArgument;
    }
    return CTerr_NoError;
}

// Only a string, a set or an array can break a bound; the others are always fine.
static CTerror checkValue(const Value& value) {
    if (value.type() == ValueType::String) {
        return checkString(value.asString());
    }
    return value.depth() + 1 > CT_MAX_DEPTH ? CTerr_LimitExceeded : CTerr_NoError;
}

Value::Value(Data data) : data_(std::move(data)) {}

Value Value::string(std::string text) {
    auto block = std::make_shared<const std::string>(std::move(text));
    const char* chars = block->c_str();
    const size_t size = block->size();
    return stringIn(std::move(block), chars, size);
}
Value Value::stringIn(std::shared_ptr<const std::string> block, const char* text, size_t size) {
    return Value(Text{std::shared_ptr<const char>(std::move(block), text), size});
}
Value Value::integer(int32_t number) {
    return Value(number);
}
Value Value::uinteger(uint32_t number) {
    return Value(UInt{number});
}
Value Value::boolean(CTbool word) {
    return Value(Bool{word});
}
Value Value::symbol(CTsymbol symbol) {
    return Value(Symbol{symbol});
}
Value Value::set(KVSet set) {
    return Value(std::make_shared<const KVSet>(std::move(set)));
}
Value Value::array(Array array) {
    return Value(std::make_shared<const Array>(std::move(array)));
}

ValueType Value::type() const {
    static constexpr ValueType kTypes[] = {ValueType::String, ValueType::Int,    ValueType::UInt,
                                           ValueType::Bool,   ValueType::Symbol, ValueType::KVSet,
                                           ValueType::Array};
    return kTypes[data_.index()];
}

std::string_view Value::asString() const {
    const Text& text = std::get<Text>(data_);
    return {text.chars.get(), text.size};
}
const char* Value::asCString() const {
    return std::get<Text>(data_).chars.get();
}
int32_t Value::asInt() const {
    return std::get<int32_t>(data_);
}
uint32_t Value::asUInt() const {
    return std::get<UInt>(data_).number;
}
CTbool Value::asBool() const {
    return std::get<Bool>(data_).word;
}
CTsymbol Value::asSymbol() const {
    return std::get<Symbol>(data_).symbol;
}
const KVSet& Value::asSet() const {
    return *sharedSet();
}
const Array& Value::asArray() const {
    return *sharedArray();
}
std::shared_ptr<const KVSet> Value::sharedSet() const {
    return std::get<std::shared_ptr<const KVSet>>(data_);
}
std::shared_ptr<const Array> Value::sharedArray() const {
    return std::get<std::shared_ptr<const Array>>(data_);
}

int Value::depth() const {
    switch (type()) {
        case ValueType::KVSet:
            return asSet().depth();
        case ValueType::Array:
            return asArray().depth();
        default:
            return 0;
    }
}

bool Value::operator==(const Value& other) const {
    if (type() != other.type()) {
        return false;
    }
    switch (type()) {
        case ValueType::String:
            return asString() == other.asString();
        case ValueType::Int:
            return asInt() == other.asInt();
        case ValueType::UInt:
            return asUInt() == other.asUInt();
        case ValueType::Bool:
            return asBool() == other.asBool();
        case ValueType::Symbol:
            return asSymbol() == other.asSymbol();
        case ValueType::KVSet:
            return asSet() == other.asSet();
        case ValueType::Array:
            return asArray() == other.asArray();
        case ValueType::None:
            break;
    }
    return false;
}

CTerror Array::fromPacked(std::shared_ptr<const std::string> block, Array& out, const char*& why) {
    const std::string& bytes = *block;
    if (!bytes.empty() && bytes.back() != '\0') {
        why = "packed strings cut short";
        return CTerr_InvalidArgument;
    }
    std::vector<const char*> texts;
    const char* at = bytes.data();
    const char* const end = at + bytes.size();
    while (at != end) {
        // The block ends with a NUL, so every element finds its own.
        const auto* nul = static_cast<const char*>(std::memchr(at, '\0', end - at));
        if (texts.size() == CT_MAX_ELEMENTS) {
            why = "too many elements in an array";
            return CTerr_LimitExceeded;
        }
        if (static_cast<size_t>(nul - at) > CT_MAX_STRING) {
            why = "string too long";
            return CTerr_LimitExceeded;
        }
        texts.push_back(at);
        at = nul + 1;
    }
    out = Array{};
    if (!texts.empty()) {
        out.elementType_ = ValueType::String;
        out.texts_ = std::move(texts);
        out.block_ = std::move(block);
    }
    return CTerr_NoError;
}

std::string_view Array::stringAt(size_t index) const {
    if (!isPacked()) {
        return elements_[index].asString();
    }
    const char* const next =
        index + 1 < texts_.size() ? texts_[index + 1] : block_->data() + block_->size();
    return {texts_[index], static_cast<size_t>(next - texts_[index]) - 1};
}

Value Array::at(size_t index) const {
    if (!isPacked()) {
        return elements_.at(index);
    }
    const std::string_view text = stringAt(index);
    return Value::stringIn(block_, text.data(), text.size());
}

void Array::unpack() {
    if (!isPacked()) {
        return;
    }
    elements_.reserve(texts_.size());
    for (size_t index = 0; index < texts_.size(); ++index) {
        elements_.push_back(at(index));
    }
    texts_ = {};
    block_.reset();
}

CTerror Array::append(Value element) {
    if (elementType_ != ValueType::None && element.type() != elementType_) {
        return CTerr_WrongType;
    }
    if (size() >= CT_MAX_ELEMENTS) {
        return CTerr_LimitExceeded;
    }
    if (const CTerror error = checkValue(element); error != CTerr_NoError) {
        return error;
    }
    unpack();
    depth_ = std::max(depth_, element.depth() + 1);
    elementType_ = element.type();
    elements_.push_back(std::move(element));
    return CTerr_NoError;
}

bool Array::operator==(const Array& other) const {
    if (elementType_ != other.elementType_ || size() != other.size()) {
        return false;
    }
    if (isPacked() && other.isPacked()) {
        return *block_ == *other.block_;
    }
    if (elementType_ == ValueType::String) {
        for (size_t index = 0; index < size(); ++index) {
            if (stringAt(index) != other.stringAt(index)) {
                return false;
            }
        }
        return true;
    }
    return elements_ == other.elements_;
}

size_t KVSet::size() const {
    return pairs_.size();
}
bool KVSet::empty() const {
    return pairs_.empty();
}
const Pair& KVSet::at(size_t index) const {
    return pairs_.at(index);
}

size_t KVSet::indexOf(CTsymbol key) const {
    if (pairs_.size() < kIndexedFrom) {
        for (size_t index = 0; index < pairs_.size(); ++index) {
            if (pairs_[index].key == key) {
                return index;
            }
        }
        return pairs_.size();
    }
    const auto it = indexByKey_.find(key);
    return it == indexByKey_.end() ? pairs_.size() : it->second;
}

void KVSet::rebuildIndex() {
    indexByKey_ = {};
    if (pairs_.size() < kIndexedFrom) {
        return;
    }
    for (size_t index = 0; index < pairs_.size(); ++index) {
        indexByKey_.emplace(pairs_[index].key, index);
    }
}

const Value* KVSet::find(CTsymbol key) const {
    const size_t index = indexOf(key);
    return index == pairs_.size() ? nullptr : &pairs_[index].value;
}

CTerror KVSet::put(CTsymbol key, Value value) {
    if (const CTerror error = checkValue(value); error != CTerr_NoError) {
        return error;
    }
    if (const size_t index = indexOf(key); index != pairs_.size()) {
        pairs_[index].value = std::move(value);
        recomputeDepth();
        return CTerr_NoError;
    }
    if (pairs_.size() >= CT_MAX_PAIRS) {
        return CTerr_LimitExceeded;
    }
    depth_ = std::max(depth_, value.depth() + 1);
    pairs_.push_back(Pair{key, std::move(value)});
    if (pairs_.size() == kIndexedFrom) {
        rebuildIndex();
    } else if (pairs_.size() > kIndexedFrom) {
        indexByKey_.emplace(key, pairs_.size() - 1);
    }
    return CTerr_NoError;
}

CTerror KVSet::remove(CTsymbol key) {
    const size_t index = indexOf(key);
    if (index == pairs_.size()) {
        return CTerr_NotFound;
    }
    pairs_.erase(pairs_.begin() + static_cast<std::ptrdiff_t>(index));
    rebuildIndex();
    recomputeDepth();
    return CTerr_NoError;
}

void KVSet::clear() {
    pairs_.clear();
    indexByKey_.clear();
    depth_ = 1;
}

void KVSet::recomputeDepth() {
    depth_ = 1;
    for (const Pair& pair : pairs_) {
        depth_ = std::max(depth_, pair.value.depth() + 1);
    }
}

bool KVSet::operator==(const KVSet& other) const {
    return pairs_ == other.pairs_;
}

}  // namespace s100

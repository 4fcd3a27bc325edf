#include "s100/wire/frame_budget.h"

#include <google/protobuf/descriptor.h>

#include <cstdint>

#include "s100/wire/frame.h"

namespace tlv::wire {
namespace {

using google::protobuf::Descriptor;
using google::protobuf::FieldDescriptor;

enum WireType : std::uint32_t { kVarint = 0, kFixed64 = 1, kLengthDelimited = 2, kFixed32 = 5 };

class BudgetWalk final {
public:
    explicit BudgetWalk(std::size_t maxMessages) : m_maxMessages(maxMessages) {}

    bool message(const std::uint8_t* at, const std::uint8_t* end, const Descriptor& type,
                 int depth) {
        while (at < end) {
            std::uint64_t tag = 0;
            if (!varint(at, end, tag)) {
                return false;
            }
            if (!field(at, end, static_cast<int>(tag >> 3), static_cast<std::uint32_t>(tag & 7),
                       type, depth)) {
                return false;
            }
        }
        return true;
    }

private:
    bool field(const std::uint8_t*& at, const std::uint8_t* end, int number, std::uint32_t wire,
               const Descriptor& type, int depth) {
        std::uint64_t ignored = 0;
        switch (wire) {
            case kVarint:
                return varint(at, end, ignored);
            case kFixed64:
                return skip(at, end, 8);
            case kFixed32:
                return skip(at, end, 4);
            case kLengthDelimited:
                break;
            default:
                return false;  // groups are not part of the protocol
        }
        std::uint64_t length = 0;
        if (!varint(at, end, length) || length > static_cast<std::uint64_t>(end - at)) {
            return false;
        }
        const std::uint8_t* inner = at;
        at += length;
        const FieldDescriptor* described = type.FindFieldByNumber(number);
        if (described == nullptr || described->type() != FieldDescriptor::TYPE_MESSAGE) {
            return true;
        }
        if (++m_messages > m_maxMessages || depth >= kMaxMessageNesting) {
            return false;
        }
        return message(inner, at, *described->message_type(), depth + 1);
    }

    static bool varint(const std::uint8_t*& at, const std::uint8_t* end, std::uint64_t& value) {
        value = 0;
        for (int shift = 0; shift < 64 && at < end; shift += 7) {
            const std::uint8_t byte = *at++;
            value |= std::uint64_t{byte & 0x7Fu} << shift;
            if ((byte & 0x80u) == 0) {
                return true;
            }
        }
        return false;
    }

    static bool skip(const std::uint8_t*& at, const std::uint8_t* end, std::size_t count) {
        if (static_cast<std::size_t>(end - at) < count) {
            return false;
        }
        at += count;
        return true;
    }

    std::size_t m_maxMessages;
    std::size_t m_messages = 0;
};

}  // namespace

bool fitsDecodeBudget(std::string_view payload, const Descriptor& type) {
    const auto* begin = reinterpret_cast<const std::uint8_t*>(payload.data());
    BudgetWalk walk(payload.size() / kMinWireBytesPerMessage + kMessageAllowance);
    return walk.message(begin, begin + payload.size(), type, 1);
}

}  // namespace tlv::wire

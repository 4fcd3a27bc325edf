#include "session/connectwords.h"

#include "config/regfailure.h"
#include "platform/text/shownbytes.h"
#include "resources/stringtable.h"

namespace {

using tlv::client::ConnectStringFault;
using tlv::client::EntryFault;
using tlv::client::OpenFailure;
using tlv::client::OpenStep;
using tlv::platform::ShownBytes;
using tlv::wire::ConnectFault;
using tlv::wire::KeyFault;

OpenFailureWords Words(std::string reason, std::string advice) {
    OpenFailureWords words;
    words.reason = std::move(reason);
    words.advice = std::move(advice);
    return words;
}

OpenFailureWords EntryWords(const OpenFailure& failure) {
    const std::string entry = ShownBytes(failure.entry);
    if (failure.entryFault == EntryFault::NotAString) {
        const std::vector<std::string> where =
            RegistryFailureDetails({tlv::client::kAdministrationServersKey, failure.entry.c_str()});
        return Words(StringTable::Format(IDS_OPEN_ENTRY_NOT_STRING, {where.front()}),
                     StringTable::Format(IDS_OPEN_REPLACE_ENTRY, {entry}));
    }
    const std::vector<std::string> where = RegistryFailureDetails(
        {tlv::client::kAdministrationServersKey,
         failure.entryFault == EntryFault::NoTable ? nullptr : failure.entry.c_str()});
    // A registry without any of the software's settings says itself what to do.
    if (where.size() > 1)
        return Words(where[0], where[1]);
    const unsigned reason =
        failure.entryFault == EntryFault::NoTable ? IDS_OPEN_NO_TABLE : IDS_OPEN_NO_ENTRY;
    return Words(StringTable::Format(reason, {where.front()}),
                 StringTable::Format(IDS_OPEN_ADD_ENTRY, {entry}));
}

// The part after the last colon: what the operator wrote as the port.
std::string PortText(const std::string& connectString) {
    const std::size_t colon = connectString.rfind(':');
    return ShownBytes(colon == std::string::npos ? std::string() : connectString.substr(colon + 1));
}

std::string StringFaultText(const OpenFailure& failure) {
    switch (failure.stringFault) {
        case ConnectStringFault::Empty:
            return StringTable::Format(IDS_OPEN_STRING_EMPTY);
        case ConnectStringFault::NoPrefix:
            return StringTable::Format(IDS_OPEN_STRING_NO_PREFIX);
        case ConnectStringFault::NoPort:
            return StringTable::Format(IDS_OPEN_STRING_NO_PORT);
        case ConnectStringFault::NoHost:
            return StringTable::Format(IDS_OPEN_STRING_NO_HOST);
        case ConnectStringFault::BadHost:
            return StringTable::Format(IDS_OPEN_STRING_BAD_HOST);
        case ConnectStringFault::PortNotANumber:
            return StringTable::Format(IDS_OPEN_STRING_PORT_NAN, {PortText(failure.connectString)});
        case ConnectStringFault::PortOutOfRange:
            return StringTable::Format(IDS_OPEN_STRING_PORT_RANGE,
                                       {PortText(failure.connectString)});
        case ConnectStringFault::TooLong:
        case ConnectStringFault::None:
            break;
    }
    return StringTable::Format(IDS_OPEN_STRING_TOO_LONG,
                               {std::to_string(tlv::client::kMaxConnectStringBytes)});
}

OpenFailureWords KeyWords(const OpenFailure& failure) {
    const std::string file = ShownBytes(failure.keyFile);
    if (failure.keyFile.empty())
        return Words(StringTable::Format(IDS_OPEN_KEY_UNUSABLE, {ShownBytes(failure.keyProblem)}),
                     StringTable::Format(IDS_OPEN_NAME_KEY));
    switch (failure.keyFault) {
        case KeyFault::Missing:
            return Words(StringTable::Format(IDS_OPEN_NO_KEY_FILE, {file}),
                         StringTable::Format(IDS_OPEN_GET_KEY, {file}));
        case KeyFault::NotPrivate:
            return Words(StringTable::Format(IDS_OPEN_KEY_NOT_PRIVATE, {file}),
                         StringTable::Format(IDS_OPEN_MAKE_KEY_PRIVATE, {file}));
        case KeyFault::None:
        case KeyFault::Unusable:
            break;
    }
    return Words(StringTable::Format(IDS_OPEN_KEY_UNUSABLE, {ShownBytes(failure.keyProblem)}),
                 StringTable::Format(IDS_OPEN_REPLACE_KEY, {file}));
}

// "10 s", "0.25 s": the wait as the operator set it, in milliseconds, told in seconds.
std::string SecondsText(std::chrono::milliseconds wait) {
    std::string seconds = std::to_string(wait.count() / 1000);
    if (const long long rest = wait.count() % 1000; rest != 0) {
        std::string fraction = std::to_string(1000 + rest).substr(1);
        fraction.erase(fraction.find_last_not_of('0') + 1);
        seconds += '.' + fraction;
    }
    return StringTable::Format(IDS_WAITING_SECONDS, {seconds});
}

OpenFailureWords ConnectWords(const OpenFailure& failure) {
    const std::string address = ShownBytes(failure.host + ':' + std::to_string(failure.port));
    switch (failure.connectFault) {
        case ConnectFault::Refused:
            return Words(StringTable::Format(IDS_OPEN_REFUSED, {address}),
                         StringTable::Format(IDS_OPEN_START_SERVER));
        case ConnectFault::TimedOut:
            return Words(
                StringTable::Format(IDS_OPEN_TIMED_OUT, {address, SecondsText(failure.timeout)}),
                StringTable::Format(IDS_OPEN_CHECK_ROUTE));
        case ConnectFault::HostNotFound:
            return Words(StringTable::Format(IDS_OPEN_HOST_NOT_FOUND, {ShownBytes(failure.host)}),
                         StringTable::Format(IDS_OPEN_CHECK_HOST));
        case ConnectFault::Unreachable:
            return Words(StringTable::Format(IDS_OPEN_UNREACHABLE,
                                             {address, ShownBytes(failure.systemReason)}),
                         StringTable::Format(IDS_OPEN_CHECK_NETWORK));
        case ConnectFault::KeyRejected:
            return Words(
                StringTable::Format(IDS_OPEN_KEY_REFUSED, {address, ShownBytes(failure.keyFile)}),
                StringTable::Format(IDS_OPEN_GET_CURRENT_KEY, {ShownBytes(failure.keyFile)}));
        case ConnectFault::VersionMismatch:
            return Words(StringTable::Format(IDS_OPEN_VERSION,
                                             {address, std::to_string(failure.serverVersion),
                                              std::to_string(failure.clientVersion)}),
                         StringTable::Format(IDS_OPEN_MATCH_VERSIONS));
        case ConnectFault::Broken:
            return Words(StringTable::Format(IDS_OPEN_HANDSHAKE_BROKEN, {address}),
                         StringTable::Format(IDS_OPEN_CHECK_PEER));
        case ConnectFault::None:
        case ConnectFault::Aborted:
            break;
    }
    return {};
}

OpenFailureWords ReasonAndAdvice(const OpenFailure& failure) {
    switch (failure.step) {
        case OpenStep::Entry:
            return EntryWords(failure);
        case OpenStep::Address:
            return Words(StringTable::Format(IDS_OPEN_BAD_STRING, {StringFaultText(failure)}),
                         StringTable::Format(IDS_OPEN_FIX_STRING));
        case OpenStep::Key:
            return KeyWords(failure);
        case OpenStep::Connect:
            return ConnectWords(failure);
        case OpenStep::None:
            break;
    }
    return Words(StringTable::Format(IDS_OPEN_UNEXPLAINED), {});
}

}  // namespace

std::vector<std::string> OpenFailureWords::Lines() const {
    std::vector<std::string> lines = context;
    if (!reason.empty())
        lines.push_back(reason);
    if (!advice.empty())
        lines.push_back(advice);
    return lines;
}

OpenFailureWords DescribeOpenFailure(const OpenFailure& failure) {
    if (failure.step == OpenStep::Connect && failure.connectFault == ConnectFault::Aborted)
        return {};
    OpenFailureWords words = ReasonAndAdvice(failure);
    // An address opened as written has no entry to name: its connection string says it all.
    if (failure.entry != failure.connectString)
        words.context.push_back(StringTable::Format(IDS_OPEN_ENTRY, {ShownBytes(failure.entry)}));
    // Not for one too long to be read, nor an empty one: the reason says so.
    const bool bStringRead = failure.step != OpenStep::Entry && !failure.connectString.empty();
    if (bStringRead)
        words.context.push_back(
            StringTable::Format(IDS_OPEN_CONNECT_STRING, {ShownBytes(failure.connectString)}));
    return words;
}

OpenFailureWords DescribeOpenFailure(const std::string& entry) {
    return DescribeOpenFailure(tlv::client::openFailureOf(entry));
}

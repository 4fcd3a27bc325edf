#include "checker/checkmessage.h"

#include <utility>

#include "resources/stringids.h"
#include "resources/stringtable.h"

CheckMessage::CheckMessage() : m_type(CE_Fatal), m_text("Empty Message") {}

CheckMessage::CheckMessage(CE_Type type, std::string profileName, std::string text)
    : m_type(type), m_profileName(std::move(profileName)), m_text(std::move(text)) {}

unsigned LabelIdOf(CE_Type type) {
    switch (type) {
        case CE_Info:
            return IDS_LABEL_INFO;
        case CE_Warning:
            return IDS_LABEL_WARNING;
        case CE_Error:
            return IDS_LABEL_ERROR;
        case CE_Fatal:
            return IDS_LABEL_FATAL;
    }
    return IDS_LABEL_UNKNOWN;
}

std::string LabelledText(const CheckMessage& message) {
    return StringTable::Text(LabelIdOf(message.m_type)) + message.m_text;
}

void AddFinding(Array<CheckMessage>& messages, CheckMessage finding) {
    if (messages.Size() == messages.Capacity()) {
        messages.Reserve(messages.Size() + messages.Size() / 2);
    }
    messages.Append(std::move(finding));
}

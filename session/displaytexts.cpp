#include "session/displaytexts.h"

#include "resources/stringtable.h"
#include "s100/symbols.h"

DisplayTexts DisplayTexts::Load() {
    return {StringTable::Load(IDS_STATE_IDLE),     StringTable::Load(IDS_STATE_STARTING),
            StringTable::Load(IDS_STATE_WAITING),  StringTable::Load(IDS_STATE_RUNNING),
            StringTable::Load(IDS_STATE_STOPPING), StringTable::Load(IDS_STATE_IDLE_FAILED),
            StringTable::Load(IDS_STATE_UNKNOWN),  StringTable::Load(IDS_TYPE_MANDATORY),
            StringTable::Load(IDS_TYPE_OPTIONAL),  StringTable::Load(IDS_TYPE_ROOT),
            StringTable::Load(IDS_TYPE_UNKNOWN),   StringTable::Load(IDS_TYPE_DISABLED_SUFFIX),
            StringTable::Load(IDS_SP_AVAILABLE),   StringTable::Load(IDS_SP_NOT_AVAILABLE)};
}

const CString& StateText(const DisplayTexts& texts, unsigned long state) {
    switch (state) {
        case SVC_StateIdle:
            return texts.m_strIdle;
        case SVC_StateStarting:
            return texts.m_strStarting;
        case SVC_StateWaiting:
            return texts.m_strWaiting;
        case SVC_StateRunning:
            return texts.m_strRunning;
        case SVC_StateStopping:
            return texts.m_strStopping;
        case SVC_StateFailed:
            return texts.m_strIdleFailed;
        default:
            return texts.m_strStateUnknown;
    }
}

namespace {

const CString& BaseTypeText(const DisplayTexts& texts, unsigned long type) {
    switch (type) {
        case SVC_Optional:
            return texts.m_strOptional;
        case SVC_Mandatory:
            return texts.m_strMandatory;
        case SVC_Root:
            return texts.m_strRoot;
        default:
            return texts.m_strTypeUnknown;
    }
}

}  // namespace

CString TypeText(const DisplayTexts& texts, unsigned long type, long disabled) {
    CString text = BaseTypeText(texts, type);
    if (disabled != 0)
        text += texts.m_strDisabled;
    return text;
}

const CString& AvailabilityText(const DisplayTexts& texts, long available) {
    return available != 0 ? texts.m_strAvailable : texts.m_strNotAvailable;
}

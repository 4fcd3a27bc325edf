#include "session/opmessages.h"

#include <initializer_list>

#include "resources/stringids.h"

namespace {

struct CodeMessage {
    CTerror code;
    unsigned messageId;
};

unsigned Lookup(CTerror code, std::initializer_list<CodeMessage> table, unsigned otherwise) {
    for (const CodeMessage& entry : table) {
        if (entry.code == code)
            return entry.messageId;
    }
    return otherwise;
}

}  // namespace

unsigned DeleteProfileMessage(CTerror) {
    return IDS_PROFILE_DELETE_FAILED;
}

unsigned NewServiceMessage(CTerror code) {
    return Lookup(code,
                  {{CTerr_InvalidArgument, IDS_SERVICE_ARGUMENT_INVALID},
                   {CTerr_NotFound, IDS_SERVICE_EXE_NOT_FOUND},
                   {CTerr_Exists, IDS_SERVICE_EXISTS},
                   {CTerr_InvalidName, IDS_SERVICE_NAME_INVALID}},
                  IDS_SERVICE_CREATE_FAILED);
}

unsigned UpdateServiceMessage(CTerror code) {
    return Lookup(code,
                  {{CTerr_NotFound, IDS_SERVICE_EXE_NOT_FOUND},
                   {CTerr_InvalidName, IDS_SERVICE_NAME_INVALID},
                   {CTerr_Deferred, IDS_SERVICE_CHANGE_ON_RESTART}},
                  IDS_SERVICE_UPDATE_FAILED);
}

unsigned DeleteServiceMessage(CTerror code) {
    return Lookup(code,
                  {{CTerr_ServiceBusy, IDS_SERVICE_RUNNING_NOT_DELETED},
                   {CTerr_Deferred, IDS_SERVICE_MARKED_FOR_REMOVAL},
                   {CTerr_NotFound, IDS_EXPORT_RETRIEVE_FAILED}},
                  IDS_SERVICE_DELETE_FAILED);
}

unsigned StartServiceMessage(CTerror) {
    return IDS_SERVICE_START_FAILED;
}

unsigned StopServiceMessage(CTerror) {
    return IDS_SERVICE_STOP_FAILED;
}

unsigned ImportProfileMessage(CTerror code) {
    return Lookup(
        code,
        {{CTerr_FileOpen, IDS_IMPORT_FILE_OPEN_FAILED}, {CTerr_Exists, IDS_IMPORT_PROFILE_EXISTS}},
        IDS_IMPORT_INVALID_FILE);
}

unsigned ExportProfileMessage(CTerror code) {
    return Lookup(code,
                  {{CTerr_FileCreate, IDS_EXPORT_FILE_FAILED},
                   {CTerr_FileWrite, IDS_EXPORT_FILE_FAILED},
                   {CTerr_NotFound, IDS_EXPORT_RETRIEVE_FAILED},
                   {CTerr_Exists, IDS_EXPORT_FILE_EXISTS}},
                  IDS_EXPORT_CONVERT_FAILED);
}

unsigned ChangeServerLevelMessage(CTerror) {
    return IDS_LEVEL_CHANGE_FAILED;
}

// CTadm_ImportProfile and CTadm_ExportProfile: profile files on the client machine.
#include <string>

#include "s100/client/call_record.h"
#include "s100/client/call_runner.h"
#include "s100/client/kvs_exchange.h"
#include "s100/kvs/profile_file.h"
#include "s100/s100.h"

using tlv::client::argumentText;
using tlv::client::finishCall;

namespace {

CTerror importProfile(CTsession session, const char* fileName, const std::string& name,
                      const std::string& profileClass) {
    if (fileName == nullptr) {
        return CTerr_FileOpen;
    }
    s100::FileError fileError;
    std::optional<s100::ProfileFile> file = s100::readProfileFile(fileName, fileError);
    if (!file) {
        return fileError.code;
    }
    // The file's own name and class were only the operator's proposal.
    tlv::wire::Request request;
    auto* call = request.mutable_add_profile();
    call->set_name(name);
    call->set_profile_class(profileClass);
    if (const CTerror error = tlv::client::wireFromSet(file->contents, *call->mutable_contents());
        error != CTerr_NoError) {
        return error;
    }
    return tlv::client::runCommand(session, request);
}

// The contents of the one profile of that exact name and class in a query's result.
CTerror contentsOf(const s100::KVSet& result, const std::string& name,
                   const std::string& profileClass, s100::KVSet& contents) {
    const s100::Value* names = result.find(KEY_ProfileNames);
    const s100::Value* classes = result.find(KEY_ProfileClasses);
    const s100::Value* sets = result.find(KEY_ProfileContents);
    if (names == nullptr || classes == nullptr || sets == nullptr ||
        names->type() != s100::ValueType::Array || classes->type() != s100::ValueType::Array ||
        sets->type() != s100::ValueType::Array) {
        return CTerr_NotFound;
    }
    const s100::Array& nameArray = names->asArray();
    const s100::Array& classArray = classes->asArray();
    const s100::Array& setArray = sets->asArray();
    const std::size_t count = nameArray.size();
    if (classArray.size() != count || setArray.size() != count) {
        return CTerr_NotFound;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const s100::Value& each = nameArray.at(i);
        const s100::Value& eachClass = classArray.at(i);
        const s100::Value& eachSet = setArray.at(i);
        if (each.type() == s100::ValueType::String && each.asString() == name &&
            eachClass.type() == s100::ValueType::String && eachClass.asString() == profileClass &&
            eachSet.type() == s100::ValueType::KVSet) {
            contents = eachSet.asSet();
            return CTerr_NoError;
        }
    }
    return CTerr_NotFound;
}

CTerror exportProfile(CTsession session, const char* fileName, const std::string& name,
                      const std::string& profileClass) {
    if (fileName == nullptr || *fileName == '\0') {
        return CTerr_FileCreate;
    }
    tlv::wire::Request request;
    auto* call = request.mutable_get_profile_info();
    call->set_name(name);
    call->set_profile_class(profileClass);
    call->set_with_contents(true);
    tlv::client::Answer answer;
    if (const CTerror error = tlv::client::runRequest(session, request, answer);
        error != CTerr_NoError) {
        return error;
    }
    if (answer.error != CTerr_NoError) {
        return answer.error;
    }
    s100::ProfileFile profile{name, profileClass, {}};
    if (const CTerror error = contentsOf(answer.result, name, profileClass, profile.contents);
        error != CTerr_NoError) {
        return error;
    }
    s100::FileError fileError;
    if (!s100::writeProfileFile(fileName, profile, s100::WriteMode::CreateNew, fileError)) {
        return fileError.code;
    }
    return CTerr_NoError;
}

}  // namespace

extern "C" {

CTstatus CTadm_ImportProfile(CTsession session, const char* file_name, const char* name,
                             const char* profile_class, CTevtinfo* record, void* /*reserved*/) {
    return finishCall(
        record, importProfile(session, file_name, argumentText(name), argumentText(profile_class)));
}

CTstatus CTadm_ExportProfile(CTsession session, const char* file_name, const char* name,
                             const char* profile_class, CTevtinfo* record, void* /*reserved*/) {
    return finishCall(
        record, exportProfile(session, file_name, argumentText(name), argumentText(profile_class)));
}

}  // extern "C"

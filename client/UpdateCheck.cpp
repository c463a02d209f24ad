#include "UpdateCheck.h"

#include <rapidjson/document.h>

#include <cmath>
#include <cstdlib>

#include "HttpFunction.h"
#include "Log.h"

const char kClientVersion[] = "4.0";

namespace {

// The check belongs to the main window, and its log lines say so.
const char kLogSource[] = "MainFrame";

void LogFailure(int line, const char* text) { LogWrite(LOG_ERROR, kLogSource, line, "%s", text); }

const rapidjson::Value* Member(const rapidjson::Value& object, const char* name) {
    const auto it = object.FindMember(name);
    return it != object.MemberEnd() ? &it->value : nullptr;
}

}  // namespace

bool ReadUpdateReply(const std::string& reply, UpdateOffer& offer) {
    rapidjson::Document document;
    // Iterative parsing: a reply nested thousands deep must not exhaust the stack.
    document.Parse<rapidjson::kParseIterativeFlag>(reply.c_str(), reply.size());
    if (document.HasParseError() || !document.IsObject()) {
        // "返回非json对象！" (the reply is no JSON object)
        LogFailure(__LINE__, "UPDATEGET_URL \xB7\xB5\xBB\xD8\xB7\xC7json\xB6\xD4\xCF\xF3\xA3\xA1");
        return false;
    }
    const rapidjson::Value* result = Member(document, "Result");
    if (result == nullptr || !result->IsNumber()) {
        LogFailure(__LINE__, "UPDATEGET_URL \xB7\xB5\xBB\xD8 \xC3\xBB\xD3\xD0Result\xA3\xA1");
        return false;
    }
    // Its integer value counts: 0.5 is 0.
    if (std::fabs(result->GetDouble()) >= 1.0) {
        LogFailure(__LINE__, "UPDATEGET_URL result_code !=0\xA3\xA1");
        return false;
    }
    const rapidjson::Value* data = Member(document, "Data");
    if (data == nullptr || !data->IsObject()) {
        LogFailure(__LINE__, "UPDATEGET_URL \xB7\xB5\xBB\xD8json \xC3\xBB\xD3\xD0"
                             "Data{}\xA3\xA1");
        return false;
    }
    const rapidjson::Value* version = Member(*data, "version_id");
    if (version == nullptr || !version->IsString()) {
        LogFailure(__LINE__, "UPDATEGET_URL \xB7\xB5\xBB\xD8json Data\xC3\xBB\xD3\xD0version_id\xA3\xA1");
        return false;
    }
    const rapidjson::Value* link = Member(*data, "downloadlink");
    if (link == nullptr || !link->IsString()) {
        LogFailure(__LINE__, "UPDATEGET_URL \xB7\xB5\xBB\xD8json \xC3\xBB\xD3\xD0"
                             "downloadlink\xA3\xA1");
        return false;
    }
    offer.version.assign(version->GetString(), version->GetStringLength());
    offer.link.assign(link->GetString(), link->GetStringLength());
    return true;
}

bool IsNewerVersion(const std::string& version) {
    return std::atof(version.c_str()) > std::atof(kClientVersion);
}

bool CheckForUpdate(UpdateOffer& offer) {
    std::string reply;
    if (!HttpPostUpdateRequest(reply)) {
        // "请求失败！" (the request failed)
        LogFailure(__LINE__, "UPDATEGET_URL \xC7\xEB\xC7\xF3\xCA\xA7\xB0\xDC\xA3\xA1");
        return false;
    }
    return ReadUpdateReply(reply, offer) && IsNewerVersion(offer.version);
}

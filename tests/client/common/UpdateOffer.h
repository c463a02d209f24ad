// What the update tests serve and read back: the update endpoint's offer of a newer
// version, and the command line that the stand-in installer recorded when it was started.
#pragma once

#include "../../engine/common/LoopbackServer.h"  // winsock2.h must come before windows.h

#include <windows.h>

#include <string>

#include "ProgramDriver.h"
#include "TestFiles.h"

namespace UpdateOffer {

const char kCheckUrl[] = "http://" TALLYHIVE_UPDATE_HOST "/UpdateVersion/index";

// The endpoint's answer offering version 4.01 with its package at packageUrl.
inline LoopbackServer::Reply Newer(const std::string& packageUrl) {
    LoopbackServer::Reply offer;
    offer.body = "{\"Result\":0,\"Data\":{\"version_id\":\"4.01\",\"downloadlink\":\"" + packageUrl + "\"}}";
    return offer;
}

// The installer's command line as it recorded it (UTF-16), empty until it has.
inline std::wstring RecordedCommandLine(const std::wstring& record) {
    const std::string bytes = TestFiles::ReadAll(record);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

// The folder of tallyhive.exe, with its trailing backslash.
inline std::wstring ProgramFolder() {
    wchar_t exe[MAX_PATH] = {};
    GetFullPathNameW(ProgramDriver::BesideSelf(TALLYHIVE_EXE_RELATIVE).c_str(), MAX_PATH, exe, nullptr);
    std::wstring folder(exe);
    folder.erase(folder.find_last_of(L'\\') + 1);
    return folder;
}

}  // namespace UpdateOffer

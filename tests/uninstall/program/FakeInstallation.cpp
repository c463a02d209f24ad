#include "FakeInstallation.h"

#include <fstream>

#include "ProgramDriver.h"

namespace {

const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::wstring ShellFolder(int id) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, id | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring UninstallExe() { return ProgramDriver::ProgramUnderTest(L"uninstall.exe", UNINSTALL_EXE_RELATIVE); }

bool Touch(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::wstring& path) {
    std::wstring from = path;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

bool CreateKey(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const wchar_t value[] = L"sentinel";
    RegSetValueExW(key, L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof(value));
    RegCloseKey(key);
    return true;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool Start(const std::wstring& exe, const std::wstring& args, const wchar_t* folder, PROCESS_INFORMATION& info) {
    std::wstring line = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder, &si, &info)) return false;
    CloseHandle(info.hThread);
    info.hThread = nullptr;
    return true;
}

bool Runs(const PROCESS_INFORMATION& info) {
    return info.hProcess != nullptr && WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

void End(PROCESS_INFORMATION& info) {
    if (info.hProcess == nullptr) return;
    if (Runs(info)) {
        TerminateProcess(info.hProcess, 99);
        WaitForSingleObject(info.hProcess, 30000);
    }
    CloseHandle(info.hProcess);
    info.hProcess = nullptr;
}

}  // namespace

std::string Narrow(const std::wstring& text, UINT codePage) {
    std::string out(text.size() * 3 + 1, '\0');
    const int n = WideCharToMultiByte(codePage, 0, text.c_str(), static_cast<int>(text.size()), &out[0],
                                      static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(n > 0 ? n : 0);
    return out;
}

FakeInstallation::FakeInstallation(const std::wstring& name) : name_(name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    base_ = std::wstring(temp) + name;
    installFolder = base_ + L"\\Pet Shop tally hive";
    dotEntries[0] = installFolder + L"\\.keep";
    dotEntries[1] = installFolder + L"\\.dotdir\\inside.txt";
    desktop_ = ShellFolder(CSIDL_DESKTOPDIRECTORY);
    programs_ = ShellFolder(CSIDL_COMMON_PROGRAMS);
    dataFolderSentinel_ = ShellFolder(CSIDL_LOCAL_APPDATA) + L"\\tallyhive\\" + name + L".txt";
    laid_ = Lay();
}

FakeInstallation::~FakeInstallation() {
    End(uninstaller_);
    End(clientHelper_);
    End(otherHelper_);
    RemoveTree(base_);
    for (const std::wstring& path : ProductPaths()) RemoveTree(path);
    for (const std::wstring& path : SentinelPaths()) RemoveTree(path);
    RemoveTree(programs_ + L"\\" + name_ + L"X");
    for (const std::wstring& key : {name_, name_ + L"X"}) {
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, (kUninstallKey + key).c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, (L"Software\\" + key).c_str());
    }
}

bool FakeInstallation::Lay() {
    bool ok = CreateDirectoryW(base_.c_str(), nullptr) && CreateDirectoryW(installFolder.c_str(), nullptr);
    for (const wchar_t* folder : {L"\\data", L"\\data\\img", L"\\.dotdir"}) {
        ok = CreateDirectoryW((installFolder + folder).c_str(), nullptr) && ok;
    }
    for (const wchar_t* file : {L"\\config.xml", L"\\data\\img\\logo.png", L"\\.keep", L"\\.dotdir\\inside.txt"}) {
        ok = Touch(installFolder + file) && ok;
    }
    ok = CopyFileW(UninstallExe().c_str(), (installFolder + L"\\uninstall.exe").c_str(), FALSE) && ok;
    ok = CreateDirectoryW((base_ + L"\\Pet Shop tally hive-old").c_str(), nullptr) && ok;
    ok = CreateDirectoryW((programs_ + L"\\" + name_).c_str(), nullptr) && ok;
    ok = CreateDirectoryW((programs_ + L"\\" + name_ + L"X").c_str(), nullptr) && ok;
    CreateDirectoryW((dataFolderSentinel_.substr(0, dataFolderSentinel_.find_last_of(L'\\'))).c_str(), nullptr);
    for (const std::wstring& path : ProductPaths()) {
        if (path != installFolder && path != programs_ + L"\\" + name_) ok = (Exists(path) || Touch(path)) && ok;
    }
    for (const std::wstring& path : SentinelPaths()) ok = (Exists(path) || Touch(path)) && ok;
    for (const std::wstring& key : {name_, name_ + L"X"}) {
        ok = CreateKey(HKEY_LOCAL_MACHINE, kUninstallKey + key) && ok;
        ok = CreateKey(HKEY_CURRENT_USER, L"Software\\" + key) && ok;
    }
    return ok && WriteRecord(Record());
}

std::vector<std::string> FakeInstallation::Record() const {
    return {"install_reg_name=" + Narrow(name_, CP_ACP), "install_path=" + Narrow(installFolder, CP_ACP),
            "uninstall_name=" + Narrow(name_, CP_ACP) + " Uninstall", "install_exe_name=tallyhive.exe"};
}

bool FakeInstallation::WriteRecord(const std::vector<std::string>& lines) const {
    std::ofstream out((installFolder + L"\\uninstall.dat").c_str(), std::ios::binary | std::ios::trunc);
    out << "[uninstall]\r\n";
    for (const std::string& line : lines) out << line << "\r\n";
    return out.good();
}

std::vector<std::wstring> FakeInstallation::ProductPaths() const {
    const std::wstring menuFolder = programs_ + L"\\" + name_;
    return {installFolder,
            desktop_ + L"\\" + name_ + L".lnk",
            menuFolder,
            menuFolder + L"\\" + name_ + L".lnk",
            menuFolder + L"\\readme.txt",
            programs_ + L"\\" + name_ + L" Uninstall.lnk"};
}

std::vector<std::wstring> FakeInstallation::SentinelPaths() const {
    return {base_ + L"\\Pet Shop tally hive-old\\keep.txt", desktop_ + L"\\" + name_ + L" Other.lnk",
            programs_ + L"\\" + name_ + L"X\\" + name_ + L".lnk", dataFolderSentinel_};
}

bool FakeInstallation::ProductKeysExist(bool& hklm, bool& hkcu) const {
    hklm = KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey + name_);
    hkcu = KeyExists(HKEY_CURRENT_USER, L"Software\\" + name_);
    return hklm || hkcu;
}

bool FakeInstallation::SentinelKeysExist() const {
    return KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey + name_ + L"X") &&
           KeyExists(HKEY_CURRENT_USER, L"Software\\" + name_ + L"X");
}

bool FakeInstallation::StartHelpers(const std::wstring& helperExe, const std::wstring& helperArgs) {
    const std::wstring client = installFolder + L"\\TallyHive.EXE";
    // The client's name in a folder beside the install folder, whose path begins with the
    // install folder's own: not the installed client, so it must keep running.
    const std::wstring other = base_ + L"\\Pet Shop tally hive-old\\tallyhive.exe";
    if (!CopyFileW(helperExe.c_str(), client.c_str(), FALSE) || !CopyFileW(helperExe.c_str(), other.c_str(), FALSE)) {
        return false;
    }
    return Start(client, helperArgs, nullptr, clientHelper_) && Start(other, helperArgs, nullptr, otherHelper_);
}

bool FakeInstallation::ClientHelperRuns() const { return Runs(clientHelper_); }
bool FakeInstallation::OtherHelperRuns() const { return Runs(otherHelper_); }

bool FakeInstallation::StartUninstaller() {
    End(uninstaller_);
    return Start(installFolder + L"\\uninstall.exe", L"", installFolder.c_str(), uninstaller_);
}

DWORD FakeInstallation::WaitUninstaller(DWORD timeoutMs) const {
    if (uninstaller_.hProcess == nullptr || WaitForSingleObject(uninstaller_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        return STILL_ACTIVE;
    }
    DWORD code = 0;
    GetExitCodeProcess(uninstaller_.hProcess, &code);
    return code;
}

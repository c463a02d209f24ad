// Stands in for the update installer: writes its whole command line (UTF-16) to the
// file named by TALLYHIVE_INSTALLER_RECORD and exits.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t record[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"TALLYHIVE_INSTALLER_RECORD", record, MAX_PATH) == 0) return 2;
    HANDLE file = CreateFileW(record, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    const wchar_t* line = GetCommandLineW();
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(lstrlenW(line) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return 0;
}

// Times start-up to the end of the first paint: a framed window built from a skin zip
// against a bare Win32 window, and against a bare window that first loads the DLLs this
// program imports and those the framework loads and starts at run time. Each sample is a fresh process, timed from
// CreateProcess until it signals that its first paint is done. Run by hand under Wine:
// bench_startup.exe [processes per kind]
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchSkin.h"
#include "BenchTiming.h"
#include "ImportedLibraries.h"
#include "StartupSignal.h"

namespace {

std::wstring ModuleFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring SkinPath() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"tallyhive-bench-skin.zip";
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return written == bytes.size();
}

std::string ReadFileBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// The child: the skin archive is read whole into memory, as the programs take it from
// their resources, and the frame is opened and painted once.
int RunFramed() {
    static const std::string archive = ReadFileBytes(SkinPath());
    BenchSkin::UseArchive(archive);
    BenchSkin::Frame frame;
    if (frame.Open() == nullptr) return 1;
    StartupSignal::Raise();
    return 0;
}

// Milliseconds from CreateProcess to the child's signal; negative when it fails.
double TimeChild(const std::wstring& commandLine, HANDLE painted) {
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ResetEvent(painted);
    const double start = Bench::NowMs();
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return -1;
    const bool signalled = WaitForSingleObject(painted, 60000) == WAIT_OBJECT_0;
    const double elapsed = Bench::NowMs() - start;
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return signalled ? elapsed : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && strcmp(argv[1], "--framed") == 0) return RunFramed();
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    if (!WriteFileBytes(SkinPath(), BenchSkin::MakeArchive())) return 1;
    HANDLE painted = StartupSignal::Create();
    const std::wstring folder = ModuleFolder();
    const std::wstring imports = Bench::JoinedLibraries(Bench::ImportedLibraries(folder + L"bench_startup.exe"));
    const std::wstring kinds[] = {L"\"" + folder + L"bench_startup.exe\" --framed",
                                  L"\"" + folder + L"bench_bare_window.exe\"",
                                  L"\"" + folder + L"bench_bare_window.exe\" --libraries" + imports};
    std::vector<double> samples[3];
    // One warm-up round, then rounds that start each kind in turn.
    for (int round = 0; round <= count; ++round) {
        for (int kind = 0; kind < 3; ++kind) {
            const double elapsed = TimeChild(kinds[kind], painted);
            if (elapsed < 0) {
                fprintf(stderr, "child %d failed to start or paint\n", kind);
                return 1;
            }
            if (round > 0) samples[kind].push_back(elapsed);
        }
    }
    Bench::Report("start to first paint", samples[0], "bare window", samples[1]);
    Bench::Report("start to first paint", samples[0], "bare + same libraries", samples[2]);
    CloseHandle(painted);
    DeleteFileW(SkinPath().c_str());
    return 0;
}

// The engine's process-level life in one process, in order: before start-up, between
// CefInitialize and CefShutdown, and afterwards. The tests depend on running in
// the order they are written, as the engine starts once per process.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "include/cef_app.h"
#include "include/cef_cookie.h"
#include "include/cef_task.h"
#include "tallyhive/engine_testing.h"

namespace {

std::wstring BaseFolder() {
    static const std::wstring base = [] {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"engine-runtime-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    }();
    return base;
}

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool IsFolder(const std::wstring& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

class RecordingApp : public CefApp {
public:
    void OnBeforeCommandLineProcessing(const CefString& type, CefRefPtr<CefCommandLine> line) override {
        ++calls;
        processType = type.ToString();
        line->AppendSwitchWithValue("test-switch", "on");
    }
    int calls = 0;
    std::string processType = "unset";
    IMPLEMENT_REFCOUNTING(RecordingApp);
};

struct Record {
    int source;
    int index;
    bool onUi;
    DWORD thread;
};

class Recorder {
public:
    void Add(const Record& r) {
        std::lock_guard<std::mutex> lock(mutex_);
        records_.push_back(r);
    }
    std::vector<Record> Take() {
        std::lock_guard<std::mutex> lock(mutex_);
        return records_;
    }

private:
    std::mutex mutex_;
    std::vector<Record> records_;
};

class RecordTask : public CefTask {
public:
    RecordTask(Recorder* recorder, int source, int index) : recorder_(recorder), source_(source), index_(index) {}
    void Execute() override { recorder_->Add({source_, index_, CefCurrentlyOn(TID_UI), GetCurrentThreadId()}); }

private:
    Recorder* recorder_;
    int source_, index_;
    IMPLEMENT_REFCOUNTING(RecordTask);
};

class SignalTask : public CefTask {
public:
    explicit SignalTask(HANDLE event) : event_(event) {}
    void Execute() override { SetEvent(event_); }

private:
    HANDLE event_;
    IMPLEMENT_REFCOUNTING(SignalTask);
};

class ThrowingTask : public CefTask {
public:
    void Execute() override { throw std::runtime_error("task failure"); }
    IMPLEMENT_REFCOUNTING(ThrowingTask);
};

// Posts a signal and waits until the UI thread has run everything queued before it.
void DrainUiThread() {
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(CefPostTask(TID_UI, new SignalTask(done)));
    WaitForSingleObject(done, INFINITE);
    CloseHandle(done);
}

class Completion : public CefCompletionCallback {
public:
    void OnComplete() override {
        onUi = CefCurrentlyOn(TID_UI);
        SetEvent(done);
    }
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool onUi = false;
    IMPLEMENT_REFCOUNTING(Completion);
};

CefRefPtr<RecordingApp> g_app = new RecordingApp();

TEST(EngineRuntime, BeforeStartUpThereIsNoUiThreadAndNoCookieManager) {
    Recorder recorder;
    EXPECT_FALSE(CefPostTask(TID_UI, new RecordTask(&recorder, 0, 0)));
    EXPECT_FALSE(CefCurrentlyOn(TID_UI));
    EXPECT_EQ(nullptr, CefCookieManager::GetGlobalManager(nullptr).get());
    EXPECT_EQ(-1, CefExecuteProcess(CefMainArgs(GetModuleHandleW(nullptr)), g_app.get(), nullptr));
    EXPECT_EQ(0, g_app->calls);
}

TEST(EngineRuntime, InitializeCreatesFoldersOpensTheLogAndAsksTheApp) {
    const std::wstring cache = BaseFolder() + L"cache\\";
    CreateDirectoryW(BaseFolder().c_str(), nullptr);
    CreateDirectoryW(cache.c_str(), nullptr);
    SetEnvironmentVariableW(L"TALLYHIVE_ENGINE_TRACE", (BaseFolder() + L"trace.txt").c_str());
    std::ofstream((cache + L"Cookies").c_str(), std::ios::binary)
        << "# Netscape HTTP Cookie File\n.example\tTRUE\t/\tFALSE\t0\tsid\tabc\n";

    CefSettings settings;
    settings.multi_threaded_message_loop = 1;
    settings.no_sandbox = 1;
    CefString(&settings.cache_path) = cache;
    CefString(&settings.user_data_path) = cache + L"userdata\\deeper\\";
    CefString(&settings.log_file) = BaseFolder() + L"cef.log";
    settings.log_severity = LOGSEVERITY_WARNING;
    ASSERT_TRUE(CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, g_app.get(), nullptr));

    EXPECT_EQ(1, g_app->calls);
    EXPECT_EQ("", g_app->processType);
    EXPECT_EQ("on", CefCommandLine::GetGlobalCommandLine()->GetSwitchValue("test-switch").ToString());
    EXPECT_TRUE(IsFolder(cache + L"userdata\\deeper"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((BaseFolder() + L"cef.log").c_str()));
    bool sawSettings = false, sawSwitch = false;
    for (const auto& r : engine_testing::TraceRecords()) {
        sawSettings |= r.find("initialize single_process=0 no_sandbox=1 multi_threaded_message_loop=1") == 0 &&
                       r.find(" log_severity=3") != std::string::npos;
        sawSwitch |= r.find("switches") == 0 && r.find(" --test-switch=on") != std::string::npos;
    }
    EXPECT_TRUE(sawSettings);
    EXPECT_TRUE(sawSwitch);
}

TEST(EngineRuntime, TasksRunOnTheUiThreadInTheOrderEachThreadPostedThem) {
    Recorder recorder;
    EXPECT_FALSE(CefCurrentlyOn(TID_UI));
    std::vector<std::thread> posters;
    for (int source = 0; source < 4; ++source) {
        posters.emplace_back([&recorder, source] {
            for (int i = 0; i < 200; ++i) CefPostTask(TID_UI, new RecordTask(&recorder, source, i));
        });
    }
    for (auto& t : posters) t.join();
    DrainUiThread();

    const std::vector<Record> records = recorder.Take();
    ASSERT_EQ(800u, records.size());
    int next[4] = {0, 0, 0, 0};
    for (const Record& r : records) {
        EXPECT_EQ(next[r.source]++, r.index);
        EXPECT_TRUE(r.onUi);
        EXPECT_NE(GetCurrentThreadId(), r.thread);
        EXPECT_EQ(records[0].thread, r.thread);
    }
}

TEST(EngineRuntime, ATaskPostedFromTheUiThreadRunsAfterTheOnesAlreadyQueued) {
    Recorder recorder;
    class Nested : public CefTask {
    public:
        explicit Nested(Recorder* r) : r_(r) {}
        void Execute() override {
            CefPostTask(TID_UI, new RecordTask(r_, 0, 2));
            r_->Add({0, 0, true, 0});
        }
        Recorder* r_;
        IMPLEMENT_REFCOUNTING(Nested);
    };
    // The UI thread waits until both are queued, so the nested post cannot overtake the second.
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    class Hold : public CefTask {
    public:
        explicit Hold(HANDLE e) : e_(e) {}
        void Execute() override { WaitForSingleObject(e_, INFINITE); }
        HANDLE e_;
        IMPLEMENT_REFCOUNTING(Hold);
    };
    CefPostTask(TID_UI, new Hold(release));
    CefPostTask(TID_UI, new Nested(&recorder));
    CefPostTask(TID_UI, new RecordTask(&recorder, 0, 1));
    SetEvent(release);
    DrainUiThread();
    CloseHandle(release);
    DrainUiThread();
    const std::vector<Record> records = recorder.Take();
    ASSERT_EQ(3u, records.size());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(i, records[i].index);
}

TEST(EngineRuntime, AThrowingTaskIsLoggedAndTheQueueGoesOn) {
    Recorder recorder;
    EXPECT_TRUE(CefPostTask(TID_UI, new ThrowingTask()));
    EXPECT_TRUE(CefPostTask(TID_UI, new RecordTask(&recorder, 0, 7)));
    DrainUiThread();
    ASSERT_EQ(1u, recorder.Take().size());
    const std::string log = ReadFile(BaseFolder() + L"cef.log");
    EXPECT_NE(std::string::npos, log.find(":ERROR] a task on an engine thread threw an exception\n")) << log;
    // Informational lines stay below the warning threshold.
    EXPECT_EQ(std::string::npos, log.find(":INFO]")) << log;
}

TEST(EngineRuntime, OnlyTheUiThreadTakesTasks) {
    Recorder recorder;
    EXPECT_FALSE(CefPostTask(TID_IO, new RecordTask(&recorder, 0, 0)));
    EXPECT_FALSE(CefPostTask(TID_UI, nullptr));
    EXPECT_FALSE(CefCurrentlyOn(TID_IO));
}

TEST(EngineRuntime, FlushStoreKeepsStoredCookiesAndCompletesOnTheUiThread) {
    CefRefPtr<CefCookieManager> manager = CefCookieManager::GetGlobalManager(nullptr);
    ASSERT_NE(nullptr, manager.get());
    CefRefPtr<Completion> completion = new Completion();
    EXPECT_TRUE(manager->FlushStore(completion.get()));
    WaitForSingleObject(completion->done, INFINITE);
    EXPECT_TRUE(completion->onUi);
    CloseHandle(completion->done);
    EXPECT_EQ("# Netscape HTTP Cookie File\n.example\tTRUE\t/\tFALSE\t0\tsid\tabc\n",
              ReadFile(BaseFolder() + L"cache\\Cookies"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((BaseFolder() + L"cache\\Cookies.tmp").c_str()));
}

TEST(EngineRuntime, ShutdownRunsQueuedTasksThenStopsTheUiThread) {
    Recorder recorder;
    for (int i = 0; i < 20; ++i) CefPostTask(TID_UI, new RecordTask(&recorder, 0, i));
    CefShutdown();
    EXPECT_EQ(20u, recorder.Take().size());
    EXPECT_FALSE(CefPostTask(TID_UI, new RecordTask(&recorder, 0, 99)));
    EXPECT_EQ(nullptr, CefCookieManager::GetGlobalManager(nullptr).get());
    EXPECT_EQ("shutdown", engine_testing::TraceRecords().back());
    CefSettings settings;
    EXPECT_FALSE(CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, g_app.get(), nullptr));
}

TEST(EngineRuntime, HighDpiSupportMarksTheProcessDpiAware) {
    CefEnableHighDPISupport();
    EXPECT_TRUE(IsProcessDPIAware());
}

}  // namespace

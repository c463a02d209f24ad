// Voice prompts played for real: MP3s made from sine tones at build time, served by a
// loopback server, decoded and played through waveOut into the slot's sound capture
// file, which must then hold exactly the PCM of the file.
#include "../../engine/common/LoopbackServer.h"  // winsock2.h must come before windows.h

#include <tlhelp32.h>
#include <winternl.h>

#include <gtest/gtest.h>
#include <mpg123.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "AppPaths.h"
#include "PlayMP3.h"
#include "StderrCapture.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A Unix path as Wine's drive Z: sees it.
std::string UnixToWindows(std::string path) {
    for (char& c : path) c = (c == '/') ? '\\' : c;
    return "Z:" + path;
}

std::string CaptureFile() { return UnixToWindows(getenv("TALLYHIVE_SOUND_CAPTURE")); }

std::string Fixture(const std::string& name) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe);
    folder.erase(folder.rfind('\\') + 1);
    return ReadFile(folder + TALLYHIVE_MP3_FIXTURES + "\\" + name + ".mp3");
}

struct Pcm {
    std::string bytes;
    long rate = 0;
    int channels = 0;
};

// The reference: the whole stream decoded in one go to signed 16-bit.
Pcm Decode(const std::string& mp3) {
    Pcm pcm;
    mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
    mpg123_format_none(decoder);
    mpg123_format2(decoder, 0, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    mpg123_open_feed(decoder);
    mpg123_feed(decoder, reinterpret_cast<const unsigned char*>(mp3.data()), mp3.size());
    unsigned char block[16384];
    for (int result = MPG123_OK; result == MPG123_OK || result == MPG123_NEW_FORMAT;) {
        size_t got = 0;
        result = mpg123_read(decoder, block, sizeof(block), &got);
        pcm.bytes.append(reinterpret_cast<char*>(block), got);
    }
    int encoding = 0;
    mpg123_getformat(decoder, &pcm.rate, &pcm.channels, &encoding);
    pcm.bytes.resize(pcm.bytes.size() - pcm.bytes.size() % static_cast<size_t>(2 * pcm.channels));
    mpg123_delete(decoder);
    return pcm;
}

// When our thread is late with the next buffer, Wine's mixer fills the gap with silent
// frames, so the played sound is compared without them.
std::string WithoutSilence(const std::string& pcm, int frameBytes) {
    std::string sound;
    const std::string silence(static_cast<size_t>(frameBytes), '\0');
    for (size_t at = 0; at + frameBytes <= pcm.size(); at += frameBytes) {
        if (pcm.compare(at, frameBytes, silence) != 0) sound.append(pcm, at, frameBytes);
    }
    return sound;
}

// The threads of this process that counted accepts (by id), or all of them.
int OwnThreadCount(const std::function<bool(DWORD)>& counted = nullptr) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId() && (!counted || counted(entry.th32ThreadID))) ++count;
    }
    CloseHandle(snapshot);
    return count;
}

// Threads the C runtime started: the prompts' and the loopback server's (one while no
// request is open); the sound system's threads start elsewhere.
int RuntimeThreads() {
    typedef LONG(WINAPI * QueryThread)(HANDLE, THREADINFOCLASS, PVOID, ULONG, PULONG);
    static const QueryThread query = reinterpret_cast<QueryThread>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread")));
    const HMODULE runtime = GetModuleHandleW(L"msvcrt.dll");
    return OwnThreadCount([runtime](DWORD id) {
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, id);
        void* start = nullptr;
        if (thread != nullptr) {
            query(thread, ThreadQuerySetWin32StartAddress, &start, sizeof(start), nullptr);
            CloseHandle(thread);
        }
        HMODULE module = nullptr;
        return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                  static_cast<LPCWSTR>(start), &module) &&
               module == runtime;
    });
}

// Wine counts no handles for GetProcessHandleCount, but gives each new handle the lowest
// free place, so handles left open show as a rising value of a new one.
uintptr_t LowestFreeHandle() {
    HANDLE probe = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(probe);
    return reinterpret_cast<uintptr_t>(probe);
}

// Polls until done() holds or the bound (a minute by default) has passed.
bool WaitFor(const std::function<bool()>& done, int seconds = 60) {
    for (int i = 0; i < seconds * 20; ++i) {
        if (done()) return true;
        Sleep(50);
    }
    return done();
}

// The prompt threads have ended once the process is back to its count of threads.
bool WaitForThreads(int baseline) {
    return WaitFor([baseline] { return OwnThreadCount() <= baseline; });
}

// The prompts a log dropped: one for each run's first line, and the count of the rest that
// the run's later lines give.
size_t DroppedIn(const std::string& log) {
    size_t dropped = 0;
    for (size_t at = log.find(" dropped: 16 prompts in flight"); at != std::string::npos;
         at = log.find(" dropped: 16 prompts in flight", at + 1)) {
        const size_t more = log.rfind(" more", at);
        const size_t start = log.rfind("PlayMP3::NewThreadPlayUrl ", at);
        dropped += more != std::string::npos && more + 5 == at && start != std::string::npos
                       ? std::stoul(log.substr(start + 26, more - start - 26))
                       : 1;
    }
    return dropped;
}

class PlayMp3Test : public ::testing::Test {
protected:
    void SetUp() override {
        static int run = 0;
        g_dataFolder = UnixToWindows(getenv("TALLYHIVE_TEST_TMP")) + "\\mp3-" + std::to_string(++run) + "\\";
        CreateDirectoryA(g_dataFolder.c_str(), nullptr);
        PlayMP3::Init();
        DeleteFileA(CaptureFile().c_str());
    }

    std::string CacheFolder() const { return g_dataFolder + "mp3filecache\\"; }

    std::vector<std::string> CacheFiles() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA entry;
        HANDLE listing = FindFirstFileA((CacheFolder() + "*").c_str(), &entry);
        for (BOOL more = listing != INVALID_HANDLE_VALUE; more; more = FindNextFileA(listing, &entry)) {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
        }
        if (listing != INVALID_HANDLE_VALUE) FindClose(listing);
        return names;
    }

    int Hits(const std::string& path) {
        int hits = 0;
        for (const std::string& line : server_.Requests()) hits += line.rfind("GET " + path + " ", 0) == 0;
        return hits;
    }

    std::string Serve(const std::string& path, const std::string& body, int status = 200) {
        LoopbackServer::Reply reply;
        reply.status = status;
        reply.body = body;
        server_.Serve(path, reply);
        return server_.Url(path);
    }

    // Plays url and expects exactly pcm in the capture (nothing played for empty pcm). The
    // device writes the capture out when it closes, so all of it is there once the play
    // has returned, or playback ended before its last buffers were done.
    void ExpectPlays(const std::string& url, const std::string& pcm, int frameBytes = 2) {
        DeleteFileA(CaptureFile().c_str());
        EXPECT_EQ(PlayMP3::PlayUrl(url), 0);
        const std::string captured = ReadFile(CaptureFile());
        EXPECT_TRUE(WithoutSilence(captured, frameBytes) == WithoutSilence(pcm, frameBytes))
            << url << ": captured " << captured.size() << " bytes, decoded " << pcm.size();
    }

    LoopbackServer server_;
};

TEST_F(PlayMp3Test, HashMatchesKnownValues) {
    EXPECT_EQ(HashString("abc"), 1134309195u);
    EXPECT_EQ(HashString(""), 2166136261u);
    EXPECT_EQ(PlayMP3::CacheFileName("abc"), CacheFolder() + "1134309195.mp3");
}

TEST_F(PlayMp3Test, EveryFormatPlaysItsExactPcmOnceDownloaded) {
    const struct {
        const char* name;
        long rate;
        int channels;
    } cases[] = {{"m22", 22050, 1}, {"s22", 22050, 2}, {"m44", 44100, 1},
                 {"s44", 44100, 2}, {"m48", 48000, 1}, {"s48", 48000, 2}};
    for (const auto& c : cases) {
        const std::string mp3 = Fixture(c.name);
        const Pcm pcm = Decode(mp3);
        ASSERT_EQ(pcm.rate, c.rate) << c.name;
        ASSERT_EQ(pcm.channels, c.channels) << c.name;
        // More than one ring buffer, and a partial one at the end.
        ASSERT_GT(pcm.bytes.size(), 65536u);
        ASSERT_NE(pcm.bytes.size() % 65536, 0u);
        const std::string path = std::string("/audio/") + c.name + ".mp3";
        const std::string url = Serve(path, mp3);
        ExpectPlays(url, pcm.bytes, 2 * c.channels);
        // The second play comes from the cache, even after the server's file changed.
        Serve(path, "changed");
        ExpectPlays(url, pcm.bytes, 2 * c.channels);
        EXPECT_EQ(Hits(path), 1) << c.name;
    }
}

TEST_F(PlayMp3Test, FailedOrRefusedFetchesLeaveNothingAndPlayNothing) {
    EXPECT_EQ(PlayMP3::PlayUrl(""), -1);
    ExpectPlays(Serve("/missing.mp3", "gone", 404), "");
    ExpectPlays(Serve("/text.mp3", "this is a web page, not a voice prompt"), "");
    const std::string local = CacheFolder() + "local.mp3";
    std::ofstream(local, std::ios::binary) << Fixture("m22");
    std::string fileUrl = "file:///" + local;
    for (char& c : fileUrl) c = (c == '\\') ? '/' : c;
    ExpectPlays(fileUrl, "");
    DeleteFileA(local.c_str());
    EXPECT_EQ(Hits("/missing.mp3"), 1);
    EXPECT_EQ(CacheFiles().size(), 1u) << "only the page that is not an MP3 stays cached";
    EXPECT_EQ(server_.Requests().size(), 2u);
}

TEST_F(PlayMp3Test, TruncatedMp3PlaysWhatItHolds) {
    const std::string mp3 = Fixture("s44");
    const std::string half = mp3.substr(0, mp3.size() / 2 + 77);
    const std::string pcm = Decode(half).bytes;
    ASSERT_GT(pcm.size(), 0u);
    ExpectPlays(Serve("/half.mp3", half), pcm, 4);
}

// Handles come and go with threads: the prompts', and the sound system's, which starts a
// thread while a device is open and ends it when it chooses, and after a playback makes an
// event that it keeps. With the earlier prompts ended, a device of the test's own open and
// one failed open made first, nothing else takes or frees a handle during the checked open.
TEST_F(PlayMp3Test, OutputThatCannotOpenSaysWhyAndHoldsNothing) {
    ASSERT_TRUE(WaitFor([] { return RuntimeThreads() == 1; })) << "earlier prompts still play";
    WaveOutput held = {nullptr, 22050, 1, MPG123_ENC_SIGNED_16};
    ASSERT_EQ(PlayMP3::OpenWaveOut(&held), 0);
    WaveOutput output = {nullptr, 0, 0, 0};
    StderrCapture capture(g_dataFolder + "stderr.txt");
    EXPECT_EQ(PlayMP3::OpenWaveOut(&output), -1);
    const uintptr_t freeHandle = LowestFreeHandle();
    EXPECT_EQ(PlayMP3::OpenWaveOut(&output), -1);
    EXPECT_EQ(LowestFreeHandle(), freeHandle);
    PlayMP3::CloseWaveOut(&held);
    EXPECT_EQ(output.device, nullptr);
    EXPECT_EQ(PlayMP3::WritePcm(&output, reinterpret_cast<const unsigned char*>("pcm"), 3), -1);
    EXPECT_EQ(PlayMP3::CloseWaveOut(&output), -1);
    const std::string text = capture.Take();
    EXPECT_EQ(text.rfind("\n[PlayMP3:", 0), 0u) << text;
    EXPECT_NE(text.find("] ereturn: Unable to open wave output device.\n"), std::string::npos) << text;
}

TEST_F(PlayMp3Test, StartEmptiesCacheFilesButKeepsSubFolders) {
    std::ofstream(CacheFolder() + "1.mp3") << "old";
    CreateDirectoryA((CacheFolder() + "keep").c_str(), nullptr);
    std::ofstream(CacheFolder() + "keep\\inner.mp3") << "inner";
    PlayMP3::Init();
    EXPECT_TRUE(CacheFiles().empty());
    EXPECT_EQ(ReadFile(CacheFolder() + "keep\\inner.mp3"), "inner");
}

TEST_F(PlayMp3Test, UrlsOfOneHashEachPlayTheirOwnSound) {
    // Only about ten bytes of a long URL count: pad until the two names fall between them.
    std::string first, second;
    for (std::string pad = "/audio/"; HashString(first) != HashString(second) || first.empty(); pad += "x") {
        first = server_.Url(pad + "/1.mp3");
        second = server_.Url(pad + "/2.mp3");
    }
    const std::string firstPath = first.substr(first.find('/', 7)), secondPath = second.substr(second.find('/', 7));
    const std::string low = Fixture("m44"), high = Fixture("high");
    Serve(firstPath, low);
    Serve(secondPath, high);
    ExpectPlays(first, Decode(low).bytes);
    ExpectPlays(second, Decode(high).bytes);
    ExpectPlays(first, Decode(low).bytes);
    ExpectPlays(second, Decode(high).bytes);
    EXPECT_EQ(Hits(firstPath), 1);
    EXPECT_EQ(Hits(secondPath), 1);
    EXPECT_EQ(CacheFiles().size(), 2u);
}

TEST_F(PlayMp3Test, SimultaneousFirstPlaysLeaveOneCompleteCacheFile) {
    const std::string mp3 = Fixture("s48");
    const std::string url = Serve("/both.mp3", mp3);
    const int baseline = OwnThreadCount();
    PlayMP3::NewThreadPlayUrl(url);
    PlayMP3::NewThreadPlayUrl(url);
    ASSERT_TRUE(WaitForThreads(baseline));
    ASSERT_EQ(CacheFiles(), std::vector<std::string>{std::to_string(HashString(url)) + ".mp3"});
    EXPECT_TRUE(ReadFile(PlayMP3::CacheFileName(url)) == mp3);
}

TEST_F(PlayMp3Test, FiftyPlaysLeakNoThreadsOrHandles) {
    const std::string url = Serve("/short.mp3", Fixture("short"));
    // The first play brings up the sound system, which keeps threads and handles of its own.
    PlayMP3::PlayUrl(url);
    const int warmThreads = OwnThreadCount();
    const uintptr_t freeHandle = LowestFreeHandle();
    for (int i = 0; i < 50; ++i) {
        PlayMP3::NewThreadPlayUrl(url);
        ASSERT_TRUE(WaitForThreads(warmThreads)) << "play " << i;
    }
    // A handle left behind by each play would push the lowest free one up by 50 places and
    // keep it there. The sound system's own threads come and go, holding handles, on their
    // own schedule: on a loaded machine some still run when the prompt threads are done.
    EXPECT_TRUE(WaitFor([freeHandle] { return LowestFreeHandle() < freeHandle + 10 * 4; }))
        << LowestFreeHandle() << " against " << freeHandle;
    EXPECT_EQ(Hits("/short.mp3"), 1);
}

// Fifty prompts asked for at once: sixteen are taken (fewer while a prompt of an earlier
// test still plays), the rest dropped with a log line each, and no more than four fetch
// at a time while the server holds its answers.
TEST_F(PlayMp3Test, PromptsAskedForAtOnceAreBoundedAndFetchFourAtATime) {
    LoopbackServer::Reply reply;
    reply.body = "not an mp3";
    reply.held = true;
    std::vector<std::string> urls;
    for (int i = 0; i < 50; ++i) {
        const std::string path = "/burst" + std::to_string(i) + ".mp3";
        server_.Serve(path, reply);
        urls.push_back(server_.Url(path));
    }
    const int baseline = OwnThreadCount();
    StderrCapture capture(g_dataFolder + "burst.txt");
    for (const std::string& url : urls) PlayMP3::NewThreadPlayUrl(url);
    bool four = false;
    for (int i = 0; i < 1200 && !four; ++i) {
        four = server_.Requests().size() >= 4;
        if (!four) Sleep(50);
    }
    const size_t fetchingAtOnce = server_.Requests().size();
    server_.Release();
    ASSERT_TRUE(WaitForThreads(baseline));
    // Taken again (an empty address fetches nothing): the run of drops writes its count.
    PlayMP3::NewThreadPlayUrl("");
    ASSERT_TRUE(WaitForThreads(baseline));
    const std::string log = capture.Take();
    EXPECT_EQ(4u, fetchingAtOnce);
    EXPECT_LE(server_.Requests().size(), 16u);
    EXPECT_EQ(50u, server_.Requests().size() + DroppedIn(log)) << log;
}

// A page calling PlayMp3 2,000 times with a long address that fails: the drops leave a
// few lines that count them all, and no line carries the whole address.
TEST_F(PlayMp3Test, ALoopOfPromptsLeavesAFewShortLinesThatCountTheDrops) {
    LoopbackServer::Reply reply;
    reply.status = 404;
    reply.held = true;
    const std::string path = "/" + std::string(5000, 'p') + ".mp3";
    server_.Serve(path, reply);
    const std::string url = server_.Url(path);
    const int baseline = OwnThreadCount();
    StderrCapture capture(g_dataFolder + "loop.txt");
    for (int i = 0; i < 2000; ++i) PlayMP3::NewThreadPlayUrl(url);
    server_.Release();
    ASSERT_TRUE(WaitForThreads(baseline));
    PlayMP3::NewThreadPlayUrl("");
    ASSERT_TRUE(WaitForThreads(baseline));
    const std::string log = capture.Take();
    size_t dropLines = 0, started = 0;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LT(line.size(), 300u) << line.substr(0, 300);
        dropLines += line.find(" dropped: 16 prompts in flight") != std::string::npos;
        started += line.find("INFO   PlayMP3::NewThreadPlayUrl ") != std::string::npos;
    }
    EXPECT_LE(dropLines, 3u) << log.substr(0, 2000);
    EXPECT_EQ(2001u, started + DroppedIn(log)) << log.substr(0, 2000);
}

}  // namespace

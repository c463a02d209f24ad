// Fetching, caching and decoding of voice prompts; the output ring is in
// PlayMP3WaveOut.cpp.
// curl (through HttpFunction.h) brings winsock2.h, which must come before windows.h.
#include "HttpFunction.h"
#include "PlayMP3.h"

#include <mpg123.h>
#include <process.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "AppPaths.h"
#include "Log.h"
#include "TextConvert.h"

namespace {

// Written by Init before any prompt thread starts; ends in a backslash.
std::string g_cachePath;

// The URLs cached in this run, per hash in the order they were fetched. Hashes of long
// URLs collide easily, so the first URL of a hash gets the file "%u.mp3" and each later
// one a file of its own, "%u-2.mp3" and so on: a cache file is only ever played for the
// URL that filled it. The record lives exactly as long as the files, which Init deletes.
std::mutex g_cacheLock;
std::map<unsigned int, std::vector<std::string>> g_cachedUrls;

std::string CacheFileOf(unsigned int hash, size_t index) {
    char name[48];
    if (index == 0) {
        snprintf(name, sizeof(name), "%u.mp3", hash);
    } else {
        snprintf(name, sizeof(name), "%u-%u.mp3", hash, static_cast<unsigned int>(index + 1));
    }
    return g_cachePath + name;
}

// The cache file that url filled, or an empty string.
std::string CachedFileFor(const std::string& url) {
    std::lock_guard<std::mutex> lock(g_cacheLock);
    const unsigned int hash = HashString(url);
    const auto urls = g_cachedUrls.find(hash);
    for (size_t i = 0; urls != g_cachedUrls.end() && i < urls->second.size(); ++i) {
        if (urls->second[i] == url) return CacheFileOf(hash, i);
    }
    return std::string();
}

// Moves a complete download into the cache; false when another thread cached the same
// URL first, or the file name is taken by a file this run did not fetch.
bool AdoptIntoCache(const std::string& url, const std::string& download, std::string* cacheFile) {
    std::lock_guard<std::mutex> lock(g_cacheLock);
    const unsigned int hash = HashString(url);
    std::vector<std::string>& urls = g_cachedUrls[hash];
    for (const std::string& cached : urls) {
        if (cached == url) return false;
    }
    *cacheFile = CacheFileOf(hash, urls.size());
    if (!MoveFileA(download.c_str(), cacheFile->c_str())) return false;
    urls.push_back(url);
    return true;
}

// A page may call PlayMp3 in a loop: prompts in flight (each a thread and, while it
// plays, a sound device) and downloads at once are bounded. A prompt over the first
// bound is dropped at once; a download over the second waits for one to end.
const int kMostPrompts = 16;
const int kMostDownloads = 4;
std::atomic<int> g_prompts{0};

// A page that calls PlayMp3 in a loop while the prompts are taken would write a line per
// call. A run of drops writes one line with the address at its first drop and one with
// the count of the rest when prompts are taken again; a run that goes on writes its count
// every kDropsPerLine drops, so that even an endless one leaves a line per thousand.
const int kDropsPerLine = 1000;
std::mutex g_dropLock;
bool g_dropping = false;
int g_uncounted = 0;

void LogUncountedDrops() {
    LogWrite(LOG_WARN, __FILE__, __LINE__, "PlayMP3::NewThreadPlayUrl %d more dropped: %d prompts in flight ",
             g_uncounted, kMostPrompts);
    g_uncounted = 0;
}

void NoteDropped(const std::string& url) {
    std::lock_guard<std::mutex> lock(g_dropLock);
    if (!g_dropping) {
        g_dropping = true;
        LogWrite(LOG_WARN, __FILE__, __LINE__, "PlayMP3::NewThreadPlayUrl %s dropped: %d prompts in flight ",
                 PageTextForLog(url).c_str(), kMostPrompts);
    } else if (++g_uncounted == kDropsPerLine) {
        LogUncountedDrops();
    }
}

void NoteTaken() {
    std::lock_guard<std::mutex> lock(g_dropLock);
    if (g_dropping && g_uncounted > 0) LogUncountedDrops();
    g_dropping = false;
}

class DownloadSlot {
public:
    DownloadSlot() {
        std::unique_lock<std::mutex> lock(mutex_);
        freed_.wait(lock, [] { return taken_ < kMostDownloads; });
        ++taken_;
    }
    ~DownloadSlot() {
        std::lock_guard<std::mutex> lock(mutex_);
        --taken_;
        freed_.notify_one();
    }
    DownloadSlot(const DownloadSlot&) = delete;
    DownloadSlot& operator=(const DownloadSlot&) = delete;

private:
    static std::mutex mutex_;
    static std::condition_variable freed_;
    static int taken_;
};
std::mutex DownloadSlot::mutex_;
std::condition_variable DownloadSlot::freed_;
int DownloadSlot::taken_ = 0;

bool Download(const std::string& url, const std::string& file) {
    DownloadSlot slot;
    return HttpDownloadFile(url, file);
}

struct DecoderDeleter {
    void operator()(mpg123_handle* decoder) const {
        mpg123_close(decoder);
        mpg123_delete(decoder);
    }
};
using Decoder = std::unique_ptr<mpg123_handle, DecoderDeleter>;

// libmpg123 takes file names as UTF-8 on Windows; ours are in the system code page.
std::string AnsiToUtf8(const std::string& text) {
    const std::wstring wide = AnsiToWide(text);
    const int len = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(len > 0 ? len : 0), '\0');
    if (len > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], len, nullptr, nullptr);
    return utf8;
}

// A download of the thread's own, so that neither a broken transfer nor a second
// thread fetching the same URL can leave a file that passes for cached.
std::string DownloadFileName(const std::string& url) {
    char name[64];
    snprintf(name, sizeof(name), "%u.%lu.part", HashString(url), GetCurrentThreadId());
    return g_cachePath + name;
}

// Only signed 16-bit output from the first frame on, at the stream's own rate and
// channels: that is what the device is opened for.
void AllowSigned16Only(mpg123_handle* decoder) {
    mpg123_format_none(decoder);
    mpg123_format2(decoder, 0, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
}

void PlayDecoded(mpg123_handle* decoder, WaveOutput* output) {
    const int frameBytes = output->channels * 2;
    std::vector<unsigned char> block(mpg123_outblock(decoder));
    for (;;) {
        size_t got = 0;
        const int result = mpg123_read(decoder, block.data(), block.size(), &got);
        got -= got % static_cast<size_t>(frameBytes);
        const long written = PlayMP3::WritePcm(output, block.data(), static_cast<int>(got));
        if (written != static_cast<long>(got)) {
            fprintf(stderr, "Warning: written less than gotten from libmpg123: %li != %li\n", written,
                    static_cast<long>(got));
        }
        if (result != MPG123_OK || got == 0) break;
    }
    PlayMP3::CloseWaveOut(output);
}

}  // namespace

unsigned int HashString(const std::string& text) {
    unsigned int hash = 0x811C9DC5u;
    const size_t step = text.size() / 10 + 1;
    for (size_t i = 0; i < text.size(); i += step) {
        hash = (hash * 0x01000193u) ^ static_cast<unsigned int>(static_cast<int>(static_cast<signed char>(text[i])));
    }
    return hash;
}

void PlayMP3::Init() {
    g_cachePath = g_dataFolder + "mp3filecache\\";
    {
        std::lock_guard<std::mutex> lock(g_cacheLock);
        g_cachedUrls.clear();
    }
    const DWORD attributes = GetFileAttributesA(g_cachePath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ClearCache();
    } else {
        CreateDirectoryA(g_cachePath.c_str(), nullptr);
    }
    const int result = mpg123_init();
    if (result != MPG123_OK) fprintf(stderr, "mpg123_init wrong: %s", mpg123_plain_strerror(result));
}

void PlayMP3::ClearCache() {
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA((g_cachePath + "*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) {
        printf("ERROR");
        return;
    }
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((g_cachePath + entry.cFileName).c_str());
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
}

std::string PlayMP3::CacheFileName(const std::string& url) { return CacheFileOf(HashString(url), 0); }

int PlayMP3::NewThreadPlayUrl(std::string url) {
    if (g_prompts.fetch_add(1) >= kMostPrompts) {
        --g_prompts;
        NoteDropped(url);
        return 0;
    }
    NoteTaken();
    char* copy = new (std::nothrow) char[url.size() + 2];
    if (copy == nullptr) {
        --g_prompts;
        return 0;
    }
    memcpy(copy, url.c_str(), url.size() + 1);
    LogWrite(LOG_INFO, __FILE__, __LINE__, "PlayMP3::NewThreadPlayUrl %s ", PageTextForLog(url).c_str());
    const uintptr_t thread = _beginthreadex(nullptr, 0, PlayThread, copy, 0, nullptr);
    if (thread == 0) {
        delete[] copy;
        --g_prompts;
        return 0;
    }
    CloseHandle(reinterpret_cast<HANDLE>(thread));
    return 0;
}

unsigned __stdcall PlayMP3::PlayThread(void* url) {
    char* copy = static_cast<char*>(url);
    const std::string text(copy);
    delete[] copy;
    PlayUrl(text);
    --g_prompts;
    return 0;
}

int PlayMP3::PlayUrl(const std::string& url) {
    if (url.empty()) return -1;
    std::string cacheFile = CachedFileFor(url);
    if (!cacheFile.empty()) {
        PlayFile(cacheFile);
        return 0;
    }
    const std::string download = DownloadFileName(url);
    if (!Download(url, download)) return 0;
    if (AdoptIntoCache(url, download, &cacheFile)) {
        PlayFile(cacheFile);
    } else {
        PlayFile(download);
        DeleteFileA(download.c_str());
    }
    return 0;
}

int PlayMP3::PlayFile(const std::string& path) {
    int error = MPG123_OK;
    Decoder decoder(mpg123_new(nullptr, &error));
    if (!decoder) {
        fprintf(stderr, "mpg123_init wrong: %s", mpg123_plain_strerror(error));
        return -1;
    }
    AllowSigned16Only(decoder.get());
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_open(decoder.get(), AnsiToUtf8(path).c_str()) != MPG123_OK ||
        mpg123_getformat(decoder.get(), &rate, &channels, &encoding) != MPG123_OK) {
        fprintf(stderr, "mpg123_open mpg123_getformat: %s\n", mpg123_strerror(decoder.get()));
        return 0;
    }
    // The format may not change in the middle of the stream: the device cannot follow.
    mpg123_format_none(decoder.get());
    mpg123_format(decoder.get(), rate, channels, encoding);

    WaveOutput output = {nullptr, static_cast<int>(rate), channels, encoding};
    if (OpenWaveOut(&output) != 0) {
        fputs("open_win32 false\n", stderr);
        return 0;
    }
    PlayDecoded(decoder.get(), &output);
    return 0;
}

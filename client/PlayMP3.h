// Voice prompts that the page asks for by URL: each is fetched once per run into a cache
// folder of the data folder, decoded with libmpg123 and played through waveOut, on a
// thread of its own, so prompts never wait for each other.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <string>

// The output device of one playback and its ring of buffers. A buffer whose header has
// WHDR_PREPARED set is with the device; the device adds WHDR_DONE when it has played it.
struct WaveDeviceState {
    static const int kBufferCount = 8;
    static const DWORD kBufferBytes = 65536;

    WAVEHDR buffers[kBufferCount];
    int current;  // the buffer being filled
    HANDLE event;  // auto-reset, signalled by the device for each finished buffer
    HWAVEOUT device;
};

// One playback: the open device (null when closed) and the stream's format.
struct WaveOutput {
    WaveDeviceState* device;
    int rate;
    int channels;
    int encoding;
};

// The cache hash of a URL: FNV-1 over every (length / 10 + 1)-th byte.
unsigned int HashString(const std::string& text);

class PlayMP3 {
public:
    // Once at start-up, before any playback: the cache folder (emptied, or created) and
    // the decoder library.
    static void Init();
    // Deletes every file in the cache folder; sub-folders stay.
    static void ClearCache();
    // Plays url on a detached thread of its own; returns 0 at once. With 16 prompts in
    // flight the call is dropped: a run of drops writes a WARN line at its first and its
    // count when prompts are taken again.
    static int NewThreadPlayUrl(std::string url);
    // Fetches url unless cached (at most 4 downloads at once; more wait), then plays it;
    // -1 for an empty URL, else 0.
    static int PlayUrl(const std::string& url);
    // Decodes and plays one file to its end; -1 when no decoder can be made, else 0.
    static int PlayFile(const std::string& path);
    // The cache file of url, and of the first URL of its hash: cache folder + "%u.mp3".
    static std::string CacheFileName(const std::string& url);

    static int OpenWaveOut(WaveOutput* output);
    // Queues length bytes of PCM, handing each filled buffer to the device; returns
    // length, or -1 when the device refused a buffer.
    static int WritePcm(WaveOutput* output, const unsigned char* bytes, int length);
    static void SubmitBuffer(WaveDeviceState* state);
    static void WaitBuffer(WaveDeviceState* state, WAVEHDR* buffer);
    static void Flush(WaveDeviceState* state);
    // Plays what is queued to its end, then releases the device and its buffers.
    static int CloseWaveOut(WaveOutput* output);

private:
    static unsigned __stdcall PlayThread(void* url);
};

// The waveOut ring of a playback: eight 64 KiB buffers handed to the device in turn, so
// at most half a megabyte of PCM waits in it while the decoder fills the next one.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "PlayMP3.h"
#include "SystemFunction.h"

namespace {

// The sound device's functions, from the multimedia DLL loaded with the first prompt:
// nothing before it needs the DLL, whose start the main window's first frame would wait for.
struct WaveOutFunctions {
    decltype(&::waveOutOpen) open;
    decltype(&::waveOutPrepareHeader) prepare;
    decltype(&::waveOutWrite) write;
    decltype(&::waveOutUnprepareHeader) unprepare;
    decltype(&::waveOutClose) close;
};

const WaveOutFunctions& WaveOut() {
    using HiveUI::LoadSystemFunction;
    static const WaveOutFunctions functions = {
        LoadSystemFunction<decltype(&::waveOutOpen)>(L"winmm.dll", "waveOutOpen"),
        LoadSystemFunction<decltype(&::waveOutPrepareHeader)>(L"winmm.dll", "waveOutPrepareHeader"),
        LoadSystemFunction<decltype(&::waveOutWrite)>(L"winmm.dll", "waveOutWrite"),
        LoadSystemFunction<decltype(&::waveOutUnprepareHeader)>(L"winmm.dll", "waveOutUnprepareHeader"),
        LoadSystemFunction<decltype(&::waveOutClose)>(L"winmm.dll", "waveOutClose"),
    };
    return functions;
}

void ReportError(int line, const char* text) { fprintf(stderr, "\n[PlayMP3:%d] ereturn: %s\n", line, text); }

const char* OpenErrorText(MMRESULT result) {
    switch (result) {
    case MMSYSERR_ALLOCATED: return "Audio output device is already allocated.";
    case MMSYSERR_NODRIVER: return "No device driver is present.";
    case MMSYSERR_NOMEM: return "Unable to allocate or lock memory.";
    case WAVERR_BADFORMAT: return "Unsupported waveform-audio format.";
    default: return "Unable to open wave output device.";
    }
}

// The device writes the flags from its own thread.
DWORD Flags(const WAVEHDR& buffer) { return static_cast<const volatile DWORD&>(buffer.dwFlags); }

// Undoes the first `prepared` buffers, then the device, then the event: the device
// signals the event while it closes, so the event must outlive it.
void ReleaseDeviceState(WaveDeviceState* state, int prepared) {
    for (int i = 0; i < prepared; ++i) {
        WAVEHDR& buffer = state->buffers[i];
        buffer.dwBufferLength = WaveDeviceState::kBufferBytes;
        buffer.dwFlags = WHDR_PREPARED;
        WaveOut().unprepare(state->device, &buffer, sizeof(buffer));
        free(buffer.lpData);
    }
    if (state->device != nullptr) WaveOut().close(state->device);
    if (state->event != nullptr) CloseHandle(state->event);
    free(state);
}

// A buffer the device refused is dropped and free again: waiting for it would never end.
bool HandToDevice(WaveDeviceState* state) {
    WAVEHDR& buffer = state->buffers[state->current];
    buffer.dwFlags |= WHDR_PREPARED;
    const bool taken = WaveOut().write(state->device, &buffer, sizeof(buffer)) == MMSYSERR_NOERROR;
    if (!taken) {
        buffer.dwFlags = 0;
        buffer.dwBufferLength = 0;
    }
    state->current = (state->current + 1) % WaveDeviceState::kBufferCount;
    return taken;
}

// The buffers start free: prepared with the device, but with their flags cleared.
bool PrepareBuffers(WaveDeviceState* state, int* prepared) {
    for (*prepared = 0; *prepared < WaveDeviceState::kBufferCount; ++*prepared) {
        WAVEHDR& buffer = state->buffers[*prepared];
        buffer.lpData = static_cast<LPSTR>(malloc(WaveDeviceState::kBufferBytes));
        if (buffer.lpData == nullptr) {
            ReportError(__LINE__, "Out of memory for playback buffers.");
            return false;
        }
        buffer.dwBufferLength = WaveDeviceState::kBufferBytes;
        buffer.dwFlags = 0;
        if (WaveOut().prepare(state->device, &buffer, sizeof(buffer)) != MMSYSERR_NOERROR) {
            ReportError(__LINE__, "Can't write to audio output device (prepare).");
            free(buffer.lpData);
            return false;
        }
        buffer.dwBufferLength = 0;
        buffer.dwFlags = 0;
    }
    return true;
}

}  // namespace

int PlayMP3::OpenWaveOut(WaveOutput* output) {
    WaveDeviceState* state = static_cast<WaveDeviceState*>(calloc(1, sizeof(WaveDeviceState)));
    if (state == nullptr) return -1;
    state->event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (state->event == nullptr) {
        ReleaseDeviceState(state, 0);
        return -1;
    }

    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(output->channels);
    format.nSamplesPerSec = static_cast<DWORD>(output->rate);
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(output->channels * 2);
    format.nAvgBytesPerSec = static_cast<DWORD>(output->channels * 2 * output->rate);
    const WaveOutFunctions& waveOut = WaveOut();
    const bool loaded = waveOut.open != nullptr && waveOut.prepare != nullptr && waveOut.write != nullptr &&
                        waveOut.unprepare != nullptr && waveOut.close != nullptr;
    const MMRESULT result = loaded ? waveOut.open(&state->device, WAVE_MAPPER, &format,
                                                  reinterpret_cast<DWORD_PTR>(state->event), 0, CALLBACK_EVENT)
                                   : MMSYSERR_NODRIVER;
    if (result != MMSYSERR_NOERROR) {
        ReportError(__LINE__, OpenErrorText(result));
        state->device = nullptr;
        ReleaseDeviceState(state, 0);
        return -1;
    }

    // The device has signalled its opening.
    ResetEvent(state->event);
    int prepared = 0;
    if (!PrepareBuffers(state, &prepared)) {
        ReleaseDeviceState(state, prepared);
        return -1;
    }
    output->device = state;
    return 0;
}

// A buffer still being filled keeps its content: only one back from the device starts
// empty again.
void PlayMP3::WaitBuffer(WaveDeviceState* state, WAVEHDR* buffer) {
    if (!(Flags(*buffer) & WHDR_PREPARED)) return;
    while (!(Flags(*buffer) & WHDR_DONE)) WaitForSingleObject(state->event, INFINITE);
    buffer->dwFlags = 0;
    buffer->dwBufferLength = 0;
}

int PlayMP3::WritePcm(WaveOutput* output, const unsigned char* bytes, int length) {
    if (output == nullptr || output->device == nullptr) return -1;
    if (bytes == nullptr || length <= 0) return 0;
    WaveDeviceState* state = output->device;
    for (int taken = 0; taken < length;) {
        WAVEHDR& buffer = state->buffers[state->current];
        WaitBuffer(state, &buffer);
        const DWORD room = WaveDeviceState::kBufferBytes - buffer.dwBufferLength;
        const DWORD part = static_cast<DWORD>(length - taken) < room ? static_cast<DWORD>(length - taken) : room;
        memcpy(buffer.lpData + buffer.dwBufferLength, bytes + taken, part);
        buffer.dwBufferLength += part;
        taken += static_cast<int>(part);
        if (buffer.dwBufferLength == WaveDeviceState::kBufferBytes && !HandToDevice(state)) {
            ReportError(__LINE__, "Can't write to audio output device.");
            return -1;
        }
    }
    return length;
}

void PlayMP3::SubmitBuffer(WaveDeviceState* state) {
    const WAVEHDR& buffer = state->buffers[state->current];
    if (!(buffer.dwFlags & WHDR_PREPARED) && buffer.dwBufferLength > 0) HandToDevice(state);
}

void PlayMP3::Flush(WaveDeviceState* state) {
    SubmitBuffer(state);
    for (int i = 0; i < WaveDeviceState::kBufferCount; ++i) {
        WaitBuffer(state, &state->buffers[(state->current + i) % WaveDeviceState::kBufferCount]);
    }
}

int PlayMP3::CloseWaveOut(WaveOutput* output) {
    if (output == nullptr || output->device == nullptr) return -1;
    Flush(output->device);
    ReleaseDeviceState(output->device, WaveDeviceState::kBufferCount);
    output->device = nullptr;
    return 0;
}

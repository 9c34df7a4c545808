// Windows audio backend over waveOut: a feeder thread keeps a ring of buffers queued and fills
// each one from the callback as the device hands it back. Without a usable output device (or
// with device 0) it opens "nothing", as the Linux backend does, so the program still runs,
// silently.
#include <windows.h>
#include <mmsystem.h>

#include "src/audio.h"

namespace {

constexpr int kBuffers = 4;
constexpr DWORD kFrames = 2048;

HWAVEOUT g_hWaveOut = nullptr;
HANDLE g_hEvent = nullptr;
HANDLE g_hThread = nullptr;
CRITICAL_SECTION g_Lock;
volatile LONG g_bStop = 0;
bool g_bStarted = false;
bool g_bSilent = false; // opened without a device: nothing is played or filled
WAVEHDR g_Headers[kBuffers];
int16_t g_Samples[kBuffers][kFrames * 2];
Audio_Fill g_Fill = nullptr;
void* g_pUser = nullptr;

void FillAndQueue(WAVEHDR* h) {
    EnterCriticalSection(&g_Lock);
    g_Fill(g_pUser, reinterpret_cast<int16_t*>(h->lpData), kFrames);
    LeaveCriticalSection(&g_Lock);
    waveOutWrite(g_hWaveOut, h, sizeof(WAVEHDR));
}

DWORD WINAPI Feeder(LPVOID) {
    while (!g_bStop) {
        WaitForSingleObject(g_hEvent, 100);
        for (WAVEHDR& h : g_Headers)
            if (!g_bStop && (h.dwFlags & WHDR_DONE)) FillAndQueue(&h);
    }
    return 0;
}

} // namespace

bool Audio_Open(int device, unsigned rate, Audio_Fill fill, void* user) {
    if (g_hWaveOut || g_bSilent) return false;
    if (device == 0) {
        g_bSilent = true;
        return true;
    }
    g_Fill = fill;
    g_pUser = user;
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = rate * 4;
    g_hEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!g_hEvent) return false;
    UINT id = device < 0 ? WAVE_MAPPER : UINT(device);
    if (waveOutOpen(&g_hWaveOut, id, &format, DWORD_PTR(g_hEvent), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
        g_hWaveOut = nullptr;
        CloseHandle(g_hEvent);
        g_hEvent = nullptr;
        g_bSilent = true;
        return true;
    }
    waveOutPause(g_hWaveOut);
    InitializeCriticalSection(&g_Lock);
    for (int i = 0; i < kBuffers; ++i) {
        WAVEHDR& h = g_Headers[i];
        h = WAVEHDR{};
        h.lpData = reinterpret_cast<LPSTR>(g_Samples[i]);
        h.dwBufferLength = sizeof(g_Samples[i]);
        waveOutPrepareHeader(g_hWaveOut, &h, sizeof(WAVEHDR));
    }
    g_bStarted = false;
    return true;
}

void Audio_Start() {
    if (!g_hWaveOut || g_bStarted) return;
    g_bStarted = true;
    g_bStop = 0;
    for (WAVEHDR& h : g_Headers)
        FillAndQueue(&h);
    g_hThread = CreateThread(nullptr, 0, Feeder, nullptr, 0, nullptr);
    waveOutRestart(g_hWaveOut);
}

void Audio_Lock() {
    if (g_hWaveOut) EnterCriticalSection(&g_Lock);
}

void Audio_Unlock() {
    if (g_hWaveOut) LeaveCriticalSection(&g_Lock);
}

void Audio_Close() {
    g_bSilent = false;
    if (!g_hWaveOut) return;
    InterlockedExchange(&g_bStop, 1);
    if (g_hThread) {
        SetEvent(g_hEvent);
        WaitForSingleObject(g_hThread, INFINITE);
        CloseHandle(g_hThread);
        g_hThread = nullptr;
    }
    waveOutReset(g_hWaveOut);
    for (WAVEHDR& h : g_Headers)
        waveOutUnprepareHeader(g_hWaveOut, &h, sizeof(WAVEHDR));
    waveOutClose(g_hWaveOut);
    g_hWaveOut = nullptr;
    CloseHandle(g_hEvent);
    g_hEvent = nullptr;
    DeleteCriticalSection(&g_Lock);
}

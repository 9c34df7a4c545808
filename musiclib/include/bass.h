// The five functions of our music library, with the arguments and results the intro relies on.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define BASSAPI __stdcall
#define BASSEXPORT extern "C" __declspec(dllexport)
#else
#define BASSAPI
#define BASSEXPORT extern "C" __attribute__((visibility("default")))
#endif

typedef uint32_t BASS_DWORD;

// device -1: the default output device; freq in Hz; flags 0; win the owner window.
// Nonzero on success.
typedef int32_t(BASSAPI* BASS_Init_t)(int32_t device, BASS_DWORD freq, BASS_DWORD flags, void* win);
// mem 1: file is the address of the module's bytes; offset 0; length 0 (found from the
// module's own header); flags 1 = volume ramping, 4 = loop. A music handle, 0 on failure.
typedef BASS_DWORD(BASSAPI* BASS_MusicLoad_t)(int32_t mem, const void* file, BASS_DWORD offset,
                                             BASS_DWORD length, BASS_DWORD flags);
typedef int32_t(BASSAPI* BASS_Start_t)();
typedef int32_t(BASSAPI* BASS_MusicPlay_t)(BASS_DWORD handle);
typedef void(BASSAPI* BASS_Free_t)();

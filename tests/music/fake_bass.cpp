// A stand-in music library for the loader tests: the five functions record their calls and
// arguments, and the environment decides what BASS_Init and BASS_MusicLoad answer
// (FAKE_BASS_INIT=0, FAKE_BASS_LOAD=0 make them fail).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bass.h"

namespace {
std::string g_log;

bool Answer(const char* var) {
    const char* v = std::getenv(var);
    return !v || std::strcmp(v, "0") != 0;
}

void Log(const std::string& entry) {
    if (!g_log.empty()) g_log += ';';
    g_log += entry;
}
} // namespace

BASSEXPORT const char* FakeBass_Log() {
    return g_log.c_str();
}

BASSEXPORT int32_t BASSAPI BASS_Init(int32_t device, BASS_DWORD freq, BASS_DWORD flags, void* win) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "BASS_Init(%d,%u,%u,%p)", device, freq, flags, win);
    Log(buf);
    return Answer("FAKE_BASS_INIT") ? 1 : 0;
}

BASSEXPORT BASS_DWORD BASSAPI BASS_MusicLoad(int32_t mem, const void* file, BASS_DWORD offset,
                                             BASS_DWORD length, BASS_DWORD flags) {
    // The signature of the module proves that the address is the module's.
    std::string sig(static_cast<const char*>(file) + 1080, 4);
    char buf[96];
    std::snprintf(buf, sizeof buf, "BASS_MusicLoad(%d,%s,%u,%u,%u)", mem, sig.c_str(), offset,
                  length, flags);
    Log(buf);
    return Answer("FAKE_BASS_LOAD") ? 0x80000001u : 0;
}

BASSEXPORT int32_t BASSAPI BASS_Start() {
    Log("BASS_Start");
    return 1;
}

BASSEXPORT int32_t BASSAPI BASS_MusicPlay(BASS_DWORD handle) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "BASS_MusicPlay(%X)", handle);
    Log(buf);
    return 1;
}

BASSEXPORT void BASSAPI BASS_Free() {
    Log("BASS_Free");
}

// Placeholder until the replayer lands: the five exports exist and report failure.
#include "bass.h"

BASSEXPORT int32_t BASSAPI BASS_Init(int32_t, BASS_DWORD, BASS_DWORD, void*) { return 0; }
BASSEXPORT BASS_DWORD BASSAPI BASS_MusicLoad(int32_t, const void*, BASS_DWORD, BASS_DWORD,
                                             BASS_DWORD) {
    return 0;
}
BASSEXPORT int32_t BASSAPI BASS_Start() { return 0; }
BASSEXPORT int32_t BASSAPI BASS_MusicPlay(BASS_DWORD) { return 0; }
BASSEXPORT void BASSAPI BASS_Free() {}

// Writing 16-bit stereo PCM WAV files, for offline renders.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace qrx_mod {

struct WavWriter {
    FILE* file = nullptr;
    unsigned rate = 44100;
    uint64_t frames = 0;
    bool failed = false;
};

bool Wav_Open(WavWriter* w, const char* path, unsigned rate);
bool Wav_Write(WavWriter* w, const int16_t* frames, size_t count);
// Fills in the sizes and closes the file; false if anything failed on the way.
bool Wav_Close(WavWriter* w);

} // namespace qrx_mod

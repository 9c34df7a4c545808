// WAV output: a 44-byte RIFF header whose sizes are filled in on close, then little-endian
// interleaved 16-bit frames.
#include "wav.h"

namespace qrx_mod {

namespace {

void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

void Put16(uint8_t* p, unsigned v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

void Header(uint8_t* h, unsigned rate, uint32_t dataBytes) {
    const char* tags = "RIFF\0\0\0\0WAVEfmt ";
    for (int i = 0; i < 16; ++i)
        h[i] = uint8_t(tags[i]);
    Put32(h + 4, 36 + dataBytes);
    Put32(h + 16, 16);
    Put16(h + 20, 1); // PCM
    Put16(h + 22, 2);
    Put32(h + 24, rate);
    Put32(h + 28, rate * 4);
    Put16(h + 32, 4);
    Put16(h + 34, 16);
    h[36] = 'd', h[37] = 'a', h[38] = 't', h[39] = 'a';
    Put32(h + 40, dataBytes);
}

} // namespace

bool Wav_Open(WavWriter* w, const char* path, unsigned rate) {
    *w = WavWriter{};
    w->rate = rate;
    w->file = std::fopen(path, "wb");
    if (!w->file) return false;
    uint8_t h[44];
    Header(h, rate, 0);
    w->failed = std::fwrite(h, 1, sizeof(h), w->file) != sizeof(h);
    return !w->failed;
}

bool Wav_Write(WavWriter* w, const int16_t* frames, size_t count) {
    uint8_t buffer[4096];
    size_t samples = count * 2, done = 0;
    while (done < samples && !w->failed) {
        size_t n = samples - done < sizeof(buffer) / 2 ? samples - done : sizeof(buffer) / 2;
        for (size_t i = 0; i < n; ++i)
            Put16(buffer + i * 2, uint16_t(frames[done + i]));
        w->failed = std::fwrite(buffer, 2, n, w->file) != n;
        done += n;
    }
    w->frames += count;
    return !w->failed;
}

bool Wav_Close(WavWriter* w) {
    if (!w->file) return false;
    uint8_t h[44];
    uint64_t bytes = w->frames * 4;
    if (bytes > 0xFFFFFFFFull - 36) w->failed = true;
    Header(h, w->rate, uint32_t(bytes));
    if (std::fseek(w->file, 0, SEEK_SET) != 0 || std::fwrite(h, 1, sizeof(h), w->file) != sizeof(h))
        w->failed = true;
    if (std::fclose(w->file) != 0) w->failed = true;
    w->file = nullptr;
    return !w->failed;
}

} // namespace qrx_mod

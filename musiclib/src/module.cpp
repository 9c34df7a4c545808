// ProTracker module parsing: the 1,084-byte header, the patterns and the sample data, with
// every size checked before it is used.
#include "module.h"

#include <cstdio>
#include <cstring>

namespace qrx_mod {

namespace {

unsigned Word(const uint8_t* p) {
    return unsigned(p[0]) << 8 | p[1];
}

bool KnownSignature(const uint8_t* sig) {
    static const char* const kSignatures[] = {"M.K.", "M!K!", "FLT4", "4CHN"};
    for (const char* s : kSignatures)
        if (std::memcmp(sig, s, 4) == 0) return true;
    return false;
}

const uint8_t* SampleHeader(const uint8_t* bytes, int n) {
    return bytes + 20 + (n - 1) * 30;
}

} // namespace

size_t Module_Size(const uint8_t* bytes, size_t available) {
    if (bytes == nullptr) return 0;
    if (available != 0 && available < kHeaderSize) return 0;
    if (!KnownSignature(bytes + 1080)) return 0;
    unsigned songLength = bytes[950];
    if (songLength == 0 || songLength > 128) return 0;
    int patterns = 0;
    for (int i = 0; i < 128; ++i) {
        if (bytes[952 + i] >= kMaxPatterns) return 0;
        if (bytes[952 + i] + 1 > patterns) patterns = bytes[952 + i] + 1;
    }
    size_t sampleBytes = 0;
    for (int n = 1; n <= kSamples; ++n) {
        const uint8_t* h = SampleHeader(bytes, n);
        if (h[24] > 15 || h[25] > 64) return 0; // finetune is one nibble, volume at most 64
        sampleBytes += size_t(Word(h + 22)) * 2;
    }
    size_t total = kHeaderSize + size_t(patterns) * kPatternSize + sampleBytes;
    if (available != 0 && total > available) return 0;
    return total;
}

bool Module_Load(const uint8_t* bytes, size_t size, Module* out) {
    size_t total = Module_Size(bytes, size);
    if (total == 0) return false;
    Module& m = *out;
    m.data.assign(bytes, bytes + total);
    const uint8_t* d = m.data.data();
    m.songLength = d[950];
    m.restart = d[951];
    std::memcpy(m.order, d + 952, 128);
    m.patterns = 0;
    for (uint8_t p : m.order)
        if (p + 1 > m.patterns) m.patterns = p + 1;
    uint32_t offset = uint32_t(kHeaderSize + size_t(m.patterns) * kPatternSize);
    m.samples[0] = Sample{};
    for (int n = 1; n <= kSamples; ++n) {
        const uint8_t* h = SampleHeader(d, n);
        Sample& s = m.samples[n];
        s.offset = offset;
        s.length = Word(h + 22) * 2;
        s.finetune = int8_t((h[24] & 15) ^ 8) - 8;
        s.volume = h[25];
        s.loopStart = Word(h + 26) * 2;
        s.loopLength = Word(h + 28) * 2;
        // A loop that runs past the data is cut to the data; one that starts past it is none.
        if (s.loopStart >= s.length) {
            s.loopStart = 0;
            s.loopLength = 0;
        } else if (s.loopStart + s.loopLength > s.length) {
            s.loopLength = s.length - s.loopStart;
        }
        if (s.loopLength <= 2) s.loopLength = 0;
        offset += s.length;
    }
    return true;
}

Cell Module_Cell(const Module& m, int pattern, int row, int channel) {
    const uint8_t* c = m.data.data() + kHeaderSize + size_t(pattern) * kPatternSize +
                       size_t(row) * 16 + size_t(channel) * 4;
    return Cell{uint8_t((c[0] & 0xF0) | (c[2] >> 4)), uint16_t((c[0] & 0x0F) << 8 | c[1]),
                uint8_t(c[2] & 0x0F), c[3]};
}

bool Module_ReadFile(const char* path, std::vector<uint8_t>* bytes) {
    constexpr long kMaxFileBytes = 16 << 20;
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    long size = ok ? std::ftell(f) : -1;
    ok = ok && size > 0 && size <= kMaxFileBytes && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        bytes->resize(size_t(size));
        ok = std::fread(bytes->data(), 1, bytes->size(), f) == bytes->size();
    }
    std::fclose(f);
    return ok;
}

} // namespace qrx_mod

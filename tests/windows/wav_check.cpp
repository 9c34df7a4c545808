// Reads a WAV file (what ALSA's file plugin recorded of a program's sound) and reports its
// format and how much of it is not silent.
// Usage: wav_check FILE.wav [MIN_SECONDS]
// Prints "RATE Hz, BITS-bit, CHANNELS channel(s), S s of sound, P% of samples not zero" and
// exits 0 when it holds at least MIN_SECONDS (default 1) of 16-bit PCM with sound in it, 1 when
// it is silent or shorter, 2 when it is not a WAV file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

int Fail(const char* why) {
    std::fprintf(stderr, "wav_check: %s\n", why);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail("usage: wav_check FILE.wav [MIN_SECONDS]");
    double minSeconds = argc > 2 ? std::atof(argv[2]) : 1.0;
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) return Fail("cannot open the file");
    std::vector<uint8_t> d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (d.size() < 12 || std::memcmp(&d[0], "RIFF", 4) || std::memcmp(&d[8], "WAVE", 4))
        return Fail("not a RIFF WAVE file");

    uint16_t format = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    size_t dataAt = 0, dataSize = 0;
    for (size_t at = 12; at + 8 <= d.size();) {
        uint32_t size = Le32(&d[at + 4]);
        if (!std::memcmp(&d[at], "fmt ", 4) && size >= 16 && at + 8 + 16 <= d.size()) {
            format = Le16(&d[at + 8]);
            channels = Le16(&d[at + 10]);
            rate = Le32(&d[at + 12]);
            bits = Le16(&d[at + 22]);
        } else if (!std::memcmp(&d[at], "data", 4)) {
            dataAt = at + 8;
            // A recording cut off before its header was finished states a size it never got
            // (or none at all): what is there counts.
            dataSize = d.size() - dataAt;
            if (size && size < dataSize) dataSize = size;
            break;
        }
        at += 8 + size + (size & 1);
    }
    if (!format || !dataAt) return Fail("no format or no data chunk");
    if (format != 1 || bits != 16 || !channels || !rate) {
        std::printf("format %u, %u-bit, %u channel(s), %u Hz: not 16-bit PCM\n", format, bits,
                    channels, rate);
        return 1;
    }
    size_t samples = dataSize / 2;
    size_t sound = 0;
    for (size_t i = 0; i < samples; ++i)
        sound += Le16(&d[dataAt + i * 2]) != 0;
    double seconds = double(samples) / channels / rate;
    double percent = samples ? 100.0 * double(sound) / double(samples) : 0.0;
    std::printf("%u Hz, %u-bit, %u channel(s), %.1f s of sound, %.1f%% of samples not zero\n", rate,
                bits, channels, seconds, percent);
    return seconds >= minSeconds && percent >= 10.0 ? 0 : 1;
}

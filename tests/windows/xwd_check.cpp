// Reads an X window dump (xwd -root) and reports how much of the picture is not black.
// Usage: xwd_check FILE.xwd [MIN_PERCENT] [OUT.ppm]
// Prints "WIDTHxHEIGHT DEPTH bpp, N of M pixels not black (P%)" and exits 0 when at least
// MIN_PERCENT (default 1) of the pixels are not black, 1 when fewer are, 2 on a bad file.
// With OUT.ppm it also writes the picture as a binary PPM, for looking at a failed run.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// The fixed part of the header: 25 big-endian 32-bit fields, the window name follows.
enum Field {
    HeaderSize,
    FileVersion,
    PixmapFormat,
    PixmapDepth,
    PixmapWidth,
    PixmapHeight,
    XOffset,
    ByteOrder,
    BitmapUnit,
    BitmapBitOrder,
    BitmapPad,
    BitsPerPixel,
    BytesPerLine,
    VisualClass,
    RedMask,
    GreenMask,
    BlueMask,
    BitsPerRgb,
    ColormapEntries,
    NColors,
    FieldCount = 25
};

const uint32_t kZPixmap = 2;
const size_t kColorSize = 12; // one XWDColor record

uint32_t Be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Scales the bits of value under mask to 0..255.
int Channel(uint32_t value, uint32_t mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    uint32_t max = mask >> shift;
    return int(((value & mask) >> shift) * 255 / max);
}

int Fail(const char* why) {
    std::fprintf(stderr, "xwd_check: %s\n", why);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail("usage: xwd_check FILE.xwd [MIN_PERCENT] [OUT.ppm]");
    double minPercent = argc > 2 ? std::atof(argv[2]) : 1.0;
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) return Fail("cannot open the dump");
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    if (data.size() < FieldCount * 4) return Fail("dump too short for its header");

    uint32_t h[FieldCount];
    for (int i = 0; i < FieldCount; ++i)
        h[i] = Be32(&data[i * 4]);
    if (h[FileVersion] != 7) return Fail("not an XWD version 7 dump");
    if (h[PixmapFormat] != kZPixmap) return Fail("not a ZPixmap dump");
    uint32_t bpp = h[BitsPerPixel];
    if (bpp != 16 && bpp != 24 && bpp != 32) return Fail("unsupported bits per pixel");
    uint32_t width = h[PixmapWidth], height = h[PixmapHeight], pitch = h[BytesPerLine];
    if (width == 0 || height == 0 || width > 16384 || height > 16384) return Fail("bad size");
    // xwd writes a multi-visual screen (16-bit root beside 24/32-bit visuals) as 24-bit
    // colour stored in 32-bit units, so the step between pixels comes from the line length.
    uint32_t step = bpp / 8;
    if (bpp == 24 && uint64_t(pitch) >= uint64_t(width) * 4) step = 4;
    if (uint64_t(pitch) < uint64_t(width) * step) return Fail("bad line length");
    uint64_t start = uint64_t(h[HeaderSize]) + uint64_t(h[NColors]) * kColorSize;
    if (start + uint64_t(pitch) * height > data.size())
        return Fail("dump shorter than its picture");

    bool msbFirst = h[ByteOrder] == 1;
    std::vector<uint8_t> rgb;
    bool dump = argc > 3;
    if (dump) rgb.reserve(size_t(width) * height * 3);
    uint64_t lit = 0;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = &data[start + uint64_t(y) * pitch];
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* p = row + x * step;
            uint32_t v = 0;
            for (uint32_t b = 0; b < step; ++b) {
                uint32_t byte = msbFirst ? p[b] : p[step - 1 - b];
                v = v << 8 | byte;
            }
            int r = Channel(v, h[RedMask]), g = Channel(v, h[GreenMask]),
                bl = Channel(v, h[BlueMask]);
            if (r | g | bl) ++lit;
            if (dump) {
                rgb.push_back(uint8_t(r));
                rgb.push_back(uint8_t(g));
                rgb.push_back(uint8_t(bl));
            }
        }
    }
    if (dump) {
        std::FILE* out = std::fopen(argv[3], "wb");
        if (!out) return Fail("cannot write the picture");
        std::fprintf(out, "P6\n%u %u\n255\n", width, height);
        std::fwrite(rgb.data(), 1, rgb.size(), out);
        std::fclose(out);
    }
    uint64_t total = uint64_t(width) * height;
    double percent = 100.0 * double(lit) / double(total);
    std::printf("%ux%u depth %u, %u bpp, %llu of %llu pixels not black (%.1f%%)\n", width, height,
                h[PixmapDepth], bpp, (unsigned long long)lit, (unsigned long long)total, percent);
    return percent >= minPercent ? 0 : 1;
}

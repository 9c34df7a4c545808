// Reading 16-bit stereo WAV renders and comparing two of them: the correlation of the signals,
// the lag at which they match best, and that lag window by window, which shows whether rows
// start on the same sample throughout.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace wavcmp {

struct Wav {
    unsigned rate = 0;
    std::vector<float> left, right;
};

inline uint32_t U32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
inline unsigned U16(const uint8_t* p) {
    return p[0] | p[1] << 8;
}

// 16-bit PCM stereo only (what all three players are asked to write).
inline bool Read(const std::string& path, Wav* out) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<uint8_t> b;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0)
        b.insert(b.end(), buf, buf + n);
    std::fclose(f);
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) || std::memcmp(b.data() + 8, "WAVE", 4))
        return false;
    size_t at = 12;
    bool fmtOk = false;
    while (at + 8 <= b.size()) {
        uint32_t size = U32(&b[at + 4]);
        const uint8_t* body = &b[at + 8];
        size_t avail = b.size() - at - 8;
        if (!std::memcmp(&b[at], "fmt ", 4) && size >= 16 && avail >= 16) {
            fmtOk = U16(body) == 1 && U16(body + 2) == 2 && U16(body + 14) == 16;
            out->rate = U32(body + 4);
        } else if (!std::memcmp(&b[at], "data", 4) && fmtOk) {
            size_t bytes = size < avail ? size : avail;
            size_t frames = bytes / 4;
            out->left.resize(frames);
            out->right.resize(frames);
            for (size_t i = 0; i < frames; ++i) {
                out->left[i] = float(int16_t(U16(body + i * 4)));
                out->right[i] = float(int16_t(U16(body + i * 4 + 2)));
            }
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

// Pearson correlation of both channels of a[from..to) taken together with b shifted by lag
// (b[i + lag]); a channel silent in both renders then does not count against the others.
inline double Correlation(const Wav& a, const Wav& b, size_t from, size_t to, long lag) {
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    size_t n = 0;
    for (size_t i = from; i < to && i < a.left.size(); ++i) {
        long j = long(i) + lag;
        if (j < 0 || size_t(j) >= b.left.size()) continue;
        const float xs[2] = {a.left[i], a.right[i]};
        const float ys[2] = {b.left[size_t(j)], b.right[size_t(j)]};
        for (int c = 0; c < 2; ++c) {
            double x = xs[c], y = ys[c];
            sa += x, sb += y, saa += x * x, sbb += y * y, sab += x * y;
            ++n;
        }
    }
    if (n == 0) return 0;
    double va = saa - sa * sa / n, vb = sbb - sb * sb / n;
    if (va <= 0 || vb <= 0) return (va <= 0 && vb <= 0) ? 1 : 0;
    return (sab - sa * sb / n) / std::sqrt(va * vb);
}

struct Result {
    double correlation = 0; // both channels, lag 0, over the shorter render
    long bestLag = 0;       // lag in [-maxLag, maxLag] with the highest correlation
    double bestCorrelation = 0;
    int windows = 0;          // windows with sound in both renders
    int windowsAtLagZero = 0; // of those, the ones whose best lag is 0
    size_t framesA = 0, framesB = 0;
};

inline Result Compare(const Wav& a, const Wav& b, long maxLag = 64, size_t window = 44100) {
    Result r;
    r.framesA = a.left.size();
    r.framesB = b.left.size();
    size_t n = r.framesA < r.framesB ? r.framesA : r.framesB;
    auto both = [&](size_t from, size_t to, long lag) { return Correlation(a, b, from, to, lag); };
    r.correlation = both(0, n, 0);
    r.bestCorrelation = -2;
    for (long lag = -maxLag; lag <= maxLag; ++lag) {
        double c = both(0, n < 10 * 44100 ? n : 10 * 44100, lag);
        if (c > r.bestCorrelation) r.bestCorrelation = c, r.bestLag = lag;
    }
    for (size_t from = 0; from + window <= n; from += window) {
        double energyA = 0, energyB = 0;
        for (size_t i = from; i < from + window; ++i) {
            energyA += std::fabs(a.left[i]) + std::fabs(a.right[i]);
            energyB += std::fabs(b.left[i]) + std::fabs(b.right[i]);
        }
        if (energyA < window || energyB < window) continue;
        ++r.windows;
        long best = 0;
        double bestC = -2;
        for (long lag = -8; lag <= 8; ++lag) {
            double c = both(from, from + window, lag);
            if (c > bestC + 1e-9) bestC = c, best = lag;
        }
        if (best == 0) ++r.windowsAtLagZero;
        if (std::getenv("WAVCMP_VERBOSE"))
            std::printf("  window %zu s: correlation %.4f, best lag %ld\n", from / window,
                        both(from, from + window, 0), best);
    }
    return r;
}

} // namespace wavcmp

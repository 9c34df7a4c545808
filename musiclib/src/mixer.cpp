// Paula-like mixing: each voice steps through its 8-bit data at clock / period bytes per second,
// scaled by its 0..64 volume; voices 0 and 3 go left, 1 and 2 right, then the two sides are
// blended by the stereo separation.
#include <algorithm>

#include "replayer.h"

namespace qrx_mod {

namespace {

constexpr size_t kBlock = 256;

// Moves the voice to its loop (or stops it) once its position has passed the end of the pass.
void Wrap(Voice& v) {
    while (v.active && (v.pos >> 32) >= v.end) {
        if (v.loopLength == 0) {
            v.active = false;
            return;
        }
        uint64_t over = v.pos - (uint64_t(v.end) << 32);
        v.end = v.loopStart + v.loopLength;
        v.pos = (uint64_t(v.loopStart) << 32) + over % (uint64_t(v.loopLength) << 32);
    }
}

template <bool kInterpolate, bool kRamp>
void MixVoice(Voice& v, const int8_t* data, int32_t* mix, size_t frames) {
    size_t i = 0;
    while (i < frames) {
        Wrap(v);
        if (!v.active || v.step == 0) return;
        uint64_t endPos = uint64_t(v.end) << 32;
        size_t run = size_t((endPos - v.pos + v.step - 1) / v.step);
        run = std::min(run, frames - i);
        int next = v.loopLength ? data[v.loopStart] : 0;
        uint64_t pos = v.pos;
        int32_t volume = v.volume;
        for (size_t k = 0; k < run; ++k) {
            uint32_t index = uint32_t(pos >> 32);
            int s = data[index];
            if (kInterpolate) {
                int s1 = index + 1 < v.end ? data[index + 1] : next;
                s += ((s1 - s) * int32_t(uint32_t(pos) >> 17)) >> 15;
            }
            if (kRamp && v.rampLeft > 0) {
                if (--v.rampLeft == 0)
                    volume = v.target;
                else
                    volume += v.rampStep;
            }
            mix[(i + k) * 2] += s * volume;
            pos += v.step;
        }
        v.pos = pos;
        v.volume = volume;
        i += run;
    }
}

} // namespace

void Mixer_Render(Replayer* r, int16_t* out, size_t frames) {
    const int8_t* data = reinterpret_cast<const int8_t*>(r->module->data.data());
    int32_t mix[kBlock * 2];
    while (frames > 0) {
        size_t n = std::min(frames, kBlock);
        std::fill(mix, mix + n * 2, 0);
        for (int c = 0; c < kChannels; ++c) {
            int32_t* side = mix + ((c == 1 || c == 2) ? 1 : 0);
            Voice& v = r->voices[c];
            if (r->options.ramping) {
                if (r->options.interpolation)
                    MixVoice<true, true>(v, data, side, n);
                else
                    MixVoice<false, true>(v, data, side, n);
            } else {
                if (r->options.interpolation)
                    MixVoice<true, false>(v, data, side, n);
                else
                    MixVoice<false, false>(v, data, side, n);
            }
        }
        // Each voice peaks at 128 * 64 << 8; two per side and a gain of two fill 16 bits.
        for (size_t k = 0; k < n; ++k) {
            int64_t left = mix[k * 2], right = mix[k * 2 + 1];
            int64_t l = (left * r->gainSame + right * r->gainOther) >> 22;
            int64_t rr = (right * r->gainSame + left * r->gainOther) >> 22;
            out[k * 2] = int16_t(std::clamp<int64_t>(l, -32768, 32767));
            out[k * 2 + 1] = int16_t(std::clamp<int64_t>(rr, -32768, 32767));
        }
        out += n * 2;
        frames -= n;
    }
}

} // namespace qrx_mod
